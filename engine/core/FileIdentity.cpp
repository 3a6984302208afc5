#include "engine/core/FileIdentity.h"

#include <sys/stat.h>

namespace quorlix {

namespace {

std::int64_t nanoseconds(const timespec& t) {
    return std::int64_t(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

} // namespace

FileIdentity FileIdentity::of(const struct stat& st) {
    return {std::uint64_t(st.st_dev), std::uint64_t(st.st_ino), std::int64_t(st.st_size),
            nanoseconds(st.st_mtim), nanoseconds(st.st_ctim)};
}

std::optional<FileIdentity> FileIdentity::ofPath(const std::filesystem::path& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return of(st);
}

std::optional<FileIdentity> FileIdentity::ofDescriptor(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return of(st);
}

} // namespace quorlix
