#include "engine/core/RegularFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace quorlix {

std::optional<RegularFile> RegularFile::open(const std::filesystem::path& path) {
    std::error_code ec;
    return open(path, ec);
}

std::optional<RegularFile> RegularFile::open(const std::filesystem::path& path,
                                             std::error_code& ec) {
    ec.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        ec = {errno, std::generic_category()};
        return std::nullopt;
    }
    struct stat st {};
    // Reads of a regular file never wait anyway; clearing the flag keeps the descriptor ordinary
    // for libraries that take it.
    int flags = -1;
    if (::fstat(fd, &st) != 0 ||
        (S_ISREG(st.st_mode) &&
         ((flags = ::fcntl(fd, F_GETFL)) < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)))
        ec = {errno, std::generic_category()};
    if (ec || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    return RegularFile(fd, FileIdentity::of(st), unsigned(st.st_mode & 07777));
}

RegularFile::RegularFile(RegularFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), identity_(other.identity_), mode_(other.mode_) {}

RegularFile& RegularFile::operator=(RegularFile&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
        identity_ = other.identity_;
        mode_ = other.mode_;
    }
    return *this;
}

RegularFile::~RegularFile() {
    if (fd_ >= 0)
        ::close(fd_);
}

std::string RegularFile::procPath() const {
    return "/proc/self/fd/" + std::to_string(fd_);
}

ssize_t readAt(int fd, void* buffer, std::size_t size, off_t offset) {
    auto* bytes = static_cast<unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd, bytes + done, size - done, offset + off_t(done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (n == 0)
            break;
        done += std::size_t(n);
    }
    return ssize_t(done);
}

} // namespace quorlix
