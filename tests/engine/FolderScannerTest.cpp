#include "engine/core/FolderScanner.h"

#include "TempFolder.h"

#include <algorithm>
#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace quorlix;
using quorlix::test::TempFolder;

namespace {

std::vector<std::string> relativeNames(const std::vector<FolderScanner::Candidate>& found,
                                       const std::filesystem::path& root) {
    std::vector<std::string> names;
    for (const auto& c : found)
        names.push_back(c.url.lexically_relative(root).native());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(FolderScanner, KeepsVisibleRegularImagesOnly) {
    TempFolder t;
    t.write("a.JPG", "aa");
    t.write("b.Png", "bbb");
    t.write("c.txt", "c");
    t.write(".hidden.jpg", "h");
    t.write(".hiddenfolder/inside.jpg", "i");
    t.write("x/d.heic", "dddd");
    t.write("x/e.HeIc", "");
    t.write("photo.jpeg.bak", "p");
    t.write("raw", "r");
    t.write("name with spaces.jpg", "s");
    t.write("new\nline.tif", "n");
    t.write(std::string("bad\xff\xfe utf8.jpg"), "u");
    std::filesystem::create_symlink(t.path() / "a.JPG", t.path() / "link.jpg");
    std::filesystem::create_directory_symlink(t.path() / "x", t.path() / "linkdir");
    ::mkfifo((t.path() / "pipe.jpg").c_str(), 0600);

    const auto found = FolderScanner::enumerate(t.path());
    EXPECT_EQ(relativeNames(found, t.path()),
              (std::vector<std::string>{"a.JPG", "b.Png", std::string("bad\xff\xfe utf8.jpg"),
                                        "name with spaces.jpg", "new\nline.tif", "x/d.heic",
                                        "x/e.HeIc"}));
    for (const auto& c : found) {
        EXPECT_TRUE(c.url.is_absolute());
        EXPECT_EQ(c.size, std::int64_t(std::filesystem::file_size(c.url)));
    }
}

TEST(FolderScanner, EmptyMissingAndFileArgumentsGiveNothing) {
    TempFolder t;
    EXPECT_TRUE(FolderScanner::enumerate(t.path()).empty());
    EXPECT_TRUE(FolderScanner::enumerate(t.path() / "missing").empty());
    const auto file = t.write("a.jpg", "x");
    EXPECT_TRUE(FolderScanner::enumerate(file).empty());
}

TEST(FolderScanner, LinkLoopsAndDeepTreesEnd) {
    TempFolder t;
    t.write("a/b/c.jpg", "c");
    std::filesystem::create_directory_symlink(t.path(), t.path() / "a/b/loop");
    std::filesystem::create_directory_symlink("..", t.path() / "a/up");
    std::string deep;
    for (int i = 0; i < 1000; ++i)
        deep += "d/";
    t.write(deep + "bottom.png", "b");

    const auto found = FolderScanner::enumerate(t.path());
    EXPECT_EQ(relativeNames(found, t.path()),
              (std::vector<std::string>{"a/b/c.jpg", deep + "bottom.png"}));
}

TEST(FolderScanner, ChosenFolderMayBeALinkButNothingBelowIs) {
    TempFolder t;
    t.write("real/p.jpg", "p");
    std::filesystem::create_directory_symlink(t.path() / "real", t.path() / "chosen");
    const auto found = FolderScanner::enumerate(t.path() / "chosen");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found.front().url, t.path() / "chosen" / "p.jpg");
}

TEST(FolderScanner, UnreadableSubfolderIsSkipped) {
    TempFolder t;
    t.write("ok.jpg", "o");
    t.write("locked/hidden.jpg", "h");
    t.write("later/z.jpg", "z");
    ::chmod(t.path().c_str(), 0755);
    ::chmod((t.path() / "locked").c_str(), 0);
    // Permissions do not bind the superuser: look through an ordinary user's eyes instead.
    const bool dropped = ::geteuid() == 0 && ::seteuid(65534) == 0;
    const auto found = FolderScanner::enumerate(t.path());
    if (dropped) {
        ASSERT_EQ(::seteuid(0), 0);
    }
    if (::geteuid() == 0 && !dropped)
        GTEST_SKIP() << "cannot drop privileges";
    EXPECT_EQ(relativeNames(found, t.path()), (std::vector<std::string>{"later/z.jpg", "ok.jpg"}));
}

namespace {

// Removes the folder `name` in `parent` and everything below it, by descriptors: a tree deeper
// than PATH_MAX cannot be removed by path.
void removeTree(int parent, const std::string& name) {
    const int fd = ::openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
    if (fd >= 0) {
        const int listing = ::dup(fd);
        if (DIR* dir = ::fdopendir(listing)) {
            std::vector<std::pair<std::string, bool>> entries;
            while (const dirent* e = ::readdir(dir))
                if (std::string_view(e->d_name) != "." && std::string_view(e->d_name) != "..")
                    entries.emplace_back(e->d_name, e->d_type == DT_DIR);
            ::closedir(dir);
            for (const auto& [entry, isFolder] : entries) {
                if (isFolder)
                    removeTree(fd, entry);
                else
                    ::unlinkat(fd, entry.c_str(), 0);
            }
        }
        ::close(fd);
    }
    ::unlinkat(parent, name.c_str(), AT_REMOVEDIR);
}

} // namespace

// Folders past PATH_MAX are walked: a photo whose path the system still opens is found below
// one, and one whose path it cannot open is counted and logged instead of vanishing silently.
TEST(FolderScanner, DeepTreeIsWalkedAndTooLongPathsAreCounted) {
    TempFolder t;
    const std::string level(200, 'd');
    int fd = ::open(t.path().c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    std::string relative;
    const auto addPhoto = [&](const char* name) {
        const int photo = ::openat(fd, name, O_WRONLY | O_CREAT | O_EXCL, 0644);
        ASSERT_GE(photo, 0);
        ASSERT_EQ(::write(photo, "jpg", 3), 3);
        ::close(photo);
    };
    for (int depth = 0; depth < 30; ++depth) {
        ASSERT_EQ(::mkdirat(fd, level.c_str(), 0755), 0);
        const int next = ::openat(fd, level.c_str(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        ASSERT_GE(next, 0);
        fd = next;
        relative += level + "/";
        if (depth == 5)
            addPhoto("shallow.jpg");
    }
    addPhoto("deep.jpg");
    ::close(fd);
    ASSERT_GT(t.path().native().size() + relative.size(), std::size_t(PATH_MAX));

    std::int64_t tooLong = -1;
    const auto found = FolderScanner::enumerate(t.path(), {}, &tooLong);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found.front().url.filename(), "shallow.jpg");
    EXPECT_EQ(tooLong, 1);

    const int root = ::open(t.path().c_str(), O_RDONLY | O_DIRECTORY);
    removeTree(root, level);
    ::close(root);
}
