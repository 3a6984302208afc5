#include "app/FileMover.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace quorlix::FileMover {

namespace {

std::error_code lastError() {
    return {errno, std::generic_category()};
}

// Closes on every path out; keeps the first error seen.
struct Fd {
    int fd = -1;
    ~Fd() {
        if (fd >= 0)
            ::close(fd);
    }
    int release() {
        const int f = fd;
        fd = -1;
        return f;
    }
};

std::error_code writeAll(int fd, const char* data, ssize_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return lastError();
        }
        data += n;
        size -= n;
    }
    return {};
}

} // namespace

std::filesystem::path uniqueDestination(const std::filesystem::path& folder,
                                        const std::filesystem::path& source) {
    const std::filesystem::path name = source.filename();
    const std::string base = name.stem().native();
    const std::string ext = name.extension().native(); // with its dot, or empty
    std::filesystem::path candidate = folder / name;
    // Only a name that stands there is skipped. A name that cannot be looked up (a folder
    // without search permission, a name grown past the file system's limit) would fail the same
    // way for every number: it is returned, and the move itself reports why, replacing nothing.
    for (int n = 2; n <= 100000; ++n) {
        struct stat st {};
        if (::lstat(candidate.c_str(), &st) != 0)
            return candidate;
        candidate = folder / (base + " " + std::to_string(n) + ext);
    }
    return candidate;
}

bool occupied(const std::filesystem::path& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 || errno != ENOENT;
}

std::error_code copyThenRemove(const std::filesystem::path& from, const std::filesystem::path& to) {
    Fd in;
    in.fd = ::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (in.fd < 0)
        return lastError();
    struct stat source {};
    if (::fstat(in.fd, &source) != 0)
        return lastError();
    if (!S_ISREG(source.st_mode))
        return std::make_error_code(std::errc::operation_not_supported);

    Fd out;
    // O_EXCL: the copy never lands on anything that exists, however late it appeared.
    out.fd = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, source.st_mode & 07777);
    if (out.fd < 0)
        return lastError();

    auto fail = [&](std::error_code ec) {
        ::close(out.release());
        ::unlink(to.c_str());
        return ec;
    };

    std::vector<char> buffer(1 << 20);
    off_t copied = 0;
    for (;;) {
        const ssize_t n = ::read(in.fd, buffer.data(), buffer.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail(lastError());
        }
        if (n == 0)
            break;
        if (auto ec = writeAll(out.fd, buffer.data(), n))
            return fail(ec);
        copied += n;
    }
    if (::fsync(out.fd) != 0)
        return fail(lastError());
    struct stat written {};
    if (::fstat(out.fd, &written) != 0)
        return fail(lastError());
    if (copied != source.st_size || written.st_size != source.st_size)
        return fail(std::make_error_code(std::errc::io_error));
    const struct timespec times[2] = {source.st_atim, source.st_mtim};
    ::futimens(out.fd, times);
    if (::close(out.release()) != 0) {
        ::unlink(to.c_str());
        return lastError();
    }
    if (::unlink(from.c_str()) != 0) {
        // The source cannot go: take the copy back so the file exists exactly once.
        const auto ec = lastError();
        ::unlink(to.c_str());
        return ec;
    }
    return {};
}

std::error_code moveNoReplace(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return {};
    const int renameError = errno;
    if (renameError == EXDEV)
        return copyThenRemove(from, to);
    if (renameError != EINVAL && renameError != ENOSYS && renameError != EOPNOTSUPP)
        return {renameError, std::generic_category()};

    // A file system without no-replace renames: a hard link fails on an existing name too.
    if (::link(from.c_str(), to.c_str()) == 0) {
        if (::unlink(from.c_str()) == 0)
            return {};
        const auto ec = lastError();
        ::unlink(to.c_str());
        return ec;
    }
    const int linkError = errno;
    if (linkError == EXDEV || linkError == EPERM || linkError == EOPNOTSUPP || linkError == EMLINK)
        return copyThenRemove(from, to);
    return {linkError, std::generic_category()};
}

} // namespace quorlix::FileMover
