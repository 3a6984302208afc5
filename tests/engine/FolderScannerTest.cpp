#include "engine/core/FolderScanner.h"

#include "TempFolder.h"
#include "TestImages.h"

#include <algorithm>
#include <climits>
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
    t.write("f.jpeg", "f");
    t.write("g.tiff", "g");
    t.write("h.heif", "h");
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
                                        "f.jpeg", "g.tiff", "h.heif", "name with spaces.jpg",
                                        "new\nline.tif", "x/d.heic", "x/e.HeIc"}));
    for (const auto& c : found) {
        EXPECT_TRUE(c.url.is_absolute());
        EXPECT_EQ(c.size, std::int64_t(std::filesystem::file_size(c.url)));
    }
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
    EXPECT_EQ(relativeNames(FolderScanner::enumerate(t.path()), t.path()),
              (std::vector<std::string>{"a/b/c.jpg", deep + "bottom.png"}));

    // The chosen folder may be a link, though nothing below it is followed.
    std::filesystem::create_directory_symlink(t.path() / "a", t.path() / "chosen");
    EXPECT_EQ(relativeNames(FolderScanner::enumerate(t.path() / "chosen"), t.path() / "chosen"),
              (std::vector<std::string>{"b/c.jpg"}));
    // An empty or missing folder, or a file, gives nothing.
    std::filesystem::create_directory(t.path() / "empty");
    for (const auto& p : {t.path() / "empty", t.path() / "missing", t.path() / "a/b/c.jpg"})
        EXPECT_TRUE(FolderScanner::enumerate(p).empty()) << p;
}

TEST(FolderScanner, UnreadableSubfolderIsSkipped) {
    TempFolder t;
    t.write("ok.jpg", "o");
    t.write("locked/hidden.jpg", "h");
    t.write("later/z.jpg", "z");
    ::chmod(t.path().c_str(), 0755);
    ::chmod((t.path() / "locked").c_str(), 0);
    std::vector<FolderScanner::Candidate> found;
    if (!test::asOrdinaryUser([&] { found = FolderScanner::enumerate(t.path()); }))
        GTEST_SKIP() << "cannot drop privileges";
    EXPECT_EQ(relativeNames(found, t.path()), (std::vector<std::string>{"later/z.jpg", "ok.jpg"}));
}

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

    // Deeper than a path can name: GNU rm walks it by descriptors.
    EXPECT_TRUE(test::runQuietly("rm -rf " + test::shellQuoted(t.path() / level)));
}
