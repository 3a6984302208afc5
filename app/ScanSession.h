#pragma once

#include "engine/core/ScanProgress.h"
#include "engine/core/ScanResult.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <filesystem>
#include <functional>
#include <list>
#include <memory>
#include <optional>
#include <stop_token>

namespace quorlix {

// One folder's scan at a time on its own thread, its progress and its result, on the main
// thread. A scan that is cancelled or replaced winds down alone and never touches the session.
class ScanSession : public QObject {
    Q_OBJECT

public:
    // The engine's phases, as the views see them.
    enum class Phase { enumerating, hashing, analyzing, grouping, scoring };
    Q_ENUM(Phase)

    using ScanFunction = std::function<ScanResult(const std::filesystem::path&,
                                                  const ProgressCallback&, std::stop_token)>;

    // Without `scan`, the coordinator scans with the analysis cache.
    explicit ScanSession(ScanFunction scan, QObject* parent = nullptr);
    // Returns within half a second whatever a scan is doing; see scansLeftRunning.
    ~ScanSession() override;

    // Scans that were still busy when their session went, and were left to end alone. While
    // there are any, the process must end without running static destructors (std::_Exit).
    static int scansLeftRunning();

    static Phase phaseOf(ScanProgress::Phase phase);
    // The phase's line on the scanning screen, in the interface language.
    static QString label(Phase phase);
    // A bar for the phases that count items, once they know how many; a spinner otherwise.
    static bool determinate(Phase phase, qint64 total);

    const ScanProgress& progress() const { return progress_; }
    Phase phase() const { return phaseOf(progress_.phase); }
    const std::optional<ScanResult>& result() const { return result_; }
    void setResult(std::optional<ScanResult> result);
    bool isRunning() const { return bool(task_); }

    // Cancels any running scan and starts one of `folder` from a fresh progress.
    void start(const std::filesystem::path& folder);
    // The scan stops at its next checkpoint; `cancelled` follows, or nothing if it ended first.
    void cancel();
    // Safe from any thread: the value reaches the session on the main thread, in order.
    void reportProgress(ScanProgress::Phase phase, std::int64_t current, std::int64_t total);

Q_SIGNALS:
    void progressChanged();
    void resultChanged();
    // The scan of the latest start ended; `succeeded` comes after the result is set.
    void succeeded();
    void cancelled();
    void failed(const QString& cause);

private Q_SLOTS:
    // Runs, on the session's thread, what scan threads posted through the relay.
    void deliverPosted();

private:
    struct Relay;
    struct Task;
    struct Outcome;

    void setProgress(const ScanProgress& progress);
    void applyProgress(std::uint64_t generation, const ScanProgress& progress);
    void finish(std::uint64_t generation, const Outcome& outcome);
    void retire();
    void reapFinished();

    ScanFunction scan_;
    ScanProgress progress_;
    std::optional<ScanResult> result_;

    // Only the scan of the current generation may touch the session; anything later from an
    // older one is dropped.
    std::shared_ptr<Relay> relay_;
    static std::atomic<int> scansLeftRunning_;
    std::unique_ptr<Task> task_;
    std::list<std::unique_ptr<Task>> retiring_;
    std::atomic<std::uint64_t> generation_{0};
    bool cancelRequested_ = false;
};

} // namespace quorlix
