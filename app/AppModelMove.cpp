// Moving the others of every group out of the folder, and putting them back.
#include "app/AppModel.h"
#include "app/FileMover.h"
#include "app/FileUrl.h"
#include "app/L.h"
#include "app/SecurityScope.h"
#include "app/Trash.h"
#include "engine/Log.h"

#include <algorithm>
#include <cerrno>
#include <set>
#include <sys/stat.h>

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

bool groupBefore(const ScanResult::Group& a, const ScanResult::Group& b) {
    if (a.kind != b.kind)
        return a.kind == ScanResult::Kind::exact;
    if (a.members.size() != b.members.size())
        return a.members.size() > b.members.size();
    return a.id < b.id;
}

} // namespace

void AppModel::requestMove(const MoveDestination& destination) {
    setPendingMove(destination);
}

void AppModel::chooseMoveFolder() {
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
    setPendingMove(std::nullopt);
    const bool toTrash = destination.kind == MoveDestination::Kind::trash;
    const auto folder = toTrash ? std::filesystem::path() : pathFromUrl(destination.folder);
    const bool granted = !toTrash && startAccessingSecurityScope(folder);

    // One file can sit in two groups (an exact copy that also stands for its copies in a
    // look-alike group). A keeper of any group never leaves, and a file moved for one group
    // counts as moved for the next.
    std::set<std::string> keepers;
    for (const auto& group : result_->groups)
        if (const auto keeper = group.keeper())
            keepers.insert(keeper->fileURL);
    std::set<std::string> movedAlready;

    std::vector<Move> moves;
    std::vector<ScanResult::Group> kept;
    std::vector<ScanResult::Group> removed;
    std::int64_t failed = 0;

    for (const auto& group : result_->groups) {
        const auto keeper = group.keeper();
        if (!keeper) {
            kept.push_back(group);
            continue;
        }
        std::vector<PhotoRecord> remaining{*keeper};
        bool allMoved = true;
        for (const auto& photo : group.others()) {
            const std::filesystem::path source = photo.fileURL;
            if (keepers.count(photo.fileURL)) {
                log::info(log::Category::scan,
                          "Move skipped: " + lastComponent(source) + " is kept in another group");
                remaining.push_back(photo);
                allMoved = false;
                continue;
            }
            if (movedAlready.count(photo.fileURL))
                continue;
            std::optional<std::string> failure = changedSinceScan(photo);
            std::error_code ec;
            if (!failure && toTrash) {
                if (const auto item = Trash::moveToTrash(source, ec))
                    moves.push_back({source, item->location, item->infoFile});
            } else if (!failure) {
                // A name taken after it was chosen is never overwritten: choose again.
                for (int attempt = 0; attempt < 3; ++attempt) {
                    const auto target = FileMover::uniqueDestination(folder, source);
                    ec = FileMover::moveNoReplace(source, target);
                    if (!ec) {
                        moves.push_back({source, target, {}});
                        break;
                    }
                    if (ec != std::errc::file_exists || !FileMover::occupied(source))
                        break;
                }
            }
            if (!failure && ec)
                failure = ec.message();
            if (failure) {
                ++failed;
                remaining.push_back(photo);
                allMoved = false;
                log::error(log::Category::scan,
                           "Move failed: " + lastComponent(source) + " " + *failure);
                continue;
            }
            movedAlready.insert(photo.fileURL);
        }
        if (allMoved) {
            removed.push_back(group);
        } else {
            ScanResult::Group reduced = group;
            reduced.members = std::move(remaining);
            kept.push_back(std::move(reduced));
        }
    }

    ScanResult edited = *result_;
    edited.groups = std::move(kept);
    setResult(std::move(edited));
    const auto movedCount = std::int64_t(moves.size());
    if (moves.empty())
        setLastMove(std::nullopt);
    else
        setLastMove(MoveOperation{std::move(moves), std::move(removed), destination});

    log::info(log::Category::funnel,
              std::string("move_others dest=") + (toTrash ? "trash" : "folder") +
                  " moved=" + std::to_string(movedCount) + " failed=" + std::to_string(failed));
    QString text = toTrash ? L::move::doneTrash(movedCount) : L::move::doneFolder(movedCount);
    if (failed > 0)
        text += QStringLiteral(" · ") + L::move::failed(failed);
    showToast(text, movedCount > 0);
    if (granted)
        stopAccessingSecurityScope(folder);
}

void AppModel::undoLastMove() {
    if (!lastMove_ || !result_)
        return;
    const MoveOperation operation = *lastMove_;
    std::int64_t restored = 0;
    for (auto it = operation.moves.rbegin(); it != operation.moves.rend(); ++it) {
        // Never over a file that now stands at the old place: that one stays, this one too.
        const std::error_code ec = operation.destination.kind == MoveDestination::Kind::trash
                                       ? Trash::restore({it->to, it->trashInfo}, it->from)
                                       : FileMover::moveNoReplace(it->to, it->from);
        if (ec) {
            log::error(log::Category::scan, "Undo failed: " + lastComponent(it->from));
            continue;
        }
        ++restored;
    }
    ScanResult edited = *result_;
    edited.groups.insert(edited.groups.end(), operation.removedGroups.begin(),
                         operation.removedGroups.end());
    std::stable_sort(edited.groups.begin(), edited.groups.end(), groupBefore);
    setResult(std::move(edited));
    setLastMove(std::nullopt);
    showToast(L::move::undone(restored), false);
    log::info(log::Category::funnel, "move_undone restored=" + std::to_string(restored));
}

} // namespace quorlix
