#pragma once

#include "engine/core/PhotoRecord.h"
#include "engine/core/ScanResult.h"

#include <QObject>
#include <QUrl>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

namespace quorlix {

class Notices;
class ScanSession;

// Moving the others of every group out of the folder, and putting them back: the pending
// confirmation, the re-checks just before each file moves, a long move cut into slices from the
// event loop, and the one undo. It edits the session's result and tells the outcome as a toast.
class MoveController : public QObject {
    Q_OBJECT

public:
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

    MoveController(ScanSession& session, Notices& notices, QObject* parent = nullptr);
    // Drops a running move; every file is whole, either still here or moved.
    ~MoveController() override;

    const std::optional<MoveDestination>& pendingMove() const { return pendingMove_; }
    void setPendingMove(const std::optional<MoveDestination>& destination);
    const std::optional<MoveOperation>& lastMove() const { return lastMove_; }
    void setLastMove(std::optional<MoveOperation> move);

    // A move or undo runs; every other move, undo and keeper change is refused meanwhile.
    bool busy() const { return bool(job_); }
    // A move or undo long enough to run in slices from the event loop.
    bool inProgress() const { return shown_; }
    bool progressIsUndo() const;
    qint64 progressCurrent() const;
    qint64 progressTotal() const;
    // At most `maxFiles` files per slice (0: no limit but time), and `pauseMs` between slices.
    void setSlicing(int maxFiles, int pauseMs) {
        sliceFiles_ = maxFiles;
        slicePauseMs_ = pauseMs;
    }

    // Asks for confirmation, or refuses with an error message a folder inside the scan.
    void request(const MoveDestination& destination);
    // Takes its own copy: the destination may be the pending one, which the move clears.
    // The effects may complete on later turns of the event loop (inProgress).
    void perform(MoveDestination destination);
    void confirmPending();
    void undoLast();
    // Runs a sliced move or undo to its end at once, before the result is replaced.
    void completeNow();

Q_SIGNALS:
    void pendingMoveChanged();
    void lastMoveChanged();
    void progressChanged();

private:
    struct Job;

    void start(std::shared_ptr<Job> job);
    void resume(std::uint64_t serial, bool unbounded);
    bool moveSlice(Job& job, bool unbounded);
    bool undoSlice(Job& job, bool unbounded);
    void finishMove(Job& job);
    void finishUndo(Job& job);
    void abandon();

    ScanSession& session_;
    Notices& notices_;
    std::optional<MoveDestination> pendingMove_;
    std::optional<MoveOperation> lastMove_;
    std::shared_ptr<Job> job_; // shared: its type is complete only where moves run
    bool shown_ = false;
    std::uint64_t serial_ = 0;
    int sliceFiles_ = 0;
    int slicePauseMs_ = 0;
};

} // namespace quorlix
