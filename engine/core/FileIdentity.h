#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

struct stat;

namespace quorlix {

// Which file a path named, and which version of it: equal identities mean the same inode with
// the same size and the same modification and change times, so an edit (even one that keeps the
// size and resets the modification time) or a replacement under the same name tells.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0; // since the epoch
    std::int64_t changedNs = 0;  // inode change time since the epoch

    static FileIdentity of(const struct stat& st);
    // The regular file at `path` itself (a link is not followed); nothing for anything else.
    static std::optional<FileIdentity> ofPath(const std::filesystem::path& path);
    // The regular file open as `fd`; nothing for anything else.
    static std::optional<FileIdentity> ofDescriptor(int fd);

    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

} // namespace quorlix
