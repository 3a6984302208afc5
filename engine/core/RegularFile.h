#pragma once

#include "engine/core/FileIdentity.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/types.h>
#include <system_error>

namespace quorlix {

// A regular file open for reading, or nothing. Any entry may have been swapped since it was
// listed: a link is never followed, the open never waits (a FIFO or a device would block it for
// ever), and whatever is not a regular file is refused before a byte is read. Owns its
// descriptor.
class RegularFile {
public:
    // Nothing when `path` names no regular file or cannot be opened.
    static std::optional<RegularFile> open(const std::filesystem::path& path);
    // The same, saying why: `ec` holds the system's error when the open failed (ELOOP for a
    // link), and is clear when the entry was refused for not being a regular file.
    static std::optional<RegularFile> open(const std::filesystem::path& path, std::error_code& ec);

    RegularFile(RegularFile&& other) noexcept;
    RegularFile& operator=(RegularFile&& other) noexcept;
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;
    ~RegularFile();

    int fd() const { return fd_; }
    // The file as it was when opened.
    const FileIdentity& identity() const { return identity_; }
    unsigned mode() const { return mode_; } // permission bits
    // A name that reaches this very open file, for libraries that insist on opening by name:
    // reopening it can neither follow a link nor land on whatever took the path since.
    std::string procPath() const;

private:
    RegularFile(int fd, FileIdentity identity, unsigned mode)
        : fd_(fd), identity_(identity), mode_(mode) {}

    int fd_ = -1;
    FileIdentity identity_;
    unsigned mode_ = 0;
};

// Reads up to `size` bytes at `offset` of `fd`, retrying short and interrupted reads; the bytes
// read, fewer only at the end of the file, or -1.
ssize_t readAt(int fd, void* buffer, std::size_t size, off_t offset);

} // namespace quorlix
