#include "app/Trash.h"

#include "app/FileMover.h"
#include "app/FileUrl.h"
#include "app/MoveError.h"
#include "engine/core/Log.h"

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QStandardPaths>
#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace quorlix {

namespace {

namespace fs = std::filesystem;

std::error_code lastError() {
    return {errno, std::generic_category()};
}

bool makeDirectories(const fs::path& path, mode_t mode) {
    fs::path partial;
    for (const auto& part : path) {
        partial /= part;
        if (::mkdir(partial.c_str(), mode) != 0 && errno != EEXIST)
            return false;
    }
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool deviceOf(const fs::path& path, dev_t& device) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return false;
    device = st.st_dev;
    return true;
}

// The topmost folder above `file` on the same device: its mount point.
fs::path mountTop(const fs::path& file, dev_t device) {
    fs::path top = file.parent_path();
    while (top.has_relative_path()) {
        dev_t parentDevice{};
        if (!deviceOf(top.parent_path(), parentDevice) || parentDevice != device)
            break;
        top = top.parent_path();
    }
    return top;
}

// A trash folder we own (not a link) on `device`, with its two subfolders.
bool usableTrash(const fs::path& trash, dev_t device) {
    if (!makeDirectories(trash / "files", 0700) || !makeDirectories(trash / "info", 0700))
        return false;
    struct stat st {};
    return ::lstat(trash.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
           st.st_dev == device;
}

// What stands at a trash folder that cannot be used, for the log.
std::string whatStandsAt(const fs::path& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return std::error_code(errno, std::generic_category()).message();
    if (S_ISLNK(st.st_mode))
        return "a link, not a folder";
    if (!S_ISDIR(st.st_mode))
        return "a file, not a folder";
    if (st.st_uid != ::getuid())
        return "a folder owned by someone else";
    return "a folder whose files/ or info/ cannot be made";
}

std::optional<std::pair<fs::path, fs::path>> trashFor(const fs::path& file, dev_t device) {
    const fs::path home = Trash::homeTrash();
    // The home trash's parent may not exist yet: made here, never a stray "./files".
    if (!home.empty() && makeDirectories(home.parent_path(), 0700)) {
        dev_t homeDevice{};
        if (deviceOf(home.parent_path(), homeDevice) && homeDevice == device) {
            if (usableTrash(home, device))
                return std::pair{home, fs::path()};
            log::error(log::Category::app,
                       "Trash unusable: " + home.native() + " is " + whatStandsAt(home));
        }
    }
    const fs::path top = mountTop(file, device);
    const std::string uid = std::to_string(::getuid());
    struct stat shared {};
    const fs::path sharedTrash = top / ".Trash";
    if (::lstat(sharedTrash.c_str(), &shared) == 0 && S_ISDIR(shared.st_mode) &&
        (shared.st_mode & S_ISVTX) && usableTrash(sharedTrash / uid, device))
        return std::pair{sharedTrash / uid, top};
    const fs::path ownTrash = top / (".Trash-" + uid);
    if (::mkdir(ownTrash.c_str(), 0700) == 0 || errno == EEXIST) {
        if (usableTrash(ownTrash, device))
            return std::pair{ownTrash, top};
    }
    log::error(log::Category::app,
               "Trash unusable: " + ownTrash.native() + " is " + whatStandsAt(ownTrash));
    return std::nullopt;
}

QByteArray trashInfo(const fs::path& file, const fs::path& top) {
    // Absolute in the home trash, relative to the mount in a top-level one; percent-encoded.
    std::string path = file.native();
    if (!top.empty()) {
        const std::string prefix = top.native() == "/" ? "/" : top.native() + "/";
        path = path.substr(prefix.size());
    }
    return "[Trash Info]\nPath=" + QByteArray::fromStdString(path).toPercentEncoding("/") +
           "\nDeletionDate=" +
           QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")).toLatin1() +
           "\n";
}

} // namespace

fs::path Trash::homeTrash() {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty())
        return {};
    return pathFromText(data) / "Trash";
}

std::optional<Trash::Item> Trash::moveToTrash(const fs::path& file, std::error_code& ec,
                                              const FileIdentity* expected) {
    ec.clear();
    dev_t device{};
    if (!deviceOf(file, device)) {
        ec = lastError();
        return std::nullopt;
    }
    const auto trash = trashFor(file, device);
    if (!trash) {
        ec = make_error_code(MoveError::noTrash);
        return std::nullopt;
    }
    const auto& [folder, top] = *trash;
    const QByteArray info = trashInfo(file, top);
    // Both the file and its NAME.trashinfo must fit in a name.
    constexpr std::size_t infoSuffix = sizeof(".trashinfo") - 1;
    for (int n = 1; n < 10000; ++n) {
        const std::string name =
            FileMover::numberedName(file.filename().native(), n, NAME_MAX - infoSuffix);
        const fs::path infoFile = folder / "info" / (name + ".trashinfo");
        const fs::path location = folder / "files" / name;
        // The .trashinfo claims the name; it is written before the file moves.
        const int fd =
            ::open(infoFile.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            ec = lastError();
            return std::nullopt;
        }
        const bool written = ::write(fd, info.constData(), size_t(info.size())) == info.size();
        if (::close(fd) != 0 || !written) {
            ec = std::make_error_code(std::errc::io_error);
            ::unlink(infoFile.c_str());
            return std::nullopt;
        }
        ec = FileMover::moveNoReplace(file, location, expected);
        if (!ec)
            return Item{location, infoFile};
        ::unlink(infoFile.c_str());
        if (ec != std::errc::file_exists)
            return std::nullopt;
    }
    ec = std::make_error_code(std::errc::file_exists);
    return std::nullopt;
}

std::error_code Trash::restore(const Item& item, const fs::path& original,
                               const FileIdentity* expected) {
    if (auto ec = FileMover::moveNoReplace(item.location, original, expected))
        return ec;
    ::unlink(item.infoFile.c_str());
    return {};
}

} // namespace quorlix
