#include "app/SourceFile.h"

#include "app/MoveError.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace quorlix {

SourceFile::~SourceFile() {
    if (fd_ >= 0)
        ::close(fd_);
}

SourceFile::SourceFile(SourceFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), identity_(other.identity_), mode_(other.mode_) {}

SourceFile& SourceFile::operator=(SourceFile&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
        identity_ = other.identity_;
        mode_ = other.mode_;
    }
    return *this;
}

SourceFile SourceFile::open(const std::filesystem::path& path, std::error_code& ec) {
    ec.clear();
    SourceFile file;
    // Non-blocking only for the open itself: a FIFO without a writer would otherwise wait here
    // for ever. Reads from a regular file never block, and the flag is cleared before any.
    file.fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
    if (file.fd_ < 0) {
        ec = {errno, std::generic_category()};
        return {};
    }
    struct stat st {};
    if (::fstat(file.fd_, &st) != 0) {
        ec = {errno, std::generic_category()};
        return {};
    }
    if (!S_ISREG(st.st_mode)) {
        ec = make_error_code(MoveError::notRegular);
        return {};
    }
    const int flags = ::fcntl(file.fd_, F_GETFL);
    if (flags < 0 || ::fcntl(file.fd_, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        ec = {errno, std::generic_category()};
        return {};
    }
    file.identity_ = FileIdentity::of(st);
    file.mode_ = unsigned(st.st_mode & 07777);
    return file;
}

} // namespace quorlix
