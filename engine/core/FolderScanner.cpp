#include "engine/core/FolderScanner.h"

#include "engine/core/ImageFormat.h"
#include "engine/core/Log.h"

#include <algorithm>
#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace quorlix::FolderScanner {

namespace {

struct DirEntry {
    std::string name;
    unsigned char type;
};

// Opens a folder by a path of any length: one the kernel refuses whole is opened a part at a
// time, each part relative to the folder before it. -1 when it cannot be opened.
int openFolder(const std::string& path, bool followLink) {
    const int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK;
    if (path.size() < PATH_MAX)
        return ::open(path.c_str(), flags | (followLink ? 0 : O_NOFOLLOW));
    int fd = AT_FDCWD;
    std::size_t from = 0;
    while (from < path.size()) {
        std::size_t to = path.size();
        if (to - from >= PATH_MAX) {
            to = path.rfind('/', from + PATH_MAX - 1);
            if (to == std::string::npos || to <= from) {
                if (fd != AT_FDCWD)
                    ::close(fd);
                return -1;
            }
        }
        // The leading "/" of an absolute path stays with its first part.
        const std::string part = path.substr(from, std::max<std::size_t>(to - from, 1));
        const int next = ::openat(fd, part.c_str(), flags | O_NOFOLLOW);
        if (fd != AT_FDCWD)
            ::close(fd);
        if (next < 0)
            return -1;
        fd = next;
        from = to + 1;
    }
    return fd;
}

// Reads one folder's entries and returns its descriptor, for the caller to look its entries up
// relative to it and then close it, so a deep tree holds one folder open at a time; -1 when the
// folder cannot be read. O_NOFOLLOW keeps a folder swapped for a link mid-walk from being
// followed.
int readFolder(const std::string& path, bool followLink, std::vector<DirEntry>& out, dev_t& dev,
               ino_t& ino) {
    const int fd = openFolder(path, followLink);
    if (fd < 0)
        return -1;
    struct stat st {};
    const int listing = ::fstat(fd, &st) == 0 ? ::fcntl(fd, F_DUPFD_CLOEXEC, 0) : -1;
    DIR* dir = listing >= 0 ? ::fdopendir(listing) : nullptr;
    if (!dir) {
        if (listing >= 0)
            ::close(listing);
        ::close(fd);
        return -1;
    }
    dev = st.st_dev;
    ino = st.st_ino;
    while (const dirent* e = ::readdir(dir)) {
        if (e->d_name[0] == '.') // hidden, and "." and ".."
            continue;
        out.push_back({e->d_name, e->d_type});
    }
    ::closedir(dir);
    // Names sorted byte-wise make the walk, and so the choice of representatives, repeatable.
    std::sort(out.begin(), out.end(),
              [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
    return fd;
}

} // namespace

std::vector<Candidate> enumerate(const std::filesystem::path& folder, const ScanContext& context,
                                 std::int64_t* tooLong) {
    std::vector<Candidate> candidates;
    std::int64_t skipped = 0;
    std::string firstSkipped;
    std::error_code ec;
    const std::filesystem::path root = std::filesystem::absolute(folder, ec).lexically_normal();
    if (ec)
        return candidates;
    std::string rootText = root.native();
    if (rootText.size() > 1 && rootText.back() == '/')
        rootText.pop_back();

    // Bind mounts can make a folder its own descendant; a visited set ends such cycles.
    std::set<std::pair<dev_t, ino_t>> visited;
    std::vector<std::string> pending{rootText};
    bool isRoot = true;
    while (!pending.empty()) {
        context.checkpoint();
        const std::string dirPath = std::move(pending.back());
        pending.pop_back();
        std::vector<DirEntry> entries;
        dev_t dev{};
        ino_t ino{};
        // The chosen folder itself may be reached through a link; nothing below it is.
        const int dirFd = readFolder(dirPath, isRoot, entries, dev, ino);
        isRoot = false;
        if (dirFd < 0)
            continue;
        if (!visited.insert({dev, ino}).second) {
            ::close(dirFd);
            continue;
        }

        const std::string prefix = dirPath == "/" ? "/" : dirPath + "/";
        std::vector<std::string> subfolders;
        std::size_t seen = 0;
        for (const auto& e : entries) {
            // A folder of a million entries takes seconds to stat; the descriptor must not leak.
            if (++seen % 1024 == 0 && context.stopRequested()) {
                ::close(dirFd);
                context.checkpoint();
            }
            unsigned char type = e.type;
            struct stat st {};
            bool haveStat = false;
            // Relative to the folder: no walk down the whole path for every entry.
            auto statEntry = [&] {
                return ::fstatat(dirFd, e.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
            };
            if (type == DT_UNKNOWN) {
                if (!statEntry())
                    continue;
                haveStat = true;
                type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISREG(st.st_mode) ? DT_REG : DT_LNK;
            }
            if (type == DT_DIR) {
                subfolders.push_back(prefix + e.name);
                continue;
            }
            if (type != DT_REG || !ImageFormat::find(ImageFormat::lowerExtension(e.name)))
                continue;
            if (!haveStat && !statEntry())
                continue; // vanished since the folder was read
            if (!S_ISREG(st.st_mode))
                continue;
            if (prefix.size() + e.name.size() >= PATH_MAX) {
                if (skipped++ == 0)
                    firstSkipped = prefix + e.name;
                continue;
            }
            candidates.push_back({prefix + e.name, std::int64_t(st.st_size), FileIdentity::of(st)});
        }
        ::close(dirFd);
        // Depth-first in name order: push in reverse so the smallest name is walked first.
        for (auto it = subfolders.rbegin(); it != subfolders.rend(); ++it)
            pending.push_back(std::move(*it));
    }
    if (skipped > 0)
        log::error(log::Category::scan,
                   "Skipped " + std::to_string(skipped) +
                       " photos whose paths are longer than the system lets a program open, "
                       "the first at depth " +
                       std::to_string(std::count(firstSkipped.begin(), firstSkipped.end(), '/')) +
                       ": " + firstSkipped.substr(0, 200) + "…");
    if (tooLong)
        *tooLong = skipped;
    return candidates;
}

} // namespace quorlix::FolderScanner
