#pragma once

#include "app/DesktopServices.h"
#include "app/QuorlixConfig.h"
#include "app/ShareCard.h"
#include "engine/core/PhotoRecord.h"
#include "engine/core/ScanCoordinator.h"
#include "engine/core/ScanProgress.h"
#include "engine/core/ScanResult.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>
#include <QUuid>
#include <atomic>
#include <filesystem>
#include <functional>
#include <list>
#include <memory>
#include <optional>
#include <stop_token>
#include <thread>
#include <vector>

namespace quorlix {

// The one observable state of the application, on the main thread: screens, the scan's
// lifecycle, keeper choices, moving and undo, sharing. Every published field has a change
// signal emitted on each assignment, ready to be exposed to QML as a single instance.
class AppModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(Screen screen READ screen WRITE setScreen NOTIFY screenChanged)
    Q_PROPERTY(QUrl folder READ folder NOTIFY folderChanged)
    Q_PROPERTY(QString folderName READ folderName NOTIFY folderChanged)
    Q_PROPERTY(QString progressPhase READ progressPhase NOTIFY progressChanged)
    Q_PROPERTY(qint64 progressCurrent READ progressCurrent NOTIFY progressChanged)
    Q_PROPERTY(qint64 progressTotal READ progressTotal NOTIFY progressChanged)
    Q_PROPERTY(bool hasResult READ hasResult NOTIFY resultChanged)
    Q_PROPERTY(qint64 completedScans READ completedScans NOTIFY configChanged)
    // What the analysis cache takes on disk, for the preferences' "Forget cached analyses".
    Q_PROPERTY(qint64 analysisCacheBytes READ analysisCacheBytes NOTIFY analysisCacheChanged)
    Q_PROPERTY(QString analysisCacheText READ analysisCacheText NOTIFY analysisCacheChanged)
    Q_PROPERTY(
        QString errorMessage READ errorMessage WRITE setErrorMessage NOTIFY errorMessageChanged)
    Q_PROPERTY(bool hasQuickLook READ hasQuickLook NOTIFY quickLookChanged)
    Q_PROPERTY(QUrl quickLookUrl READ quickLookUrl NOTIFY quickLookChanged)
    Q_PROPERTY(bool hasToast READ hasToast NOTIFY toastChanged)
    Q_PROPERTY(QString toastText READ toastText NOTIFY toastChanged)
    Q_PROPERTY(bool toastUndoable READ toastUndoable NOTIFY toastChanged)
    Q_PROPERTY(QString toastId READ toastId NOTIFY toastChanged)
    Q_PROPERTY(bool hasPendingMove READ hasPendingMove NOTIFY pendingMoveChanged)
    Q_PROPERTY(bool pendingMoveToTrash READ pendingMoveToTrash NOTIFY pendingMoveChanged)
    Q_PROPERTY(QUrl pendingMoveFolder READ pendingMoveFolder NOTIFY pendingMoveChanged)
    Q_PROPERTY(bool canUndo READ canUndo NOTIFY lastMoveChanged)
    Q_PROPERTY(qint64 exactDuplicateCount READ exactDuplicateCount NOTIFY resultChanged)
    Q_PROPERTY(qint64 exactReclaimableBytes READ exactReclaimableBytes NOTIFY resultChanged)
    Q_PROPERTY(qint64 nearDuplicateCount READ nearDuplicateCount NOTIFY resultChanged)
    Q_PROPERTY(qint64 nearReclaimableBytes READ nearReclaimableBytes NOTIFY resultChanged)
    Q_PROPERTY(bool moveInProgress READ moveInProgress NOTIFY moveProgressChanged)
    Q_PROPERTY(bool moveProgressIsUndo READ moveProgressIsUndo NOTIFY moveProgressChanged)
    Q_PROPERTY(qint64 moveProgressCurrent READ moveProgressCurrent NOTIFY moveProgressChanged)
    Q_PROPERTY(qint64 moveProgressTotal READ moveProgressTotal NOTIFY moveProgressChanged)

public:
    enum class Screen { empty, scanning, splash, results };
    Q_ENUM(Screen)

    struct Toast {
        QString text;
        bool undoable = false;
        QUuid id;
        friend bool operator==(const Toast&, const Toast&) = default;
    };

    struct MoveDestination {
        enum class Kind { folder, trash };
        Kind kind = Kind::trash;
        QUrl folder; // only for `folder`

        static MoveDestination trash() { return {Kind::trash, {}}; }
        static MoveDestination toFolder(const QUrl& url) { return {Kind::folder, url}; }
        friend bool operator==(const MoveDestination& a, const MoveDestination& b) {
            return a.kind == b.kind && (a.kind == Kind::trash || a.folder == b.folder);
        }
    };

    struct Move {
        std::filesystem::path from;
        std::filesystem::path to;
        std::filesystem::path trashInfo; // set for moves to the Trash
        // The file as it stood at `to` right after the move: undo brings back only that file.
        std::optional<FileIdentity> identity;
    };

    struct MoveOperation {
        std::vector<Move> moves;                      // still to put back, in the order moved
        std::vector<ScanResult::Group> removedGroups; // as they were before the move
        MoveDestination destination;
        std::vector<ScanResult::Group> reducedGroups; // kept with fewer members, as they were
        std::vector<std::filesystem::path> lost;      // moved, and undo can no longer bring back
    };

    // What a folder panel shows; the view answers with a URL or nothing.
    struct FolderPanel {
        QString prompt;
        QString message;
        bool canCreateDirectories = false;
    };
    using FolderPicker = std::function<std::optional<QUrl>(const FolderPanel&)>;
    using ScanFunction = std::function<ScanResult(const std::filesystem::path&,
                                                  const ProgressCallback&, std::stop_token)>;

    explicit AppModel(QObject* parent = nullptr);
    // `scan` replaces the coordinator and `desktop` the desktop services (tests).
    AppModel(ScanFunction scan, std::shared_ptr<DesktopServices> desktop,
             QObject* parent = nullptr);
    // Returns within half a second whatever a scan is doing; see scansLeftRunning.
    ~AppModel() override;

    // Scans that were still busy when their model went, and were left to end alone. While there
    // are any, the process must end without running static destructors (std::_Exit).
    static int scansLeftRunning();

    // Published fields.
    Screen screen() const { return screen_; }
    void setScreen(Screen screen);
    QUrl folder() const { return folder_; }
    QString folderName() const;
    const ScanProgress& progress() const { return progress_; }
    QString progressPhase() const;
    qint64 progressCurrent() const { return progress_.current; }
    qint64 progressTotal() const { return progress_.total; }
    const std::optional<ScanResult>& result() const { return result_; }
    bool hasResult() const { return result_.has_value(); }
    const QuorlixConfig& config() const { return config_; }
    // Every assignment saves the record at once.
    void setConfig(const QuorlixConfig& config);
    qint64 completedScans() const { return config_.completedScans; }
    qint64 analysisCacheBytes() const;
    QString analysisCacheText() const;
    // Removes the analysis cache; the next scan reads and analyses every photo again. A failure
    // shows one sentence as a toast.
    Q_INVOKABLE void forgetCachedAnalyses();
    QString errorMessage() const { return errorMessage_; } // null when there is none
    void setErrorMessage(const QString& message);
    const std::optional<PhotoRecord>& quickLook() const { return quickLook_; }
    void setQuickLook(const std::optional<PhotoRecord>& photo);
    bool hasQuickLook() const { return quickLook_.has_value(); }
    QUrl quickLookUrl() const;
    // Opens the enlarged view of a member of the result; nothing for an unknown photo.
    Q_INVOKABLE void openQuickLook(const QString& photoId);
    Q_INVOKABLE void closeQuickLook() { setQuickLook(std::nullopt); }
    const std::optional<Toast>& toast() const { return toast_; }
    void setToast(const std::optional<Toast>& toast);
    bool hasToast() const { return toast_.has_value(); }
    // Clears the notice only while it is still the one with this id (its timer ran out).
    Q_INVOKABLE void dismissToast(const QString& id);
    QString toastText() const { return toast_ ? toast_->text : QString(); }
    bool toastUndoable() const { return toast_ && toast_->undoable; }
    QString toastId() const {
        return toast_ ? toast_->id.toString(QUuid::WithoutBraces) : QString();
    }
    const std::optional<MoveDestination>& pendingMove() const { return pendingMove_; }
    void setPendingMove(const std::optional<MoveDestination>& destination);
    bool hasPendingMove() const { return pendingMove_.has_value(); }
    bool pendingMoveToTrash() const {
        return pendingMove_ && pendingMove_->kind == MoveDestination::Kind::trash;
    }
    QUrl pendingMoveFolder() const { return pendingMove_ ? pendingMove_->folder : QUrl(); }
    Q_INVOKABLE void cancelPendingMove() { setPendingMove(std::nullopt); }
    const std::optional<MoveOperation>& lastMove() const { return lastMove_; }
    bool canUndo() const { return lastMove_.has_value(); }
    // A move or undo long enough to run in slices from the event loop. Meanwhile every other
    // move, undo and keeper change is refused.
    bool moveInProgress() const { return moveShown_; }
    bool moveProgressIsUndo() const;
    qint64 moveProgressCurrent() const;
    qint64 moveProgressTotal() const;

    // Derived values.
    QList<QUrl> keptPhotoURLs() const;
    qint64 exactDuplicateCount() const { return result_ ? result_->exactDuplicateCount() : 0; }
    qint64 exactReclaimableBytes() const { return result_ ? result_->exactReclaimableBytes() : 0; }
    qint64 nearDuplicateCount() const { return result_ ? result_->nearDuplicateCount() : 0; }
    qint64 nearReclaimableBytes() const { return result_ ? result_->nearReclaimableBytes() : 0; }
    bool isScanning() const { return bool(scanTask_); }

    // Platform hooks.
    DesktopServices& desktop() const { return *desktop_; }
    void setFolderPicker(FolderPicker picker) { folderPicker_ = std::move(picker); }
    void setShareCardRenderer(ShareCardRenderer renderer) { shareRenderer_ = std::move(renderer); }
    // How a long move is cut (tests and the screenshot tour): at most `maxFiles` files per
    // slice (0: no limit but time), and `pauseMs` between slices.
    void setMoveSlicing(int maxFiles, int pauseMs) {
        moveSliceFiles_ = maxFiles;
        moveSlicePauseMs_ = pauseMs;
    }

    // Screens and scanning.
    Q_INVOKABLE void chooseFolder();
    Q_INVOKABLE bool handleDrop(const QList<QUrl>& urls);
    Q_INVOKABLE void startScan(const QUrl& folder);
    Q_INVOKABLE void cancelScan();
    Q_INVOKABLE void newScan();
    // Safe from any thread: the value reaches the model on the main thread, in order.
    void reportProgress(ScanProgress::Phase phase, std::int64_t current, std::int64_t total);

    // Keepers.
    Q_INVOKABLE void setKeeper(const QString& groupId, const QString& photoId);
    Q_INVOKABLE void resetKeeper(const QString& groupId);
    void revealInFileManager(const PhotoRecord& photo);
    Q_INVOKABLE void revealPhoto(const QString& photoId);
    Q_INVOKABLE void openAppStore(const QString& source);

    // Moving and undo.
    void requestMove(const MoveDestination& destination);
    Q_INVOKABLE void requestMoveToTrash() { requestMove(MoveDestination::trash()); }
    Q_INVOKABLE void requestMoveToFolder(const QUrl& folder) {
        requestMove(MoveDestination::toFolder(folder));
    }
    Q_INVOKABLE void chooseMoveFolder();
    // Takes its own copy: the destination may be the pending one, which the move clears.
    // The effects may complete on later turns of the event loop (moveInProgress).
    void performMove(MoveDestination destination);
    Q_INVOKABLE void confirmPendingMove();
    Q_INVOKABLE void undoLastMove();

    // Sharing.
    Q_INVOKABLE QList<QUrl> shareResultItems();
    Q_INVOKABLE QList<QUrl> shareKeepersItems();

Q_SIGNALS:
    void analysisCacheChanged();
    void screenChanged();
    void folderChanged();
    void progressChanged();
    void resultChanged();
    void configChanged();
    void errorMessageChanged();
    void quickLookChanged();
    void toastChanged();
    void pendingMoveChanged();
    void lastMoveChanged();
    void moveProgressChanged();
    // Asked of the view when no folder picker is installed: show the panel and call
    // startScan (scan) or requestMoveToFolder (move) with the chosen URL.
    void folderPanelRequested(const QString& prompt, const QString& message, bool forMove);

private:
    struct Relay;
    struct ScanTask;
    struct Outcome;
    struct MoveJob;

    void setFolder(const QUrl& folder);
    void setProgress(const ScanProgress& progress);
    void setResult(std::optional<ScanResult> result);
    void setLastMove(std::optional<MoveOperation> move);
    void showToast(const QString& text, bool undoable);
    void applyProgress(std::uint64_t generation, const ScanProgress& progress);
    void finishScan(std::uint64_t generation, const Outcome& outcome);
    void reapFinishedTasks();
    void startMoveJob(std::shared_ptr<MoveJob> job);
    void continueMoveJob(std::uint64_t serial, bool unbounded);
    bool moveSlice(MoveJob& job, bool unbounded);
    bool undoSlice(MoveJob& job, bool unbounded);
    void finishMove(MoveJob& job);
    void finishUndo(MoveJob& job);
    // Runs a sliced move or undo to its end at once, before the result is replaced.
    void completeMoveNow();
    // Drops a running move at quit; every file is whole, either still here or moved.
    void abandonMoveJob();

    Screen screen_ = Screen::empty;
    QUrl folder_;
    ScanProgress progress_;
    std::optional<ScanResult> result_;
    QuorlixConfig config_;
    QString errorMessage_;
    std::optional<PhotoRecord> quickLook_;
    std::optional<Toast> toast_;
    std::optional<MoveDestination> pendingMove_;
    std::optional<MoveOperation> lastMove_;

    ScanCoordinator coordinator_;
    ScanFunction scan_;
    std::shared_ptr<DesktopServices> desktop_;
    FolderPicker folderPicker_;
    ShareCardRenderer shareRenderer_;

    // The running scan, and scans still winding down after a cancel. Only the scan of the
    // current generation may touch the model; anything later from an older one is dropped.
    std::shared_ptr<Relay> relay_;
    static std::atomic<int> scansLeftRunning_;
    std::unique_ptr<ScanTask> scanTask_;
    std::list<std::unique_ptr<ScanTask>> retiring_;
    std::atomic<std::uint64_t> generation_{0};
    bool cancelRequested_ = false;

    std::shared_ptr<MoveJob> moveJob_; // shared: its type is complete only where moves run
    bool moveShown_ = false;
    std::uint64_t moveSerial_ = 0;
    int moveSliceFiles_ = 0;
    int moveSlicePauseMs_ = 0;
};

} // namespace quorlix
