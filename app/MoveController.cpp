#include "app/MoveController.h"

#include "app/FileMover.h"
#include "app/FileUrl.h"
#include "app/L.h"
#include "app/MoveCheck.h"
#include "app/MoveError.h"
#include "app/Notices.h"
#include "app/ScanSession.h"
#include "app/SecurityScope.h"
#include "app/Trash.h"
#include "engine/core/Log.h"

#include <QFile>
#include <QStringList>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <map>
#include <set>
#include <sys/stat.h>
#include <utility>

namespace quorlix {

namespace {

std::string lastComponent(const std::filesystem::path& path) {
    return path.filename().native();
}

// Names the folder the user chose, so a move to the wrong one shows at once; its name, as the
// whole path would not fit a notice.
QString movedToFolderText(std::int64_t count, const std::filesystem::path& folder) {
    const std::filesystem::path name =
        folder.filename().empty() ? folder.parent_path().filename() : folder.filename();
    if (name.empty())
        return L::move::doneFolder(count);
    return L::format(QStringLiteral("window.movedToFolder"),
                     {qint64(count), QFile::decodeName(QByteArray::fromStdString(name.native()))});
}

// Why a destination folder cannot take the others, or nothing when it can.
bool destinationInsideScan(const MoveController::MoveDestination& destination,
                           const std::optional<ScanResult>& result) {
    if (destination.kind != MoveController::MoveDestination::Kind::folder || !result)
        return false;
    const std::filesystem::path folder = pathFromUrl(destination.folder);
    if (!MoveCheck::insideFolder(folder, result->folder))
        return false;
    log::error(log::Category::app, "Move refused: the destination " + folder.native() +
                                       " is inside the scanned folder " + result->folder.native());
    return true;
}

using Clock = std::chrono::steady_clock;

// A move that ends within the first budget runs in one go, as if nothing were sliced; a
// longer one gives the event loop a turn after each following slice.
constexpr auto firstSliceBudget = std::chrono::milliseconds(400);
constexpr auto sliceBudget = std::chrono::milliseconds(40);

} // namespace

// Everything a move or an undo needs between two slices.
struct MoveController::Job {
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
    PhotoRecord keeper;
    bool keeperChanged = false;
    std::vector<Move> moves;
    std::vector<ScanResult::Group> kept;
    std::vector<ScanResult::Group> removed;
    std::vector<ScanResult::Group> reduced;
    std::int64_t skipped = 0; // changed since the scan, or their keeper did
    std::int64_t failed = 0;
    std::int64_t noTrash = 0; // failed because their drive has no usable Trash

    // Undoing: the operation, walked from its last pair to its first.
    MoveOperation operation;
    std::int64_t restored = 0;
    // Put back, as each now stands: moved twice, it is the same file with a new change time.
    std::map<std::string, std::optional<FileIdentity>> back;
    std::vector<Move> blocked;               // could not go back now; a later undo may retry
    std::vector<std::filesystem::path> lost; // no longer at their new place as moved
};

bool MoveController::progressIsUndo() const {
    return shown_ && job_ && job_->undo;
}

qint64 MoveController::progressCurrent() const {
    return shown_ && job_ ? job_->done : 0;
}

qint64 MoveController::progressTotal() const {
    return shown_ && job_ ? job_->total : 0;
}

MoveController::MoveController(ScanSession& session, Notices& notices, QObject* parent)
    : QObject(parent), session_(session), notices_(notices) {}

MoveController::~MoveController() {
    abandon();
}

void MoveController::setPendingMove(const std::optional<MoveDestination>& destination) {
    pendingMove_ = destination;
    Q_EMIT pendingMoveChanged();
}

void MoveController::setLastMove(std::optional<MoveOperation> move) {
    lastMove_ = std::move(move);
    Q_EMIT lastMoveChanged();
}

void MoveController::request(const MoveDestination& destination) {
    if (job_)
        return;
    if (destinationInsideScan(destination, session_.result())) {
        notices_.setErrorMessage(L::check::insideFolder());
        return;
    }
    setPendingMove(destination);
}

void MoveController::confirmPending() {
    if (pendingMove_)
        perform(*pendingMove_);
}

void MoveController::perform(MoveDestination destination) {
    const auto& result = session_.result();
    if (!result)
        return;
    if (job_) {
        log::info(log::Category::app, "Move refused: another move is still running");
        return;
    }
    setPendingMove(std::nullopt);
    // Refused before anything moves: files moved there would still be in the folder.
    if (destinationInsideScan(destination, result)) {
        notices_.setErrorMessage(L::check::insideFolder());
        return;
    }
    auto job = std::make_shared<Job>();
    job->destination = destination;
    job->toTrash = destination.kind == MoveDestination::Kind::trash;
    if (!job->toTrash)
        job->folder = pathFromUrl(destination.folder);
    job->granted = !job->toTrash && startAccessingSecurityScope(job->folder);
    job->groups = result->groups;
    // One file can sit in two groups (an exact copy that also stands for its copies in a
    // look-alike group). A keeper of any group never leaves, and a file moved for one group
    // counts as moved for the next.
    for (const auto& group : job->groups) {
        if (const auto keeper = group.keeper()) {
            job->keepers.insert(keeper->fileURL);
            job->total += std::int64_t(group.members.size()) - 1;
        }
    }
    start(std::move(job));
}

void MoveController::undoLast() {
    if (!lastMove_ || !session_.result() || job_)
        return;
    auto job = std::make_shared<Job>();
    job->undo = true;
    job->operation = *lastMove_;
    job->destination = lastMove_->destination;
    job->total = std::int64_t(job->operation.moves.size());
    start(std::move(job));
}

void MoveController::start(std::shared_ptr<Job> job) {
    job->serial = ++serial_;
    job_ = std::move(job);
    resume(serial_, false);
}

void MoveController::resume(std::uint64_t serial, bool unbounded) {
    if (!job_ || job_->serial != serial)
        return;
    Job& job = *job_;
    const bool finished = job.undo ? undoSlice(job, unbounded) : moveSlice(job, unbounded);
    job.firstSlice = false;
    if (!finished) {
        shown_ = true;
        Q_EMIT progressChanged();
        // The next slice comes from the event loop, so the window repaints and answers
        // between slices; nothing here runs inside another event's handling.
        QTimer::singleShot(slicePauseMs_, this, [this, serial] { resume(serial, false); });
        return;
    }
    const auto done = std::move(job_);
    const bool wasShown = std::exchange(shown_, false);
    if (wasShown)
        Q_EMIT progressChanged();
    if (done->undo)
        finishUndo(*done);
    else
        finishMove(*done);
}

void MoveController::completeNow() {
    while (job_)
        resume(job_->serial, true);
}

void MoveController::abandon() {
    if (job_ && job_->granted)
        stopAccessingSecurityScope(job_->folder);
    job_.reset();
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

bool MoveController::moveSlice(Job& job, bool unbounded) {
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
            job.keeper = *keeper;
            job.keeperChanged = false;
            job.remaining = {*keeper};
            job.allMoved = true;
            job.others = group.others();
            job.other = 0;
            job.inGroup = true;
        }
        if (job.other < job.others.size()) {
            if (!unbounded && sliceSpent(started, job.firstSlice, files, sliceFiles_))
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
            // Checked right before the move, against what the scan saw: the keeper first, as
            // the others leave only because it stays; then the file itself; and an exact copy
            // must still hold the keeper's bytes.
            std::optional<std::string> skip;
            std::optional<std::string> failure;
            if (!job.keeperChanged && !MoveCheck::unchanged(job.keeper)) {
                job.keeperChanged = true;
                log::error(log::Category::scan, "Move skipped: the kept photo " +
                                                    lastComponent(job.keeper.fileURL) +
                                                    " changed since the scan; its group stays");
            }
            if (job.keeperChanged)
                skip = "its kept photo changed since the scan";
            else if (!MoveCheck::unchanged(photo))
                skip = "changed since the scan";
            else if (group.kind == ScanResult::Kind::exact) {
                switch (MoveCheck::compareBytes(job.keeper, photo)) {
                case MoveCheck::Bytes::same:
                    break;
                case MoveCheck::Bytes::different:
                    skip = "no longer holds the bytes of its kept copy";
                    break;
                case MoveCheck::Bytes::unreadable:
                    failure = "could not be read to confirm it is a copy";
                    break;
                }
            }
            std::error_code ec;
            const FileIdentity* expected = photo.identity ? &*photo.identity : nullptr;
            if (!skip && !failure && job.toTrash) {
                if (const auto item = Trash::moveToTrash(source, ec, expected))
                    job.moves.push_back({source, item->location, item->infoFile,
                                         FileIdentity::ofPath(item->location)});
            } else if (!skip && !failure) {
                // A name taken after it was chosen is never overwritten: the next one is tried.
                if (const auto target = FileMover::moveInto(source, job.folder, expected, ec))
                    job.moves.push_back({source, *target, {}, FileIdentity::ofPath(*target)});
            }
            if (ec == MoveError::changed)
                skip = "changed since the scan";
            else if (ec)
                failure = ec.message();
            if (skip || failure) {
                job.remaining.push_back(photo);
                job.allMoved = false;
                if (skip) {
                    ++job.skipped;
                    log::info(log::Category::scan,
                              "Move skipped: " + lastComponent(source) + " " + *skip);
                } else {
                    ++(ec == MoveError::noTrash ? job.noTrash : job.failed);
                    log::error(log::Category::scan,
                               "Move failed: " + lastComponent(source) + " " + *failure);
                }
                continue;
            }
            job.movedAlready.insert(photo.fileURL);
            continue;
        }
        if (job.allMoved) {
            job.removed.push_back(group);
        } else {
            if (job.remaining.size() < group.members.size())
                job.reduced.push_back(group);
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

void MoveController::finishMove(Job& job) {
    // The result outlives every move: a new scan first runs a running move to its end.
    ScanResult edited = session_.result() ? *session_.result() : ScanResult{};
    edited.groups = std::move(job.kept);
    session_.setResult(std::move(edited));
    const auto movedCount = std::int64_t(job.moves.size());
    if (job.moves.empty())
        setLastMove(std::nullopt);
    else
        setLastMove(MoveOperation{std::move(job.moves),
                                  std::move(job.removed),
                                  job.destination,
                                  std::move(job.reduced),
                                  {}});

    log::info(log::Category::funnel,
              std::string("move_others dest=") + (job.toTrash ? "trash" : "folder") + " moved=" +
                  std::to_string(movedCount) + " skipped=" + std::to_string(job.skipped) +
                  " failed=" + std::to_string(job.failed + job.noTrash));
    QStringList parts{job.toTrash ? L::move::doneTrash(movedCount)
                                  : movedToFolderText(movedCount, job.folder)};
    if (job.skipped > 0)
        parts << L::check::skipped(job.skipped);
    if (job.failed > 0)
        parts << L::move::failed(job.failed);
    if (job.noTrash > 0)
        parts << L::check::noTrash(job.noTrash);
    notices_.showToast(parts.join(QStringLiteral(" \u00b7 ")), movedCount > 0);
    if (job.granted)
        stopAccessingSecurityScope(job.folder);
}

bool MoveController::undoSlice(Job& job, bool unbounded) {
    const auto started = Clock::now();
    int files = 0;
    const auto& moves = job.operation.moves;
    const bool fromTrash = job.operation.destination.kind == MoveDestination::Kind::trash;
    while (job.done < job.total) {
        if (!unbounded && sliceSpent(started, job.firstSlice, files, sliceFiles_))
            return false;
        const Move& move = moves[moves.size() - 1 - std::size_t(job.done)];
        ++job.done;
        ++files;
        // Only the file the move left there goes back: a stranger that took its name, or the
        // file edited since, stays where it is; so does anything standing at the old place.
        std::error_code ec = make_error_code(MoveError::changed);
        if (move.identity && FileIdentity::ofPath(move.to) == move.identity)
            ec = fromTrash ? Trash::restore({move.to, move.trashInfo}, move.from, &*move.identity)
                           : FileMover::moveNoReplace(move.to, move.from, &*move.identity);
        if (ec == MoveError::changed) {
            job.lost.push_back(move.from);
            log::error(log::Category::scan, "Undo left " + lastComponent(move.from) +
                                                " where it was moved: it changed or is gone there");
        } else if (ec) {
            job.blocked.push_back(move);
            log::error(log::Category::scan,
                       "Undo failed: " + lastComponent(move.from) + " " + ec.message());
        } else {
            ++job.restored;
            job.back[move.from.native()] = FileIdentity::ofPath(move.from);
        }
    }
    return true;
}

void MoveController::finishUndo(Job& job) {
    // Each group the move touched comes back with the members that are in the folder again; a
    // file undo could not bring back is left out, and a later undo may still add it.
    std::set<std::string> absent;
    for (const Move& move : job.blocked)
        absent.insert(move.from.native());
    std::vector<std::filesystem::path> lost = job.operation.lost;
    lost.insert(lost.end(), job.lost.begin(), job.lost.end());
    for (const auto& path : lost)
        absent.insert(path.native());
    ScanResult edited = session_.result() ? *session_.result() : ScanResult{};
    auto restore = [&](const ScanResult::Group& before) {
        ScanResult::Group group = before;
        std::erase_if(group.members,
                      [&](const PhotoRecord& photo) { return absent.count(photo.fileURL) > 0; });
        for (PhotoRecord& photo : group.members)
            if (const auto back = job.back.find(photo.fileURL); back != job.back.end())
                photo.identity = back->second;
        if (group.members.size() < 2 || !group.keeper())
            return;
        const auto current = std::find_if(edited.groups.begin(), edited.groups.end(),
                                          [&](const auto& g) { return g.id == group.id; });
        if (current == edited.groups.end()) {
            edited.groups.push_back(std::move(group));
            return;
        }
        // A keeper chosen since the move stays chosen.
        const std::string keeperId = current->keeperId;
        *current = std::move(group);
        if (current->keeper() && std::any_of(current->members.begin(), current->members.end(),
                                             [&](const auto& m) { return m.id == keeperId; }))
            current->keeperId = keeperId;
    };
    for (const auto& group : job.operation.removedGroups)
        restore(group);
    for (const auto& group : job.operation.reducedGroups)
        restore(group);
    edited.sortGroups();
    session_.setResult(std::move(edited));

    const auto blocked = std::int64_t(job.blocked.size());
    if (job.blocked.empty()) {
        setLastMove(std::nullopt);
    } else {
        std::reverse(job.blocked.begin(), job.blocked.end()); // back to the order moved
        setLastMove(MoveOperation{std::move(job.blocked), job.operation.removedGroups,
                                  job.operation.destination, job.operation.reducedGroups,
                                  std::move(lost)});
    }
    QStringList parts{L::move::undone(job.restored)};
    if (blocked > 0)
        parts << L::check::undoBlocked(blocked);
    if (!job.lost.empty())
        parts << L::check::undoLeft(std::int64_t(job.lost.size()));
    notices_.showToast(parts.join(QStringLiteral(" \u00b7 ")), blocked > 0);
    log::info(log::Category::funnel, "move_undone restored=" + std::to_string(job.restored) +
                                         " blocked=" + std::to_string(blocked) +
                                         " left=" + std::to_string(job.lost.size()));
}

} // namespace quorlix
