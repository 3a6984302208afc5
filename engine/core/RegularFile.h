#pragma once

#include "engine/core/FileIdentity.h"

#include <filesystem>
#include <optional>
#include <string>

namespace quorlix {

// A regular file open for reading, or nothing. Any entry may have been swapped since it was
// listed: a link is never followed, the open never waits (a FIFO or a device would block it for
// ever), and whatever is not a regular file is refused before a byte is read. Owns its
// descriptor.
class RegularFile {
public:
    // Nothing when `path` names no regular file or cannot be opened.
    static std::optional<RegularFile> open(const std::filesystem::path& path);

    RegularFile(RegularFile&& other) noexcept;
    RegularFile& operator=(RegularFile&& other) noexcept;
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;
    ~RegularFile();

    int fd() const { return fd_; }
    // The file as it was when opened.
    const FileIdentity& identity() const { return identity_; }
    // A name that reaches this very open file, for libraries that insist on opening by name:
    // reopening it can neither follow a link nor land on whatever took the path since.
    std::string procPath() const;

private:
    RegularFile(int fd, FileIdentity identity) : fd_(fd), identity_(identity) {}

    int fd_ = -1;
    FileIdentity identity_;
};

} // namespace quorlix
