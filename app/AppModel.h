#pragma once

#include "app/DesktopServices.h"
#include "app/MoveController.h"
#include "app/Notices.h"
#include "app/QuorlixConfig.h"
#include "app/ScanSession.h"
#include "app/ShareCard.h"
#include "engine/core/PhotoRecord.h"
#include "engine/core/ScanProgress.h"
#include "engine/core/ScanResult.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>
#include <QUuid>
#include <functional>
#include <memory>
#include <optional>

namespace quorlix {

// The one observable state of the application, on the main thread, as the views read it: the
// screens, keeper choices and sharing, in front of the scan (ScanSession), moving and undo
// (MoveController) and what the window tells the user (Notices). Every published field has a
// change signal emitted on each assignment, ready to be exposed to QML as a single instance.
class AppModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(Screen screen READ screen WRITE setScreen NOTIFY screenChanged)
    Q_PROPERTY(QUrl folder READ folder NOTIFY folderChanged)
    Q_PROPERTY(QString folderName READ folderName NOTIFY folderChanged)
    Q_PROPERTY(quorlix::ScanSession::Phase progressPhase READ progressPhase NOTIFY progressChanged)
    Q_PROPERTY(QString progressLabel READ progressLabel NOTIFY progressChanged)
    Q_PROPERTY(bool progressDeterminate READ progressDeterminate NOTIFY progressChanged)
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

    using Toast = Notices::Toast;
    using MoveDestination = MoveController::MoveDestination;
    using Move = MoveController::Move;
    using MoveOperation = MoveController::MoveOperation;
    using ScanFunction = ScanSession::ScanFunction;

    // What a folder panel shows; the view answers with a URL or nothing.
    struct FolderPanel {
        QString prompt;
        QString message;
        bool canCreateDirectories = false;
    };
    using FolderPicker = std::function<std::optional<QUrl>(const FolderPanel&)>;

    explicit AppModel(QObject* parent = nullptr);
    // `scan` replaces the coordinator and `desktop` the desktop services (tests).
    AppModel(ScanFunction scan, std::shared_ptr<DesktopServices> desktop,
             QObject* parent = nullptr);
    // Returns within half a second whatever a scan is doing; see ScanSession::scansLeftRunning.
    ~AppModel() override;

    // Published fields.
    Screen screen() const { return screen_; }
    void setScreen(Screen screen);
    QUrl folder() const { return folder_; }
    QString folderName() const;
    const ScanProgress& progress() const { return session_.progress(); }
    ScanSession::Phase progressPhase() const { return session_.phase(); }
    QString progressLabel() const { return ScanSession::label(session_.phase()); }
    bool progressDeterminate() const;
    qint64 progressCurrent() const { return progress().current; }
    qint64 progressTotal() const { return progress().total; }
    const std::optional<ScanResult>& result() const { return session_.result(); }
    bool hasResult() const { return result().has_value(); }
    const QuorlixConfig& config() const { return config_; }
    // Every assignment saves the record at once.
    void setConfig(const QuorlixConfig& config);
    qint64 completedScans() const { return config_.completedScans; }
    qint64 analysisCacheBytes() const;
    QString analysisCacheText() const;
    // Removes the analysis cache; the next scan reads and analyses every photo again. A failure
    // shows one sentence as a toast.
    Q_INVOKABLE void forgetCachedAnalyses();
    QString errorMessage() const { return notices_.errorMessage(); } // null when there is none
    void setErrorMessage(const QString& message) { notices_.setErrorMessage(message); }
    const std::optional<PhotoRecord>& quickLook() const { return quickLook_; }
    void setQuickLook(const std::optional<PhotoRecord>& photo);
    bool hasQuickLook() const { return quickLook_.has_value(); }
    QUrl quickLookUrl() const;
    // Opens the enlarged view of a member of the result; nothing for an unknown photo.
    Q_INVOKABLE void openQuickLook(const QString& photoId);
    Q_INVOKABLE void closeQuickLook() { setQuickLook(std::nullopt); }
    const std::optional<Toast>& toast() const { return notices_.toast(); }
    void setToast(const std::optional<Toast>& toast) { notices_.setToast(toast); }
    bool hasToast() const { return toast().has_value(); }
    // Clears the notice only while it is still the one with this id (its timer ran out).
    Q_INVOKABLE void dismissToast(const QString& id) { notices_.dismissToast(id); }
    QString toastText() const { return toast() ? toast()->text : QString(); }
    bool toastUndoable() const { return toast() && toast()->undoable; }
    QString toastId() const { return notices_.toastId(); }
    const std::optional<MoveDestination>& pendingMove() const { return moves_.pendingMove(); }
    void setPendingMove(const std::optional<MoveDestination>& destination) {
        moves_.setPendingMove(destination);
    }
    bool hasPendingMove() const { return pendingMove().has_value(); }
    bool pendingMoveToTrash() const {
        return pendingMove() && pendingMove()->kind == MoveDestination::Kind::trash;
    }
    QUrl pendingMoveFolder() const { return pendingMove() ? pendingMove()->folder : QUrl(); }
    Q_INVOKABLE void cancelPendingMove() { setPendingMove(std::nullopt); }
    const std::optional<MoveOperation>& lastMove() const { return moves_.lastMove(); }
    bool canUndo() const { return lastMove().has_value(); }
    // A move or undo long enough to run in slices from the event loop. Meanwhile every other
    // move, undo and keeper change is refused.
    bool moveInProgress() const { return moves_.inProgress(); }
    bool moveProgressIsUndo() const { return moves_.progressIsUndo(); }
    qint64 moveProgressCurrent() const { return moves_.progressCurrent(); }
    qint64 moveProgressTotal() const { return moves_.progressTotal(); }

    // Derived values.
    QList<QUrl> keptPhotoURLs() const;
    qint64 exactDuplicateCount() const { return result() ? result()->exactDuplicateCount() : 0; }
    qint64 exactReclaimableBytes() const {
        return result() ? result()->exactReclaimableBytes() : 0;
    }
    qint64 nearDuplicateCount() const { return result() ? result()->nearDuplicateCount() : 0; }
    qint64 nearReclaimableBytes() const { return result() ? result()->nearReclaimableBytes() : 0; }
    bool isScanning() const { return session_.isRunning(); }

    // Platform hooks.
    DesktopServices& desktop() const { return *desktop_; }
    void setFolderPicker(FolderPicker picker) { folderPicker_ = std::move(picker); }
    void setShareCardRenderer(ShareCardRenderer renderer) { shareRenderer_ = std::move(renderer); }
    // How a long move is cut (tests and the screenshot tour): at most `maxFiles` files per
    // slice (0: no limit but time), and `pauseMs` between slices.
    void setMoveSlicing(int maxFiles, int pauseMs) { moves_.setSlicing(maxFiles, pauseMs); }

    // Screens and scanning.
    Q_INVOKABLE void chooseFolder();
    Q_INVOKABLE bool handleDrop(const QList<QUrl>& urls);
    Q_INVOKABLE void startScan(const QUrl& folder);
    Q_INVOKABLE void cancelScan();
    Q_INVOKABLE void newScan();
    // Safe from any thread: the value reaches the model on the main thread, in order.
    void reportProgress(ScanProgress::Phase phase, std::int64_t current, std::int64_t total) {
        session_.reportProgress(phase, current, total);
    }

    // Keepers.
    Q_INVOKABLE void setKeeper(const QString& groupId, const QString& photoId);
    Q_INVOKABLE void resetKeeper(const QString& groupId);
    void revealInFileManager(const PhotoRecord& photo);
    Q_INVOKABLE void revealPhoto(const QString& photoId);
    Q_INVOKABLE void openAppStore(const QString& source);

    // Moving and undo.
    void requestMove(const MoveDestination& destination) { moves_.request(destination); }
    Q_INVOKABLE void requestMoveToTrash() { requestMove(MoveDestination::trash()); }
    Q_INVOKABLE void requestMoveToFolder(const QUrl& folder) {
        requestMove(MoveDestination::toFolder(folder));
    }
    Q_INVOKABLE void chooseMoveFolder();
    // Takes its own copy: the destination may be the pending one, which the move clears.
    // The effects may complete on later turns of the event loop (moveInProgress).
    void performMove(MoveDestination destination) { moves_.perform(std::move(destination)); }
    Q_INVOKABLE void confirmPendingMove() { moves_.confirmPending(); }
    Q_INVOKABLE void undoLastMove() { moves_.undoLast(); }

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
    void setFolder(const QUrl& folder);
    void setResult(std::optional<ScanResult> result) { session_.setResult(std::move(result)); }
    void scanSucceeded();

    Screen screen_ = Screen::empty;
    QUrl folder_;
    QuorlixConfig config_;
    std::optional<PhotoRecord> quickLook_;

    std::shared_ptr<DesktopServices> desktop_;
    FolderPicker folderPicker_;
    ShareCardRenderer shareRenderer_;

    // Declared in the order they depend on each other: moves edit the session's result and
    // tell the notices, and go first at the end.
    Notices notices_;
    ScanSession session_;
    MoveController moves_;
};

} // namespace quorlix
