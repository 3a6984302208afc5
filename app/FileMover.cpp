#include "app/FileMover.h"

#include "app/MoveError.h"
#include "engine/core/RegularFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace quorlix::FileMover {

namespace {

namespace fs = std::filesystem;

// Enough for any folder a person fills by hand; bounded so a pathological one cannot spin.
constexpr int maxNumber = 10000;

std::error_code lastError() {
    return {errno, std::generic_category()};
}

bool unchanged(const fs::path& path, const FileIdentity* expected) {
    if (!expected)
        return true;
    const auto now = FileIdentity::ofPath(path);
    return now && *now == *expected;
}

// Errors that only say the file system has no no-replace rename.
bool noRenameNoReplace(int error) {
    return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP;
}

std::error_code writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return lastError();
        }
        data += n;
        size -= std::size_t(n);
    }
    return {};
}

// A complete, flushed copy of a file inside a folder, not yet under any name the user sees:
// unnamed where the file system allows it (a copy cut short by a crash or a kill then leaves
// nothing at all), else under a hidden temporary name removed on every way out.
class StagedCopy {
public:
    StagedCopy() = default;
    ~StagedCopy() {
        if (fd_ >= 0)
            ::close(fd_);
        if (!tempName_.empty())
            ::unlinkat(folderFd_, tempName_.c_str(), 0);
        if (folderFd_ >= 0)
            ::close(folderFd_);
    }
    StagedCopy(const StagedCopy&) = delete;
    StagedCopy& operator=(const StagedCopy&) = delete;

    std::error_code write(const RegularFile& in, const fs::path& folder) {
        folderFd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folderFd_ < 0)
            return lastError();
        fd_ = ::openat(folderFd_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, in.mode());
        if (fd_ < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
            std::random_device random;
            for (int attempt = 0; fd_ < 0 && attempt < 100; ++attempt) {
                char name[32];
                std::snprintf(name, sizeof name, ".quorlix-copy-%08x", unsigned(random()));
                fd_ = ::openat(folderFd_, name,
                               O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, in.mode());
                if (fd_ >= 0)
                    tempName_ = name;
                else if (errno != EEXIST)
                    break;
            }
        }
        if (fd_ < 0)
            return lastError();

        std::vector<char> buffer(1 << 20);
        std::int64_t copied = 0;
        for (;;) {
            const ssize_t n = readAt(in.fd(), buffer.data(), buffer.size(), off_t(copied));
            if (n < 0)
                return lastError();
            if (auto ec = writeAll(fd_, buffer.data(), std::size_t(n)))
                return ec;
            copied += n;
            if (std::size_t(n) < buffer.size())
                break;
        }
        struct stat source {};
        if (::fstat(in.fd(), &source) != 0)
            return lastError();
        // A source that grew or shrank while it was read gives no copy of any one version.
        if (copied != in.identity().size || source.st_size != copied)
            return make_error_code(MoveError::changed);
        const struct timespec times[2] = {source.st_atim, source.st_mtim};
        ::futimens(fd_, times);
        if (::fsync(fd_) != 0)
            return lastError();
        return {};
    }

    // Gives the copy `name` in its folder, failing with EEXIST when anything stands there.
    std::error_code publish(const std::string& name) {
        if (tempName_.empty()) {
            const std::string self = "/proc/self/fd/" + std::to_string(fd_);
            if (::linkat(AT_FDCWD, self.c_str(), folderFd_, name.c_str(), AT_SYMLINK_FOLLOW) != 0) {
                if (errno != ENOENT ||
                    ::linkat(fd_, "", folderFd_, name.c_str(), AT_EMPTY_PATH) != 0)
                    return lastError();
            }
        } else if (::renameat2(folderFd_, tempName_.c_str(), folderFd_, name.c_str(),
                               RENAME_NOREPLACE) != 0) {
            if (!noRenameNoReplace(errno))
                return lastError();
            if (::linkat(folderFd_, tempName_.c_str(), folderFd_, name.c_str(), 0) != 0)
                return lastError();
            ::unlinkat(folderFd_, tempName_.c_str(), 0);
        }
        tempName_.clear();
        name_ = name;
        // The new name must outlast a crash before the source may go.
        ::fsync(folderFd_);
        return {};
    }

    // Removes the published copy again, only while its name still holds this copy.
    void withdraw() {
        struct stat mine {
        }, there{};
        if (name_.empty() || ::fstat(fd_, &mine) != 0 ||
            ::fstatat(folderFd_, name_.c_str(), &there, AT_SYMLINK_NOFOLLOW) != 0)
            return;
        if (mine.st_dev == there.st_dev && mine.st_ino == there.st_ino)
            ::unlinkat(folderFd_, name_.c_str(), 0);
    }

private:
    int folderFd_ = -1;
    int fd_ = -1;
    std::string tempName_;
    std::string name_;
};

// Removes the source of a finished copy, only if its name still holds the file that was copied;
// otherwise the copy goes again, so the file exists exactly once.
std::error_code removeSource(const fs::path& from, const RegularFile& in, StagedCopy& copy) {
    std::error_code ec;
    if (!unchanged(from, &in.identity()))
        ec = make_error_code(MoveError::changed);
    else if (::unlink(from.c_str()) != 0)
        ec = lastError();
    if (ec)
        copy.withdraw();
    return ec;
}

// The file at `from` itself, as `expected` (when given) recorded it.
std::optional<RegularFile> openSource(const fs::path& from, const FileIdentity* expected,
                                      std::error_code& ec) {
    auto in = RegularFile::open(from, ec);
    if (!in && !ec)
        ec = make_error_code(MoveError::notRegular);
    if (in && expected && in->identity() != *expected) {
        ec = make_error_code(MoveError::changed);
        return std::nullopt;
    }
    return in;
}

// Publishes a staged copy under the first free name in `folder`.
std::optional<fs::path> publishFree(StagedCopy& copy, const fs::path& folder,
                                    const std::string& name, std::error_code& ec) {
    for (int n = 1; n <= maxNumber; ++n) {
        const std::string candidate = numberedName(name, n);
        ec = copy.publish(candidate);
        if (!ec)
            return folder / candidate;
        if (ec != std::errc::file_exists)
            return std::nullopt;
    }
    return std::nullopt;
}

std::optional<fs::path> moveAcross(const fs::path& from, const fs::path& folder,
                                   const FileIdentity* expected, std::error_code& ec) {
    const auto in = openSource(from, expected, ec);
    if (!in)
        return std::nullopt;
    StagedCopy copy;
    if ((ec = copy.write(*in, folder)))
        return std::nullopt;
    auto target = publishFree(copy, folder, from.filename().native(), ec);
    if (!target)
        return std::nullopt;
    if ((ec = removeSource(from, *in, copy)))
        return std::nullopt;
    return target;
}

} // namespace

std::string numberedName(const std::string& name, int n, std::size_t maxBytes) {
    const fs::path path(name);
    std::string base = path.stem().native();
    std::string ext = path.extension().native(); // with its dot, or empty
    const std::string suffix = n == 1 ? std::string() : " " + std::to_string(n);
    if (base.size() + suffix.size() + ext.size() <= maxBytes)
        return base + suffix + ext;
    if (ext.size() > std::max<std::size_t>(16, maxBytes / 4)) { // not an extension to keep whole
        base = name;
        ext.clear();
    }
    std::size_t keep = maxBytes - std::min(maxBytes, suffix.size() + ext.size());
    // Back to the start of a UTF-8 character, so the cut leaves no broken one behind.
    while (keep > 0 && keep < base.size() &&
           (static_cast<unsigned char>(base[keep]) & 0xC0) == 0x80)
        --keep;
    return base.substr(0, keep) + suffix + ext;
}

std::error_code moveNoReplace(const fs::path& from, const fs::path& to,
                              const FileIdentity* expected) {
    if (!unchanged(from, expected))
        return make_error_code(MoveError::changed);
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return {};
    const int renameError = errno;
    if (renameError == EXDEV)
        return copyThenRemove(from, to, expected);
    if (!noRenameNoReplace(renameError))
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
        return copyThenRemove(from, to, expected);
    return {linkError, std::generic_category()};
}

std::optional<fs::path> moveInto(const fs::path& from, const fs::path& folder,
                                 const FileIdentity* expected, std::error_code& ec) {
    const std::string name = from.filename().native();
    for (int n = 1; n <= maxNumber; ++n) {
        const fs::path target = folder / numberedName(name, n);
        if (!unchanged(from, expected)) {
            ec = make_error_code(MoveError::changed);
            return std::nullopt;
        }
        if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
            ec.clear();
            return target;
        }
        int error = errno;
        if (noRenameNoReplace(error)) {
            if (::link(from.c_str(), target.c_str()) == 0) {
                if (::unlink(from.c_str()) == 0) {
                    ec.clear();
                    return target;
                }
                ec = lastError();
                ::unlink(target.c_str());
                return std::nullopt;
            }
            error = errno;
            if (error == EPERM || error == EOPNOTSUPP || error == EMLINK)
                error = EXDEV;
        }
        if (error == EXDEV)
            return moveAcross(from, folder, expected, ec);
        if (error != EEXIST) {
            ec = {error, std::generic_category()};
            return std::nullopt;
        }
    }
    ec = std::make_error_code(std::errc::file_exists);
    return std::nullopt;
}

std::optional<fs::path> copyInto(const fs::path& from, const fs::path& folder,
                                 std::error_code& ec) {
    const auto in = openSource(from, nullptr, ec);
    if (!in)
        return std::nullopt;
    StagedCopy copy;
    if ((ec = copy.write(*in, folder)))
        return std::nullopt;
    return publishFree(copy, folder, from.filename().native(), ec);
}

std::error_code copyThenRemove(const fs::path& from, const fs::path& to,
                               const FileIdentity* expected) {
    std::error_code ec;
    const auto in = openSource(from, expected, ec);
    if (!in)
        return ec;
    StagedCopy copy;
    if ((ec = copy.write(*in, to.has_parent_path() ? to.parent_path() : fs::path("."))))
        return ec;
    if ((ec = copy.publish(to.filename().native())))
        return ec;
    return removeSource(from, *in, copy);
}

} // namespace quorlix::FileMover
