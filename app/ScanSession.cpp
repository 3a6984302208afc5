#include "app/ScanSession.h"

#include "app/L.h"
#include "app/SecurityScope.h"
#include "engine/core/AnalysisCache.h"
#include "engine/core/Log.h"
#include "engine/core/ScanCancelled.h"
#include "engine/core/ScanCoordinator.h"

#include <QMetaObject>
#include <chrono>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace quorlix {

// Lets scan threads reach the session while it exists, and never after. The calls travel through
// this mutex and Qt's queue carries only a wake-up, so the hand-over is one thread checkers can
// see (Qt's own queue locks are futexes they cannot).
struct ScanSession::Relay {
    std::mutex mutex;
    ScanSession* session = nullptr;
    std::vector<std::function<void()>> pending;

    void post(std::function<void()> call) {
        std::lock_guard lock(mutex);
        if (!session)
            return;
        pending.push_back(std::move(call));
        if (pending.size() == 1)
            QMetaObject::invokeMethod(session, "deliverPosted", Qt::QueuedConnection);
    }

    std::vector<std::function<void()>> take() {
        std::lock_guard lock(mutex);
        return std::exchange(pending, {});
    }
};

std::atomic<int> ScanSession::scansLeftRunning_{0};

struct ScanSession::Task {
    std::shared_ptr<std::atomic<bool>> finished = std::make_shared<std::atomic<bool>>(false);
    std::jthread thread;
};

struct ScanSession::Outcome {
    enum class Kind { success, cancelled, failed };
    Kind kind = Kind::failed;
    std::optional<ScanResult> result;
    std::string error;
};

ScanSession::ScanSession(ScanFunction scan, QObject* parent)
    : QObject(parent), scan_(std::move(scan)), relay_(std::make_shared<Relay>()) {
    relay_->session = this;
    if (!scan_)
        scan_ = [coordinator = ScanCoordinator()](const std::filesystem::path& folder,
                                                  const ProgressCallback& progress,
                                                  std::stop_token stop) {
            return coordinator.scan(folder, progress, std::move(stop),
                                    {.cache = AnalysisCache::defaultPath()});
        };
}

ScanSession::~ScanSession() {
    {
        std::lock_guard lock(relay_->mutex);
        relay_->session = nullptr;
        // The calls hold the relay; left here they would keep it alive for ever.
        relay_->pending.clear();
    }
    // A scan stops at its next checkpoint. One still inside a single long decode or read is not
    // waited for past a moment, so quitting never hangs: it owns everything it touches and ends
    // on its own, or with the process.
    retire();
    for (auto& task : retiring_)
        task->thread.request_stop();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(450);
    for (auto& task : retiring_) {
        while (!task->finished->load() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (!task->finished->load()) {
            task->thread.detach();
            ++scansLeftRunning_;
            log::info(log::Category::scan, "A scan still busy in one file was left to end alone");
        }
    }
    retiring_.clear();
}

int ScanSession::scansLeftRunning() {
    return scansLeftRunning_.load();
}

ScanSession::Phase ScanSession::phaseOf(ScanProgress::Phase phase) {
    switch (phase) {
    case ScanProgress::Phase::enumerating:
        return Phase::enumerating;
    case ScanProgress::Phase::hashing:
        return Phase::hashing;
    case ScanProgress::Phase::analyzing:
        return Phase::analyzing;
    case ScanProgress::Phase::grouping:
        return Phase::grouping;
    case ScanProgress::Phase::scoring:
        return Phase::scoring;
    }
    return Phase::enumerating;
}

QString ScanSession::label(Phase phase) {
    switch (phase) {
    case Phase::enumerating:
        return L::scan::enumerating();
    case Phase::hashing:
        return L::scan::hashing();
    case Phase::analyzing:
        return L::scan::analyzing();
    case Phase::grouping:
        return L::scan::grouping();
    case Phase::scoring:
        return L::scan::scoring();
    }
    return {};
}

bool ScanSession::determinate(Phase phase, qint64 total) {
    return total >= 1 && (phase == Phase::hashing || phase == Phase::analyzing);
}

void ScanSession::setProgress(const ScanProgress& progress) {
    progress_ = progress;
    Q_EMIT progressChanged();
}

void ScanSession::setResult(std::optional<ScanResult> result) {
    result_ = std::move(result);
    Q_EMIT resultChanged();
}

void ScanSession::retire() {
    if (task_)
        retiring_.push_back(std::move(task_));
}

void ScanSession::reapFinished() {
    retiring_.remove_if([](const std::unique_ptr<Task>& task) { return task->finished->load(); });
}

void ScanSession::start(const std::filesystem::path& folder) {
    cancel();
    reapFinished();
    setProgress(ScanProgress{});
    const std::uint64_t generation = ++generation_;
    cancelRequested_ = false;
    auto task = std::make_unique<Task>();
    task->thread = std::jthread([relay = relay_, scan = scan_, finished = task->finished, folder,
                                 generation](std::stop_token stop) {
        const bool granted = startAccessingSecurityScope(folder);
        ProgressCallback progress = [&relay, generation](const ScanProgress& value) {
            relay->post([relay, generation, value] {
                if (relay->session)
                    relay->session->applyProgress(generation, value);
            });
        };
        auto outcome = std::make_shared<Outcome>();
        try {
            outcome->result = scan(folder, progress, stop);
            outcome->kind = Outcome::Kind::success;
        } catch (const ScanCancelled&) {
            outcome->kind = Outcome::Kind::cancelled;
        } catch (const std::exception& e) {
            outcome->error = e.what();
        } catch (...) {
            outcome->error = "unknown error";
        }
        if (granted)
            stopAccessingSecurityScope(folder);
        relay->post([relay, generation, outcome] {
            if (relay->session)
                relay->session->finish(generation, *outcome);
        });
        finished->store(true);
    });
    task_ = std::move(task);
}

void ScanSession::cancel() {
    if (!task_)
        return;
    task_->thread.request_stop();
    cancelRequested_ = true;
    retire();
}

void ScanSession::reportProgress(ScanProgress::Phase phase, std::int64_t current,
                                 std::int64_t total) {
    const ScanProgress value{phase, current, total};
    const std::uint64_t generation = generation_;
    relay_->post([relay = relay_, generation, value] {
        if (relay->session)
            relay->session->applyProgress(generation, value);
    });
}

void ScanSession::deliverPosted() {
    for (auto& call : relay_->take())
        call();
}

void ScanSession::applyProgress(std::uint64_t generation, const ScanProgress& progress) {
    if (generation != generation_ || cancelRequested_)
        return;
    setProgress(progress);
}

void ScanSession::finish(std::uint64_t generation, const Outcome& outcome) {
    // A newer scan has started since: this one's ending belongs to nobody.
    if (generation != generation_)
        return;
    retire();
    if (cancelRequested_ || outcome.kind == Outcome::Kind::cancelled) {
        Q_EMIT cancelled();
        return;
    }
    if (outcome.kind == Outcome::Kind::failed) {
        log::error(log::Category::scan, "Scan failed: " + outcome.error);
        Q_EMIT failed(QString::fromStdString(outcome.error));
        return;
    }
    setResult(outcome.result);
    Q_EMIT succeeded();
}

} // namespace quorlix
