#include "TempFolder.h"
#include "TestEnvironment.h"
#include "app/AppModel.h"
#include "app/FileMover.h"
#include "app/FileUrl.h"
#include "app/L.h"
#include "app/MoveError.h"
#include "app/Trash.h"
#include "engine/core/RegularFile.h"

#include <QGuiApplication>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <linux/fs.h>
#include <map>
#include <sched.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace quorlix;
namespace fs = std::filesystem;
using Kind = ScanResult::Kind;

namespace {

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec))
        names.push_back(entry.path().filename().native());
    std::sort(names.begin(), names.end());
    return names;
}

using Names = std::vector<std::string>;
using Sizes = std::vector<std::size_t>;

// The notice's words for a move to `dest`, which it names.
QString movedTo(int count, const test::TempFolder& dest) {
    return QString::fromUtf8("%1 photos moved to \u201c%2\u201d")
        .arg(count)
        .arg(QString::fromStdString(dest.path().filename().native()));
}

// The notice's tail for files left in place because they changed.
QString skipped(int count) {
    return QString::fromUtf8(" \u00b7 %1 left in place: changed since the scan").arg(count);
}

// How many members each listed group has, in the result's order.
Sizes sizes(const AppModel& model) {
    Sizes out;
    for (const auto& group : model.result()->groups)
        out.push_back(group.members.size());
    return out;
}

ScanResult resultOf(const fs::path& folder, std::vector<ScanResult::Group> groups) {
    ScanResult result;
    result.folder = folder;
    result.groups = std::move(groups);
    return result;
}

ScanResult::Group near(const std::string& id, const std::vector<PhotoRecord>& members) {
    return test::groupOf(Kind::near, id, members);
}

ScanResult::Group exact(const std::string& id, const std::vector<PhotoRecord>& members) {
    return test::groupOf(Kind::exact, id, members);
}

// Photos written into a folder, each with its own bytes, and a model whose scan of the folder
// found `groups`.
struct Photos {
    test::TempFolder folder;
    int seed = 1;
    PhotoRecord add(const std::string& relative) {
        const int s = seed++;
        return test::recordFor(
            folder.write(relative, test::randomBytes(1000 + s, std::uint32_t(s))));
    }
    std::unique_ptr<AppModel> model(std::vector<ScanResult::Group> groups) const {
        return test::modelWithResult(resultOf(folder.path(), std::move(groups)));
    }
};

AppModel::MoveDestination toFolder(const fs::path& folder) {
    return AppModel::MoveDestination::toFolder(urlFromPath(folder));
}

// A fresh folder on /dev/shm (memory), removed with its contents.
struct ShmFolder {
    fs::path path;
    ShmFolder() {
        std::string pattern = "/dev/shm/quorlix-test-XXXXXX";
        if (::mkdtemp(pattern.data()))
            path = pattern;
    }
    ~ShmFolder() {
        std::error_code ec;
        if (!path.empty())
            fs::remove_all(path, ec);
    }
};

// Sets or clears the file system's immutable flag on a folder.
bool setImmutable(const fs::path& path, bool on) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    ::close(fd);
    return done;
}

// Many small groups of tiny files: `groups` keepers, each with `othersPerGroup` others.
struct ManyPhotos {
    test::TempFolder folder;
    std::vector<ScanResult::Group> groups;
    ManyPhotos(int groupCount, int othersPerGroup) {
        for (int g = 0; g < groupCount; ++g) {
            std::vector<PhotoRecord> members;
            for (int m = 0; m <= othersPerGroup; ++m)
                // Exact groups hold copies; look-alikes each their own bytes.
                members.push_back(test::recordFor(
                    folder.write("g" + std::to_string(g) + "-p" + std::to_string(m) + ".jpg",
                                 std::to_string(g * 100 + (g % 2 ? m : 0)))));
            groups.push_back(test::groupOf(g % 2 ? Kind::near : Kind::exact,
                                           "group:" + std::to_string(100000 + g), members));
        }
    }
    std::unique_ptr<AppModel> model() const {
        return test::modelWithResult(resultOf(folder.path(), groups));
    }
};

// Every file under `folder`, relative, with its bytes.
std::map<std::string, std::string> contentsOf(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), folder).native()] = readFile(entry.path());
    return files;
}

// Runs `body` in a child process and returns how it ended (waitpid status). The child leaves
// by _exit, so nothing of the test program's own exit handling runs twice.
template <typename Body> int inChild(Body body) {
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(body());
    int status = -1;
    ::waitpid(pid, &status, 0);
    return status;
}

} // namespace

class MoveTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        // Everything below trashes files: make sure it is never the user's Trash.
        const QByteArray home = test::isolatedHome();
        QVERIFY(!home.isEmpty());
        QVERIFY(QByteArray::fromStdString(Trash::homeTrash().native()).startsWith(home + "/"));
    }

    void cleanup() {
        std::error_code ec;
        fs::remove_all(Trash::homeTrash(), ec);
    }

    void moveToFolderThenUndo() {
        Photos src;
        test::TempFolder dest;
        const auto k1 = src.add("k1.jpg"), o1 = src.add("o1.jpg");
        const auto k2 = src.add("k2.jpg"), o2 = src.add("o2.jpg"), o3 = src.add("o3.jpg");
        const std::string o1Bytes = readFile(o1.fileURL);
        const auto before = contentsOf(src.folder.path());
        auto model = src.model({near("exact:b", {k2, o2, o3}), near("exact:a", {k1, o1})});
        test::LogCapture logs;
        model->requestMove(toFolder(dest.path()));
        QVERIFY(model->pendingMove());
        model->confirmPendingMove();
        QVERIFY(!model->pendingMove());
        QCOMPARE(namesIn(dest.path()), (Names{"o1.jpg", "o2.jpg", "o3.jpg"}));
        QCOMPARE(namesIn(src.folder.path()), (Names{"k1.jpg", "k2.jpg"}));
        QCOMPARE(readFile(dest.path() / "o1.jpg"), o1Bytes);
        QVERIFY(model->result()->groups.empty());
        QCOMPARE(model->toastText(), movedTo(3, dest));
        QVERIFY(model->toastUndoable());
        QVERIFY(logs.contains("move_others dest=folder moved=3 skipped=0 failed=0"));

        const QString firstToast = model->toastId();
        model->undoLastMove();
        QCOMPARE(namesIn(dest.path()), Names{});
        QCOMPARE(contentsOf(src.folder.path()), before);
        // Back whole, in their sorted places: more members first.
        QCOMPARE(sizes(*model), (Sizes{3, 2}));
        QCOMPARE(model->result()->groups[0].id, std::string("exact:b"));
        QCOMPARE(model->toastText(), QString("3 photos put back"));
        QVERIFY(!model->toastUndoable());
        QVERIFY(model->toastId() != firstToast);
        QVERIFY(!model->lastMove());
        QVERIFY(logs.contains("move_undone restored=3 blocked=0 left=0"));
        model->undoLastMove(); // only once
        QCOMPARE(model->toastText(), QString("3 photos put back"));
    }

    void namesNeverClash() {
        Photos src;
        test::TempFolder dest;
        dest.write("o.jpg", "already here");
        dest.write("noext", "already here too");
        const auto k1 = src.add("k1.jpg"), x = src.add("x/o.jpg");
        const auto k2 = src.add("k2.jpg"), y = src.add("y/o.jpg");
        const auto k3 = src.add("k3.jpg"), n = src.add("z/noext");
        auto model = src.model(
            {near("exact:1", {k1, x}), near("exact:2", {k2, y}), near("near:0", {k3, n})});
        model->performMove(toFolder(dest.path()));
        QCOMPARE(namesIn(dest.path()), (Names{"noext", "noext 2", "o 2.jpg", "o 3.jpg", "o.jpg"}));
        QCOMPARE(readFile(dest.path() / "o.jpg"), std::string("already here"));
        QCOMPARE(readFile(dest.path() / "noext"), std::string("already here too"));
        // Too long for the limit: the base gives way, never the number, the extension or half
        // of a character.
        const std::tuple<std::string, int, std::size_t, std::string> numbered[] = {
            {"new.tar.gz", 1, NAME_MAX, "new.tar.gz"},
            {"new.tar.gz", 3, NAME_MAX, "new.tar 3.gz"},
            {".hidden", 2, NAME_MAX, ".hidden 2"},
            {"ab\u00e9cd.jpg", 12, 10, "ab 12.jpg"},
            {std::string(300, 'x'), 1, 255, std::string(255, 'x')}};
        for (const auto& [name, number, limit, expected] : numbered)
            QCOMPARE(FileMover::numberedName(name, number, limit), expected);
        // A name taken after the free-name search is never overwritten either.
        QCOMPARE(FileMover::moveNoReplace(k1.fileURL, dest.path() / "o.jpg"),
                 std::make_error_code(std::errc::file_exists));
        QVERIFY(fs::exists(k1.fileURL));
        QCOMPARE(readFile(dest.path() / "o.jpg"), std::string("already here"));
    }

    // Regression: a destination whose names cannot be looked up made the free-name search loop
    // forever; the move must fail for that file instead and leave it where it is.
    void anUnusableDestinationFailsInsteadOfHanging() {
        Photos src;
        test::TempFolder dest;
        const auto notAFolder = dest.write("plain-file", "x");
        const auto k = src.add("k.jpg"), o = src.add("o.jpg");
        std::error_code ec;
        QVERIFY(!FileMover::moveInto(o.fileURL, notAFolder, nullptr, ec));
        QCOMPARE(ec, std::make_error_code(std::errc::not_a_directory));
        QVERIFY(!FileMover::copyInto(o.fileURL, notAFolder, ec));
        QVERIFY(fs::exists(o.fileURL));

        // A name at the file system's limit that is already taken: the numbered name is cut to
        // fit.
        const std::string longName = std::string(251, 'n') + ".jpg";
        dest.write(longName, "already here");
        const auto o2 = src.add("x/" + longName);
        const std::string bytes = readFile(o2.fileURL);
        auto model = src.model({near("exact:1", {k, o, o2})});
        fs::remove(o.fileURL); // gone since the scan: it stays gone, the rest moves
        model->performMove(toFolder(dest.path()));
        QVERIFY(!fs::exists(o2.fileURL));
        QCOMPARE(readFile(dest.path() / longName), std::string("already here"));
        const std::string shortened = std::string(249, 'n') + " 2.jpg";
        QCOMPARE(readFile(dest.path() / shortened), bytes);
        model->undoLastMove();
        QCOMPARE(readFile(o2.fileURL), bytes);
    }

    // Edited after the scan, even after the move began: it is no longer the photo the user was
    // shown, so it stays in its group.
    void aFileChangedBeforeItsTurnStaysInItsGroup() {
        Photos src;
        test::TempFolder dest;
        const auto k = src.add("k.jpg"), fine = src.add("fine.jpg"), edited = src.add("edited.jpg");
        auto model = src.model({near("near:0", {k, fine, edited})});
        model->setMoveSlicing(1, 0);
        test::LogCapture logs;
        model->performMove(toFolder(dest.path()));
        QVERIFY(model->moveInProgress());
        std::ofstream(edited.fileURL, std::ios::app) << "more";
        QTRY_VERIFY(!model->moveInProgress());
        QCOMPARE(namesIn(dest.path()), Names{"fine.jpg"});
        QVERIFY(fs::exists(edited.fileURL));
        QCOMPARE(sizes(*model), Sizes{2});
        QCOMPARE(model->result()->groups[0].members[1].id, edited.id);
        QCOMPARE(model->toastText(), movedTo(1, dest) + skipped(1));
        QVERIFY(model->toastUndoable());
        QVERIFY(logs.contains("Move skipped: edited.jpg changed since the scan"));
        QVERIFY(logs.contains("move_others dest=folder moved=1 skipped=1 failed=0"));
        // Undo puts the moved file back into its group, as it was before the move.
        model->undoLastMove();
        QVERIFY(fs::exists(fine.fileURL));
        QCOMPARE(sizes(*model), Sizes{3});
    }

    void readOnlySourceFolderFails() {
        Photos src;
        test::TempFolder dest;
        const auto k = src.add("k.jpg"), locked = src.add("locked/o.jpg");
        auto model = src.model({near("exact:0", {k, locked})});
        // Permissions do not bind root; the immutable flag does.
        const fs::path lockedDir = src.folder.path() / "locked";
        const bool immutable = ::geteuid() == 0 && setImmutable(lockedDir, true);
        if (::geteuid() == 0 && !immutable)
            QSKIP("cannot make a folder read-only for root here");
        if (!immutable)
            ::chmod(lockedDir.c_str(), 0500);
        model->performMove(toFolder(dest.path()));
        if (immutable)
            setImmutable(lockedDir, false);
        QVERIFY(fs::exists(locked.fileURL));
        QCOMPARE(namesIn(dest.path()), Names{});
        QCOMPARE(model->toastText(),
                 movedTo(0, dest) + QString::fromUtf8(" \u00b7 1 could not be moved"));
        QCOMPARE(sizes(*model), Sizes{2});
    }

    void nothingMovedClearsTheLastMove() {
        Photos src;
        const auto k = src.add("k.jpg"), gone = src.add("gone.jpg");
        const auto k2 = src.add("k2.jpg"), o2 = src.add("o2.jpg");
        // A group whose keeper is none of its members is left alone.
        const auto a = src.add("a.jpg"), b = src.add("b.jpg");
        auto keeperless = near("exact:2", {a, b});
        keeperless.keeperId = "nobody";
        auto model = src.model({near("exact:0", {k, gone}), near("exact:1", {k2, o2}), keeperless});
        model->setKeeper("exact:1", QString::fromStdString(o2.id));
        fs::remove(gone.fileURL);
        model->performMove(AppModel::MoveDestination::trash());
        QVERIFY(model->lastMove());
        QVERIFY(fs::exists(o2.fileURL) && !fs::exists(k2.fileURL));
        model->performMove(AppModel::MoveDestination::trash());
        QCOMPARE(model->toastText(), "0 photos moved to the Trash" + skipped(1));
        QVERIFY(!model->toastUndoable());
        QVERIFY(!model->lastMove());
        QCOMPARE(sizes(*model), (Sizes{2, 2}));
        QVERIFY(fs::exists(a.fileURL) && fs::exists(b.fileURL));
    }

    void aKeeperOfOneGroupNeverLeavesForAnother() {
        Photos src;
        test::TempFolder dest;
        const auto x1 = src.add("x1.jpg"), x2 = src.add("x2.jpg"), y = src.add("y.jpg");
        const auto k = src.add("k.jpg"), shared = src.add("shared.jpg"), k2 = src.add("k2.jpg");
        auto model = src.model({near("exact:x", {x1, x2}), near("exact:s", {k, shared}),
                                near("near:0", {x2, y}), near("near:1", {k2, shared})});
        model->performMove(toFolder(dest.path()));
        // x2 keeps its place as the keeper of near:0; "shared" moves once for both groups.
        QCOMPARE(namesIn(dest.path()), (Names{"shared.jpg", "y.jpg"}));
        QVERIFY(fs::exists(x2.fileURL));
        QCOMPARE(sizes(*model), Sizes{2});
        QCOMPARE(model->result()->groups[0].id, std::string("exact:x"));
        QCOMPARE(model->toastText(), movedTo(2, dest));
        model->undoLastMove();
        QCOMPARE(namesIn(dest.path()), Names{});
        QCOMPARE(sizes(*model), (Sizes{2, 2, 2, 2}));
    }

    void trashAndUndoLeaveTheTrashAsItWas() {
        Photos src;
        const auto k = src.add("k.jpg"), o = src.add("with space é.jpg");
        // Two others of one name, from two folders, are kept apart in the Trash.
        const auto k2 = src.add("k2.jpg"), a = src.add("a/same.jpg"), b = src.add("b/same.jpg");
        const auto before = contentsOf(src.folder.path());
        auto model = src.model({near("exact:0", {k, o}), near("near:1", {k2, a, b})});
        test::LogCapture logs;
        model->performMove(AppModel::MoveDestination::trash());
        const fs::path trash = Trash::homeTrash();
        QCOMPARE(namesIn(trash / "files"), (Names{"same 2.jpg", "same.jpg", "with space é.jpg"}));
        QCOMPARE(namesIn(trash / "info"), (Names{"same 2.jpg.trashinfo", "same.jpg.trashinfo",
                                                 "with space é.jpg.trashinfo"}));
        QCOMPARE(model->toastText(), QString("3 photos moved to the Trash"));
        QVERIFY(logs.contains("move_others dest=trash moved=3 skipped=0 failed=0"));
        const std::string info = readFile(trash / "info" / "with space é.jpg.trashinfo");
        const QByteArray encoded = QByteArray::fromStdString(o.fileURL).toPercentEncoding("/");
        QVERIFY(info.starts_with("[Trash Info]\nPath=" + encoded.toStdString() + "\n"));
        QVERIFY(info.find("%20") != std::string::npos && info.find("%C3%A9") != std::string::npos);
        QVERIFY(info.find("\nDeletionDate=") != std::string::npos);
        QVERIFY(!fs::exists(o.fileURL));

        model->undoLastMove();
        QCOMPARE(contentsOf(src.folder.path()), before);
        QCOMPARE(namesIn(trash / "files"), Names{});
        QCOMPARE(namesIn(trash / "info"), Names{});
        QCOMPARE(model->toastText(), QString("3 photos put back"));
    }

    void trashIsMadeWhereItBelongs() {
        // No data folder yet: it is made, and nothing lands in the working directory.
        std::error_code ec;
        fs::remove_all(Trash::homeTrash().parent_path(), ec);
        test::TempFolder work;
        const fs::path saved = fs::current_path();
        fs::current_path(work.path());
        const auto file = work.write("inside/p.jpg", "bytes");
        const auto item = Trash::moveToTrash(file, ec);
        fs::current_path(saved);
        QVERIFY(item && !ec);
        QCOMPARE(item->location, Trash::homeTrash() / "files" / "p.jpg");
        QCOMPARE(item->infoFile, Trash::homeTrash() / "info" / "p.jpg.trashinfo");
        QCOMPARE(readFile(item->location), std::string("bytes"));
        QCOMPARE(namesIn(work.path()), Names{"inside"});
        QCOMPARE(fs::status(Trash::homeTrash()).permissions() & fs::perms::all,
                 fs::perms::owner_all);
        QVERIFY(!Trash::restore(*item, file));
        QVERIFY(!fs::exists(item->infoFile));
    }

    void undoNeverClobbersAFileInTheWayAndCanBeRetried() {
        const QString blocked =
            QString::fromUtf8(" \u00b7 1 could not be put back yet: press Undo to try again");
        Photos src;
        test::TempFolder dest;
        const auto k = src.add("k.jpg"), o1 = src.add("o1.jpg"), o2 = src.add("o2.jpg");
        const std::string o1Bytes = readFile(o1.fileURL);
        auto model = src.model({near("exact:0", {k, o1, o2})});
        model->performMove(toFolder(dest.path()));
        src.folder.write("o1.jpg", "a new file");
        test::LogCapture logs;
        model->undoLastMove();
        QCOMPARE(readFile(o1.fileURL), std::string("a new file"));
        QCOMPARE(readFile(dest.path() / "o1.jpg"), o1Bytes);
        QVERIFY(fs::exists(o2.fileURL));
        QCOMPARE(model->toastText(), "1 photos put back" + blocked);
        QVERIFY(logs.contains("Undo failed: o1.jpg File exists"));
        QVERIFY(logs.contains("move_undone restored=1 blocked=1 left=0"));
        // Back in the folder so far: the keeper and o2.
        QCOMPARE(sizes(*model), Sizes{2});
        // Once the way is clear, undo is offered again and finishes the job.
        QVERIFY(model->toastUndoable() && model->canUndo());
        fs::remove(o1.fileURL);
        model->undoLastMove();
        QCOMPARE(readFile(o1.fileURL), o1Bytes);
        QCOMPARE(namesIn(dest.path()), Names{});
        QCOMPARE(model->toastText(), QString("1 photos put back"));
        QVERIFY(!model->canUndo());
        QCOMPARE(sizes(*model), Sizes{3});

        // From the Trash: the trashed file and its .trashinfo both stay.
        model->newScan();
        Photos again;
        const auto k3 = again.add("k.jpg"), t = again.add("t.jpg");
        model = again.model({near("exact:0", {k3, t})});
        model->performMove(AppModel::MoveDestination::trash());
        again.folder.write("t.jpg", "in the way");
        model->undoLastMove();
        QCOMPARE(readFile(t.fileURL), std::string("in the way"));
        QCOMPARE(namesIn(Trash::homeTrash() / "files"), Names{"t.jpg"});
        QCOMPARE(namesIn(Trash::homeTrash() / "info"), Names{"t.jpg.trashinfo"});
        QCOMPARE(model->toastText(), "0 photos put back" + blocked);
    }

    void aKeeperDeletedOrEditedBeforeAMoveKeepsItsWholeGroup() {
        Photos src;
        test::TempFolder dest;
        const auto k1 = src.add("k1.jpg"), a1 = src.add("a1.jpg"), a2 = src.add("a2.jpg");
        const auto k2 = src.add("k2.jpg"), b1 = src.add("b1.jpg");
        const auto k3 = src.add("k3.jpg"), c1 = src.add("c1.jpg");
        auto model = src.model(
            {near("exact:a", {k1, a1, a2}), near("near:b", {k2, b1}), near("near:c", {k3, c1})});
        fs::remove(k1.fileURL);
        // Past the file system's clock tick, so the change time tells the edit.
        QTest::qSleep(20);
        // Edited in place: same size, same modification time, other bytes.
        struct stat before {};
        ::stat(k2.fileURL.c_str(), &before);
        std::string bytes = readFile(k2.fileURL);
        bytes[10] ^= 1;
        std::ofstream(k2.fileURL, std::ios::binary | std::ios::in) << bytes;
        const struct timespec times[2] = {before.st_atim, before.st_mtim};
        ::utimensat(AT_FDCWD, k2.fileURL.c_str(), times, 0);
        test::LogCapture logs;
        model->performMove(toFolder(dest.path()));
        QCOMPARE(namesIn(dest.path()), Names{"c1.jpg"});
        QVERIFY(fs::exists(a1.fileURL) && fs::exists(a2.fileURL) && fs::exists(b1.fileURL));
        QCOMPARE(sizes(*model), (Sizes{3, 2}));
        QCOMPARE(model->toastText(), movedTo(1, dest) + skipped(3));
        QVERIFY(logs.contains(
            "Move skipped: the kept photo k1.jpg changed since the scan; its group stays"));
        QVERIFY(logs.contains(
            "Move skipped: the kept photo k2.jpg changed since the scan; its group stays"));
        QVERIFY(logs.contains("move_others dest=folder moved=1 skipped=3 failed=0"));
    }

    void aSameSizeEditOrDifferentBytesNeverMoveAsACopy() {
        Photos src;
        test::TempFolder dest;
        const auto k = src.add("k.jpg"), edited = src.add("edited.jpg");
        // Recorded as one exact group, yet with other bytes: what a file replaced between
        // listing and hashing looks like to the move.
        const auto k2 = src.add("k2.jpg"), other = src.add("other.jpg");
        // Two true copies, to show the check lets them through.
        const auto k3 = src.add("k3.jpg");
        const auto copy = test::recordFor(src.folder.write("copy.jpg", readFile(k3.fileURL)));
        auto model = src.model({exact("exact:1", {k, edited}), exact("exact:2", {k2, other}),
                                exact("exact:3", {k3, copy})});
        QTest::qSleep(20); // past the file system's clock tick
        std::string bytes = readFile(edited.fileURL);
        bytes[bytes.size() / 2] ^= 0x55;
        std::ofstream(edited.fileURL, std::ios::binary | std::ios::in) << bytes;
        test::LogCapture logs;
        model->performMove(toFolder(dest.path()));
        QCOMPARE(namesIn(dest.path()), Names{"copy.jpg"});
        QVERIFY(fs::exists(edited.fileURL) && fs::exists(other.fileURL));
        QVERIFY(logs.contains("Move skipped: edited.jpg changed since the scan"));
        QVERIFY(
            logs.contains("Move skipped: other.jpg no longer holds the bytes of its kept copy"));
        QVERIFY(logs.contains("move_others dest=folder moved=1 skipped=2 failed=0"));
    }

    void aSpecialFileNeverBlocksAMoveOrACopy() {
        Photos src;
        test::TempFolder dest;
        const auto k = src.add("k.jpg"), o = src.add("o.jpg");
        auto model = src.model({exact("exact:0", {k, o})});
        // Swapped for a FIFO no one writes to: opening it for reading would wait for ever.
        fs::remove(o.fileURL);
        QCOMPARE(::mkfifo(o.fileURL.c_str(), 0600), 0);
        std::error_code ec;
        QVERIFY(!FileMover::copyInto(o.fileURL, dest.path(), ec));
        QCOMPARE(ec, make_error_code(MoveError::notRegular));
        model->performMove(toFolder(dest.path()));
        QCOMPARE(namesIn(dest.path()), Names{});
        QVERIFY(fs::is_fifo(o.fileURL));
        // A link is never followed either.
        fs::create_symlink(k.fileURL, src.folder.path() / "link.jpg");
        QVERIFY(!RegularFile::open(src.folder.path() / "link.jpg", ec));
        QCOMPARE(ec, std::make_error_code(std::errc::too_many_symbolic_link_levels));
    }

    void aDestinationInsideTheScannedFolderIsRefused() {
        test::TempFolder root;
        const auto k = test::recordFor(root.write("photos/k.jpg", "same"));
        const auto o = test::recordFor(root.write("photos/o.jpg", "same"));
        fs::create_directories(root.path() / "photos/sub/deeper");
        fs::create_directories(root.path() / "photos2");
        fs::create_directory_symlink(root.path() / "photos/sub", root.path() / "alias");
        auto model =
            test::modelWithResult(resultOf(root.path() / "photos", {exact("exact:0", {k, o})}));
        test::LogCapture logs;
        for (const fs::path& inside : {root.path() / "photos", root.path() / "photos/sub/deeper",
                                       root.path() / "alias", root.path() / "photos/sub/new"}) {
            model->setErrorMessage({});
            model->requestMove(toFolder(inside));
            QVERIFY(!model->pendingMove());
            QCOMPARE(model->errorMessage(), L::check::insideFolder());
            model->setErrorMessage({});
            model->performMove(toFolder(inside));
            QCOMPARE(model->errorMessage(), L::check::insideFolder());
        }
        QVERIFY(fs::exists(o.fileURL));
        QVERIFY(!model->hasToast());
        QCOMPARE(model->result()->groups.size(), std::size_t(1));
        QVERIFY(logs.contains("Move refused: the destination " + (root.path() / "alias").native() +
                              " is inside the scanned folder " +
                              (root.path() / "photos").native()));
        // A sibling whose name merely starts the same is outside.
        model->setErrorMessage({});
        model->requestMove(toFolder(root.path() / "photos2"));
        QVERIFY(model->pendingMove());
        QVERIFY(model->errorMessage().isNull());
    }

    void undoLeavesAStrangerOrAMissingFileAndListsOnlyWhatCameBack() {
        Photos src;
        test::TempFolder dest;
        const auto k = src.add("k.jpg"), o1 = src.add("o1.jpg"), o2 = src.add("o2.jpg"),
                   o3 = src.add("o3.jpg");
        const auto k2 = src.add("k2.jpg"), p1 = src.add("p1.jpg");
        const std::string o3Bytes = readFile(o3.fileURL);
        auto model = src.model({near("near:0", {k, o1, o2, o3}), near("exact:0", {k2, p1})});
        model->performMove(toFolder(dest.path()));
        QCOMPARE(namesIn(dest.path()), (Names{"o1.jpg", "o2.jpg", "o3.jpg", "p1.jpg"}));
        // An unrelated file took o1's name at the destination; o2 and p1 were deleted there.
        fs::remove(dest.path() / "o1.jpg");
        dest.write("o1.jpg", "a stranger");
        fs::remove(dest.path() / "o2.jpg");
        fs::remove(dest.path() / "p1.jpg");
        test::LogCapture logs;
        model->undoLastMove();
        QCOMPARE(readFile(dest.path() / "o1.jpg"), std::string("a stranger"));
        QVERIFY(!fs::exists(o1.fileURL) && !fs::exists(o2.fileURL) && !fs::exists(p1.fileURL));
        QCOMPARE(readFile(o3.fileURL), o3Bytes);
        QCOMPARE(model->toastText(), QString::fromUtf8("1 photos put back \u00b7 3 left where they "
                                                       "were moved: changed or gone since"));
        QVERIFY(!model->toastUndoable());
        QVERIFY(!model->canUndo());
        QVERIFY(logs.contains("Undo left o1.jpg where it was moved: it changed or is gone there"));
        QVERIFY(logs.contains("move_undone restored=1 blocked=0 left=3"));
        // Only files that are back are listed: near:0 with its keeper and o3; exact:0, with
        // nothing left beside its keeper, is no group.
        QCOMPARE(sizes(*model), Sizes{2});
        QCOMPARE(model->result()->groups[0].members[1].id, o3.id);
    }

    // Names that are not UTF-8, or too long to take ".trashinfo" in the Trash, move to a folder
    // and to the Trash, and come back whole each time.
    void oddAndLongNamesMoveAndComeBack() {
        Photos src;
        test::TempFolder dest;
        std::string accents;
        for (int i = 0; i < 125; ++i)
            accents += "\xc3\xa9"; // é, two bytes each: 250 bytes
        const std::string odd = "caf\xe9.jpg", odd2 = "\xff\xfe", longer = accents + ".jpg",
                          plain = std::string(251, 'p') + ".jpg";
        const auto k = src.add("k.jpg"), o = src.add(odd), o2 = src.add(odd2);
        const auto l = src.add(longer), p = src.add(plain);
        const auto before = contentsOf(src.folder.path());
        auto model = src.model({near("exact:0", {k, o, o2, l, p})});
        QCOMPARE(pathFromUrl(urlFromPath(o.fileURL)), fs::path(o.fileURL));
        model->performMove(toFolder(dest.path()));
        QCOMPARE(namesIn(dest.path()), (Names{odd, plain, longer, odd2}));
        model->undoLastMove();
        QCOMPARE(contentsOf(src.folder.path()), before);

        // Moved and put back, they are still the files the scan saw: they move again.
        model->performMove(AppModel::MoveDestination::trash());
        QCOMPARE(model->toastText(), QString("4 photos moved to the Trash"));
        const Names trashed = namesIn(Trash::homeTrash() / "files");
        QCOMPARE(trashed.size(), std::size_t(4));
        QCOMPARE(trashed.front(), odd);
        QCOMPARE(trashed.back(), odd2);
        for (const std::string& name : trashed) {
            QVERIFY(name.size() + std::strlen(".trashinfo") <= NAME_MAX);
            const std::string info = readFile(Trash::homeTrash() / "info" / (name + ".trashinfo"));
            if (name == odd)
                QVERIFY(info.find("caf%E9.jpg\n") != std::string::npos);
            if (name == odd || name == odd2)
                continue;
            // Cut between characters, never inside one, and never the extension.
            QVERIFY(name.ends_with(".jpg"));
            QVERIFY(QString::fromUtf8(name).toUtf8().toStdString() == name);
            const std::string original = name.starts_with("p") ? p.fileURL : l.fileURL;
            const QByteArray encoded = QByteArray::fromStdString(original).toPercentEncoding("/");
            QVERIFY(info.find("Path=" + encoded.toStdString() + "\n") != std::string::npos);
        }
        model->undoLastMove();
        QCOMPARE(contentsOf(src.folder.path()), before);
        QCOMPARE(namesIn(Trash::homeTrash() / "info"), Names{});
    }

    void aKilledCopyLeavesNoPartialFile() {
        test::TempFolder folder;
        ShmFolder shm;
        const auto source = folder.write("big.jpg", test::randomBytes(2 << 20, 7));
        const std::string bytes = readFile(source);
        const fs::path into = folder.path() / "into";
        fs::create_directory(into);
        // The system kills the copy half-way: writing past a file-size limit raises SIGXFSZ.
        const int killed = inChild([&] {
            const struct rlimit limit = {1 << 20, 1 << 20};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            std::error_code ec;
            FileMover::copyInto(source, into, ec);
            return 0;
        });
        QVERIFY(WIFSIGNALED(killed) && WTERMSIG(killed) == SIGXFSZ);
        QCOMPARE(namesIn(into), Names{});
        QCOMPARE(readFile(source), bytes);

        // Cut short without dying, across file systems: the move fails, the source stays whole
        // and nothing is left at the destination.
        if (shm.path.empty())
            QSKIP("needs /dev/shm");
        const int failed = inChild([&] {
            ::signal(SIGXFSZ, SIG_IGN);
            const struct rlimit limit = {1 << 20, 1 << 20};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            std::error_code ec;
            const bool moved = FileMover::moveInto(source, shm.path, nullptr, ec).has_value();
            return !moved && ec == std::errc::file_too_large ? 0 : 1;
        });
        QVERIFY(WIFEXITED(failed) && WEXITSTATUS(failed) == 0);
        QCOMPARE(namesIn(shm.path), Names{});
        QCOMPARE(readFile(source), bytes);
    }

    void aBrokenTopLevelTrashIsReportedAsSuch() {
        // A drive of its own, in a mount namespace of a child process.
        test::TempFolder folder;
        int pipeFds[2];
        QCOMPARE(::pipe(pipeFds), 0);
        const int status = inChild([&] {
            ::close(pipeFds[0]);
            if (::unshare(CLONE_NEWNS) != 0 ||
                ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                ::mount("tmpfs", folder.path().c_str(), "tmpfs", 0, "size=1m") != 0)
                return 77;
            const fs::path trash = folder.path() / (".Trash-" + std::to_string(::getuid()));
            std::ofstream(trash) << "not a folder";
            std::ofstream(folder.path() / "p.jpg") << "photo";
            test::LogCapture logs;
            std::error_code ec;
            const bool trashed = Trash::moveToTrash(folder.path() / "p.jpg", ec).has_value();
            const bool logged =
                logs.contains("Trash unusable: " + trash.native() + " is a file, not a folder");
            const std::string report = (trashed ? "trashed" : ec.message()) +
                                       (logged ? "|logged" : "|silent") +
                                       (fs::exists(folder.path() / "p.jpg") ? "|kept" : "|gone");
            const bool sent = ::write(pipeFds[1], report.data(), report.size()) > 0;
            ::umount(folder.path().c_str());
            return sent ? 0 : 1;
        });
        ::close(pipeFds[1]);
        char buffer[256] = {};
        const ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer - 1);
        ::close(pipeFds[0]);
        if (WIFEXITED(status) && WEXITSTATUS(status) == 77)
            QSKIP("cannot mount a file system of its own here");
        QVERIFY(n > 0);
        QCOMPARE(std::string(buffer), std::string("no usable Trash on this drive|logged|kept"));
    }

    void acrossFileSystemsTheSourceGoesLast() {
        ShmFolder shm;
        Photos src;
        struct stat a {
        }, b{};
        if (shm.path.empty() || ::stat(shm.path.c_str(), &a) != 0 ||
            ::stat(src.folder.path().c_str(), &b) != 0 || a.st_dev == b.st_dev)
            QSKIP("needs /dev/shm on a file system of its own");
        const auto k = src.add("k.jpg"), o = src.add("o.jpg");
        const std::string bytes = readFile(o.fileURL);
        struct stat before {};
        ::stat(o.fileURL.c_str(), &before);
        auto model = src.model({near("exact:0", {k, o})});
        model->performMove(toFolder(shm.path));
        QVERIFY(!fs::exists(o.fileURL));
        QCOMPARE(readFile(shm.path / "o.jpg"), bytes);
        struct stat after {};
        ::stat((shm.path / "o.jpg").c_str(), &after);
        QCOMPARE(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
        model->undoLastMove();
        QCOMPARE(readFile(o.fileURL), bytes);
        QCOMPARE(namesIn(shm.path), Names{});

        // A copy that cannot be made leaves the source as it was and nothing behind.
        QVERIFY(FileMover::copyThenRemove(o.fileURL, shm.path / "missing" / "o.jpg"));
        QCOMPARE(readFile(o.fileURL), bytes);
        std::ofstream(shm.path / "o.jpg") << "occupied";
        QCOMPARE(FileMover::moveNoReplace(o.fileURL, shm.path / "o.jpg"),
                 std::make_error_code(std::errc::file_exists));
        QCOMPARE(readFile(o.fileURL), bytes);
        QCOMPARE(readFile(shm.path / "o.jpg"), std::string("occupied"));
        QCOMPARE(namesIn(shm.path), Names{"o.jpg"});
    }

    void aLongMoveRunsInSlicesWithTheSameEffects() {
        // The same layout moved at once and in slices of 10 files ends the same way.
        ManyPhotos once(40, 3), sliced(40, 3);
        test::TempFolder onceDest, slicedDest;
        // A name already taken in the destination is never overwritten, sliced or not.
        onceDest.write("g7-p1.jpg", "theirs");
        slicedDest.write("g7-p1.jpg", "theirs");
        const auto before = contentsOf(sliced.folder.path());

        auto plain = once.model();
        plain->performMove(toFolder(onceDest.path()));
        QTRY_VERIFY_WITH_TIMEOUT(!plain->moveInProgress(), 120000);
        QVERIFY(plain->result()->groups.empty());

        auto model = sliced.model();
        model->setMoveSlicing(10, 0);
        QSignalSpy progress(model.get(), &AppModel::moveProgressChanged);
        QSignalSpy results(model.get(), &AppModel::resultChanged);
        test::LogCapture logs;
        model->performMove(toFolder(slicedDest.path()));
        QVERIFY(model->moveInProgress());
        QVERIFY(!model->moveProgressIsUndo());
        QCOMPARE(model->moveProgressCurrent(), qint64(10));
        QCOMPARE(model->moveProgressTotal(), qint64(120));
        // The result is replaced only at the end; meanwhile other requests are refused.
        QCOMPARE(results.count(), 0);
        QCOMPARE(model->result()->groups.size(), std::size_t(40));
        model->requestMoveToTrash();
        QVERIFY(!model->pendingMove());
        model->performMove(AppModel::MoveDestination::trash());
        model->setKeeper("group:100000", QString::fromStdString(sliced.groups[0].members[1].id));
        QCOMPARE(model->result()->groups[0].keeperId, sliced.groups[0].members[0].id);
        QVERIFY(logs.contains("Move refused: another move is still running"));

        QTRY_VERIFY_WITH_TIMEOUT(!model->moveInProgress(), 120000);
        QVERIFY(progress.count() >= 3);
        QCOMPARE(results.count(), 1);
        QVERIFY(model->result()->groups.empty());
        QCOMPARE(plain->toastText(), movedTo(120, onceDest));
        QCOMPARE(model->toastText(), movedTo(120, slicedDest));
        QVERIFY(model->toastUndoable());
        QVERIFY(logs.contains("move_others dest=folder moved=120 skipped=0 failed=0"));
        QCOMPARE(contentsOf(slicedDest.path()), contentsOf(onceDest.path()));
        QCOMPARE(readFile(slicedDest.path() / "g7-p1.jpg"), std::string("theirs"));
        QCOMPARE(readFile(slicedDest.path() / "g7-p1 2.jpg"), std::string("701"));
        QCOMPARE(std::size_t(contentsOf(slicedDest.path()).size()), std::size_t(121));
        QCOMPARE(model->moveProgressTotal(), qint64(0));

        // Undo runs in slices too, and puts every byte back where it was.
        progress.clear();
        model->undoLastMove();
        QVERIFY(model->moveInProgress());
        QVERIFY(model->moveProgressIsUndo());
        model->undoLastMove(); // refused: the first one is still running
        QTRY_VERIFY_WITH_TIMEOUT(!model->moveInProgress(), 120000);
        QVERIFY(progress.count() >= 3);
        QCOMPARE(contentsOf(sliced.folder.path()), before);
        QCOMPARE(namesIn(slicedDest.path()), Names{"g7-p1.jpg"});
        QCOMPARE(model->toastText(), QString("120 photos put back"));
        QVERIFY(!model->toastUndoable());
        QCOMPARE(model->result()->groups.size(), std::size_t(40));
        QVERIFY(logs.contains("move_undone restored=120 blocked=0 left=0"));
    }

    void aNewScanFirstEndsARunningMove() {
        ManyPhotos photos(20, 2);
        test::TempFolder dest;
        auto model = photos.model();
        model->setMoveSlicing(3, 0);
        model->requestMove(toFolder(dest.path()));
        model->confirmPendingMove();
        QVERIFY(model->moveInProgress());
        model->newScan();
        QVERIFY(!model->moveInProgress());
        QCOMPARE(namesIn(dest.path()).size(), std::size_t(40));
        QCOMPARE(model->toastText(), movedTo(40, dest));
        QVERIFY(!model->lastMove());
        QVERIFY(!model->pendingMove());
        // Nothing of the finished move arrives later.
        QTest::qWait(50);
        QVERIFY(!model->result());
    }
};

QUORLIX_TEST_MAIN(MoveTest)
#include "MoveTest.moc"
