#include "app/MoveCheck.h"

#include "engine/core/RegularFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace quorlix::MoveCheck {

namespace fs = std::filesystem;

bool unchanged(const PhotoRecord& photo) {
    if (!photo.identity)
        return false;
    const auto now = FileIdentity::ofPath(photo.fileURL);
    return now && *now == *photo.identity;
}

Bytes compareBytes(const PhotoRecord& keeper, const PhotoRecord& copy) {
    const auto a = RegularFile::open(keeper.fileURL);
    const auto b = RegularFile::open(copy.fileURL);
    if (!a || !b)
        return Bytes::unreadable;
    if (!keeper.identity || !copy.identity || a->identity() != *keeper.identity ||
        b->identity() != *copy.identity || a->identity().size != b->identity().size)
        return Bytes::different;
    ::posix_fadvise(a->fd(), 0, 0, POSIX_FADV_SEQUENTIAL);
    ::posix_fadvise(b->fd(), 0, 0, POSIX_FADV_SEQUENTIAL);
    // Kept between calls: fresh megabytes for every file cost more in page faults than the
    // comparison itself.
    constexpr std::size_t chunk = 256 << 10;
    thread_local std::vector<char> left(chunk), right(chunk);
    for (off_t at = 0;; at += off_t(chunk)) {
        const ssize_t n = readAt(a->fd(), left.data(), chunk, at);
        const ssize_t m = readAt(b->fd(), right.data(), chunk, at);
        if (n < 0 || m < 0)
            return Bytes::unreadable;
        if (n != m || std::memcmp(left.data(), right.data(), std::size_t(n)) != 0)
            return Bytes::different;
        if (std::size_t(n) < chunk)
            return Bytes::same;
    }
}

bool insideFolder(const fs::path& destination, const fs::path& folder) {
    struct stat scanned {};
    if (::stat(folder.c_str(), &scanned) != 0)
        return false;
    std::error_code ec;
    // Compared by device and inode up the chain of real parents, so another name for the
    // scanned folder is recognised too.
    fs::path at = fs::weakly_canonical(destination, ec);
    if (ec)
        at = destination;
    for (;;) {
        struct stat st {};
        if (::stat(at.c_str(), &st) == 0 && st.st_dev == scanned.st_dev &&
            st.st_ino == scanned.st_ino)
            return true;
        if (!at.has_relative_path())
            return false;
        at = at.parent_path();
    }
}

} // namespace quorlix::MoveCheck
