// Moving the others of every group out of the folder, and putting them back.
#include "app/AppModel.h"
#include "app/FileMover.h"
#include "app/FileUrl.h"
#include "app/L.h"
#include "app/SecurityScope.h"
#include "app/Trash.h"
#include "engine/core/Log.h"

#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <set>
#include <sys/stat.h>
#include <utility>

namespace quorlix {

namespace {

std::string lastComponent(const std::filesystem::path& path) {
    return path.filename().native();
}

// The file must still be the one the scan saw: a regular file of the recorded size. A photo
// edited or replaced since is left alone. The reason when it is not.
std::optional<std::string> changedSinceScan(const PhotoRecord& photo) {
    struct stat st {};
    if (::lstat(photo.fileURL.c_str(), &st) != 0)
        return std::error_code(errno, std::generic_category()).message();
    if (!S_ISREG(st.st_mode) || st.st_size != photo.fileSizeBytes)
        return std::string("the file changed since the scan");
    return std::nullopt;
}

using Clock = std::chrono::steady_clock;

// A move that ends within the first budget runs in one go, as if nothing were sliced; a
// longer one gives the event loop a turn after each following slice.
constexpr auto firstSliceBudget = std::chrono::milliseconds(400);
constexpr auto sliceBudget = std::chrono::milliseconds(40);

} // namespace

// Everything a move or an undo needs between two slices.
struct AppModel::MoveJob {
    bool undo = false;
    MoveDestination destination;
    bool toTrash = true;
    std::filesystem::path folder;
    bool granted = false;
    std::int64_t done = 0;
    std::int64_t total = 0;
    std::uint64_t serial = 0;
    bool firstSlice = true;

    // Moving: the groups as they were when the move began, and where the walk stands.
    std::vector<ScanResult::Group> groups;
    std::set<std::string> keepers;
    std::set<std::string> movedAlready;
    std::size_t group = 0;
    bool inGroup = false;
    std::vector<PhotoRecord> others;
    std::size_t other = 0;
    std::vector<PhotoRecord> remaining;
    bool allMoved = true;
    std::vector<Move> moves;
    std::vector<ScanResult::Group> kept;
    std::vector<ScanResult::Group> removed;
    std::int64_t failed = 0;

    // Undoing: the operation, walked from its last pair to its first.
    MoveOperation operation;
    std::int64_t restored = 0;
};

bool AppModel::moveProgressIsUndo() const {
    return moveShown_ && moveJob_ && moveJob_->undo;
}

qint64 AppModel::moveProgressCurrent() const {
    return moveShown_ && moveJob_ ? moveJob_->done : 0;
}

qint64 AppModel::moveProgressTotal() const {
    return moveShown_ && moveJob_ ? moveJob_->total : 0;
}

void AppModel::requestMove(const MoveDestination& destination) {
    if (moveJob_)
        return;
    setPendingMove(destination);
}

void AppModel::chooseMoveFolder() {
    if (moveJob_)
        return;
    const FolderPanel panel{L::move::choosePrompt(), L::move::chooseMessage(), true};
    if (!folderPicker_) {
        Q_EMIT folderPanelRequested(panel.prompt, panel.message, true);
        return;
    }
    if (const auto url = folderPicker_(panel); url && !url->isEmpty())
        setPendingMove(MoveDestination::toFolder(*url));
}

void AppModel::confirmPendingMove() {
    if (pendingMove_)
        performMove(*pendingMove_);
}

void AppModel::performMove(MoveDestination destination) {
    if (!result_)
        return;
    if (moveJob_) {
        log::info(log::Category::app, "Move refused: another move is still running");
        return;
    }
    setPendingMove(std::nullopt);
    auto job = std::make_shared<MoveJob>();
    job->destination = destination;
    job->toTrash = destination.kind == MoveDestination::Kind::trash;
    if (!job->toTrash)
        job->folder = pathFromUrl(destination.folder);
    job->granted = !job->toTrash && startAccessingSecurityScope(job->folder);
    job->groups = result_->groups;
    // One file can sit in two groups (an exact copy that also stands for its copies in a
    // look-alike group). A keeper of any group never leaves, and a file moved for one group
    // counts as moved for the next.
    for (const auto& group : job->groups) {
        if (const auto keeper = group.keeper()) {
            job->keepers.insert(keeper->fileURL);
            job->total += std::int64_t(group.members.size()) - 1;
        }
    }
    startMoveJob(std::move(job));
}

void AppModel::undoLastMove() {
    if (!lastMove_ || !result_ || moveJob_)
        return;
    auto job = std::make_shared<MoveJob>();
    job->undo = true;
    job->operation = *lastMove_;
    job->destination = lastMove_->destination;
    job->total = std::int64_t(job->operation.moves.size());
    startMoveJob(std::move(job));
}

void AppModel::startMoveJob(std::shared_ptr<MoveJob> job) {
    job->serial = ++moveSerial_;
    moveJob_ = std::move(job);
    continueMoveJob(moveSerial_, false);
}

void AppModel::continueMoveJob(std::uint64_t serial, bool unbounded) {
    if (!moveJob_ || moveJob_->serial != serial)
        return;
    MoveJob& job = *moveJob_;
    const bool finished = job.undo ? undoSlice(job, unbounded) : moveSlice(job, unbounded);
    job.firstSlice = false;
    if (!finished) {
        moveShown_ = true;
        Q_EMIT moveProgressChanged();
        // The next slice comes from the event loop, so the window repaints and answers
        // between slices; nothing here runs inside another event's handling.
        QTimer::singleShot(moveSlicePauseMs_, this,
                           [this, serial] { continueMoveJob(serial, false); });
        return;
    }
    const auto done = std::move(moveJob_);
    const bool wasShown = std::exchange(moveShown_, false);
    if (wasShown)
        Q_EMIT moveProgressChanged();
    if (done->undo)
        finishUndo(*done);
    else
        finishMove(*done);
}

void AppModel::completeMoveNow() {
    while (moveJob_)
        continueMoveJob(moveJob_->serial, true);
}

void AppModel::abandonMoveJob() {
    if (moveJob_ && moveJob_->granted)
        stopAccessingSecurityScope(moveJob_->folder);
    moveJob_.reset();
}

namespace {

// Whether the slice that started at `started` has used its share, counting `files` so far.
bool sliceSpent(Clock::time_point started, bool first, int files, int maxFiles) {
    if (files == 0)
        return false;
    if (maxFiles > 0 && files >= maxFiles)
        return true;
    return Clock::now() - started >= (first ? firstSliceBudget : sliceBudget);
}

} // namespace

bool AppModel::moveSlice(MoveJob& job, bool unbounded) {
    const auto started = Clock::now();
    int files = 0;
    while (job.group < job.groups.size()) {
        const auto& group = job.groups[job.group];
        if (!job.inGroup) {
            const auto keeper = group.keeper();
            if (!keeper) {
                job.kept.push_back(group);
                ++job.group;
                continue;
            }
            job.remaining = {*keeper};
            job.allMoved = true;
            job.others = group.others();
            job.other = 0;
            job.inGroup = true;
        }
        if (job.other < job.others.size()) {
            if (!unbounded && sliceSpent(started, job.firstSlice, files, moveSliceFiles_))
                return false;
            const PhotoRecord& photo = job.others[job.other++];
            ++job.done;
            ++files;
            const std::filesystem::path source = photo.fileURL;
            if (job.keepers.count(photo.fileURL)) {
                log::info(log::Category::scan,
                          "Move skipped: " + lastComponent(source) + " is kept in another group");
                job.remaining.push_back(photo);
                job.allMoved = false;
                continue;
            }
            if (job.movedAlready.count(photo.fileURL))
                continue;
            // Checked right before the move: the file may have changed since the scan, or
            // since the move began.
            std::optional<std::string> failure = changedSinceScan(photo);
            std::error_code ec;
            if (!failure && job.toTrash) {
                if (const auto item = Trash::moveToTrash(source, ec))
                    job.moves.push_back({source, item->location, item->infoFile});
            } else if (!failure) {
                // A name taken after it was chosen is never overwritten: choose again.
                for (int attempt = 0; attempt < 3; ++attempt) {
                    const auto target = FileMover::uniqueDestination(job.folder, source);
                    ec = FileMover::moveNoReplace(source, target);
                    if (!ec) {
                        job.moves.push_back({source, target, {}});
                        break;
                    }
                    if (ec != std::errc::file_exists || !FileMover::occupied(source))
                        break;
                }
            }
            if (!failure && ec)
                failure = ec.message();
            if (failure) {
                ++job.failed;
                job.remaining.push_back(photo);
                job.allMoved = false;
                log::error(log::Category::scan,
                           "Move failed: " + lastComponent(source) + " " + *failure);
                continue;
            }
            job.movedAlready.insert(photo.fileURL);
            continue;
        }
        if (job.allMoved) {
            job.removed.push_back(group);
        } else {
            ScanResult::Group reduced = group;
            reduced.members = std::move(job.remaining);
            job.kept.push_back(std::move(reduced));
        }
        job.remaining.clear();
        job.inGroup = false;
        ++job.group;
    }
    return true;
}

void AppModel::finishMove(MoveJob& job) {
    // The result outlives every move: a new scan first runs a running move to its end.
    ScanResult edited = result_ ? *result_ : ScanResult{};
    edited.groups = std::move(job.kept);
    setResult(std::move(edited));
    const auto movedCount = std::int64_t(job.moves.size());
    if (job.moves.empty())
        setLastMove(std::nullopt);
    else
        setLastMove(MoveOperation{std::move(job.moves), std::move(job.removed), job.destination});

    log::info(log::Category::funnel,
              std::string("move_others dest=") + (job.toTrash ? "trash" : "folder") +
                  " moved=" + std::to_string(movedCount) + " failed=" + std::to_string(job.failed));
    QString text = job.toTrash ? L::move::doneTrash(movedCount) : L::move::doneFolder(movedCount);
    if (job.failed > 0)
        text += QStringLiteral(" · ") + L::move::failed(job.failed);
    showToast(text, movedCount > 0);
    if (job.granted)
        stopAccessingSecurityScope(job.folder);
}

bool AppModel::undoSlice(MoveJob& job, bool unbounded) {
    const auto started = Clock::now();
    int files = 0;
    const auto& moves = job.operation.moves;
    while (job.done < job.total) {
        if (!unbounded && sliceSpent(started, job.firstSlice, files, moveSliceFiles_))
            return false;
        const Move& move = moves[moves.size() - 1 - std::size_t(job.done)];
        ++job.done;
        ++files;
        // Never over a file that now stands at the old place: that one stays, this one too.
        const std::error_code ec = job.operation.destination.kind == MoveDestination::Kind::trash
                                       ? Trash::restore({move.to, move.trashInfo}, move.from)
                                       : FileMover::moveNoReplace(move.to, move.from);
        if (ec) {
            log::error(log::Category::scan, "Undo failed: " + lastComponent(move.from));
            continue;
        }
        ++job.restored;
    }
    return true;
}

void AppModel::finishUndo(MoveJob& job) {
    ScanResult edited = result_ ? *result_ : ScanResult{};
    edited.groups.insert(edited.groups.end(), job.operation.removedGroups.begin(),
                         job.operation.removedGroups.end());
    edited.sortGroups();
    setResult(std::move(edited));
    setLastMove(std::nullopt);
    showToast(L::move::undone(job.restored), false);
    log::info(log::Category::funnel, "move_undone restored=" + std::to_string(job.restored));
}

} // namespace quorlix
