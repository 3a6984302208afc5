#pragma once

#include "engine/core/FileIdentity.h"

#include <filesystem>
#include <system_error>

namespace quorlix {

// A regular file open for reading, and which version of it was opened. The open neither follows
// a link nor waits on a special file (a FIFO, a device): anything but a regular file is refused
// once its type is known, so a name swapped for something else cannot block or redirect a move.
class SourceFile {
public:
    SourceFile() = default;
    ~SourceFile();
    SourceFile(SourceFile&& other) noexcept;
    SourceFile& operator=(SourceFile&& other) noexcept;
    SourceFile(const SourceFile&) = delete;
    SourceFile& operator=(const SourceFile&) = delete;

    // The file at `path` itself; nothing open and `ec` set otherwise (ELOOP for a link,
    // MoveError::notRegular for anything else that is not a regular file).
    static SourceFile open(const std::filesystem::path& path, std::error_code& ec);

    explicit operator bool() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    const FileIdentity& identity() const { return identity_; }
    unsigned mode() const { return mode_; } // permission bits

private:
    int fd_ = -1;
    FileIdentity identity_;
    unsigned mode_ = 0;
};

} // namespace quorlix
