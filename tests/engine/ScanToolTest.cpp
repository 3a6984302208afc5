#include "TempFolder.h"
#include "TestImages.h"
#include "engine/core/ContentKeys.h"

#include <algorithm>
#include <cstdlib>
#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <regex>
#include <sys/stat.h>
#include <sys/wait.h>

using quorlix::test::randomBytes;
using quorlix::test::readFile;
using quorlix::test::TempFolder;

namespace {

struct Outcome {
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string quoted(const std::filesystem::path& p) {
    return quorlix::test::shellQuoted(p);
}

// Runs the headless scanner with `args` (already shell-quoted), after `environment` assignments,
// with a cache folder of its own so that no test reads or writes the user's.
Outcome runTool(const std::string& args, const std::string& environment = {}) {
    TempFolder io;
    const std::string command = "XDG_CACHE_HOME=" + quoted(io.path()) + " " + environment + " " +
                                quoted(std::getenv("QUORLIX_SCAN")) + " " + args + " >" +
                                quoted(io.path() / "out") + " 2>" + quoted(io.path() / "err");
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(io.path() / "out"),
            readFile(io.path() / "err")};
}

class ScanTool : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("QUORLIX_SCAN"))
            GTEST_SKIP() << "QUORLIX_SCAN names the scanner under test; ctest sets it";
    }
};

} // namespace

TEST_F(ScanTool, UsageAndUnreadableFolders) {
    auto o = runTool("");
    EXPECT_EQ(o.exitCode, 2);
    EXPECT_NE(o.err.find("Usage: quorlix-scan"), std::string::npos);
    EXPECT_EQ(runTool("--bogus /tmp").exitCode, 2);

    TempFolder t;
    o = runTool(quoted(t.path() / "missing"));
    EXPECT_EQ(o.exitCode, 1);
    EXPECT_NE(o.err.find("cannot read the folder"), std::string::npos);
    EXPECT_EQ(std::count(o.err.begin(), o.err.end(), '\n'), 1);
    EXPECT_EQ(runTool(quoted(t.write("file.jpg", "x"))).exitCode, 1);
}

TEST_F(ScanTool, JsonListsExactGroupsWithSmallestPathKept) {
    TempFolder t;
    const auto photo = randomBytes(200'000, 11);
    t.write("b.jpg", photo);
    t.write("a/z.jpg", photo);
    t.write("c d.JPG", photo);
    t.write(std::string("\xff odd.png"), randomBytes(50'000, 12));
    t.write(std::string("\xff odd2.png"), randomBytes(50'000, 12));
    t.write("unique.png", randomBytes(1234, 13));
    t.write("notes.txt", photo);

    const auto o = runTool("--exact-only --json " + quoted(t.path()));
    ASSERT_EQ(o.exitCode, 0) << o.err;
    const auto json = nlohmann::json::parse(o.out);
    EXPECT_EQ(json["totalPhotos"], 6);
    EXPECT_EQ(json["duplicateCount"], 3);
    EXPECT_EQ(json["exactReclaimableBytes"], 2 * 200'000 + 50'000);
    const auto& groups = json["groups"];
    ASSERT_EQ(groups.size(), 2u);
    // Larger group first; members by ascending path; keeper the smallest path.
    const auto& g = groups[0];
    EXPECT_EQ(g["kind"], "exact");
    ASSERT_EQ(g["members"].size(), 3u);
    EXPECT_EQ(g["members"][0]["fileURL"], (t.path() / "a/z.jpg").native());
    EXPECT_EQ(g["members"][1]["fileURL"], (t.path() / "b.jpg").native());
    EXPECT_EQ(g["members"][2]["fileURL"], (t.path() / "c d.JPG").native());
    EXPECT_EQ(g["keeperId"], g["members"][0]["id"]);
    EXPECT_EQ(g["id"], "exact:" + g["members"][0]["contentHash"].get<std::string>());
    EXPECT_EQ(g["members"][0]["fileSizeBytes"], 200'000);
    // A name that is not UTF-8 keeps its identity: the id is the digest of its raw bytes.
    const auto& odd = groups[1];
    EXPECT_EQ(odd["members"][0]["id"],
              quorlix::pathDigest((t.path() / std::string("\xff odd.png")).native()));

    const auto summary = runTool("--exact-only " + quoted(t.path()));
    EXPECT_EQ(summary.exitCode, 0);
    EXPECT_NE(summary.out.find("Photos seen:  6"), std::string::npos);
    EXPECT_NE(summary.out.find("  keep  " + (t.path() / "a/z.jpg").native()), std::string::npos);
}

TEST_F(ScanTool, ImageAnalysisIsLoadedOnlyByAWholeScan) {
    TempFolder t;
    ASSERT_TRUE(quorlix::test::save(quorlix::test::photoLike(320, 240, 5), t.path() / "a.jpg"));
    std::filesystem::copy_file(t.path() / "a.jpg", t.path() / "b.jpg");

    auto o = runTool("--json " + quoted(t.path()));
    ASSERT_EQ(o.exitCode, 0) << o.err;
    auto json = nlohmann::json::parse(o.out);
    ASSERT_EQ(json["groups"].size(), 1u);
    EXPECT_EQ(json["groups"][0]["members"][0]["pixelWidth"], 320);

    // The core alone, as where the analysis library was not installed beside it.
    Dl_info core{};
    ASSERT_NE(::dladdr(reinterpret_cast<const void*>(&quorlix::pathDigest), &core), 0);
    TempFolder lib;
    std::filesystem::copy_file(core.dli_fname,
                               lib.path() / std::filesystem::path(core.dli_fname).filename());
    const std::string coreOnly = "LD_LIBRARY_PATH=" + quoted(lib.path());

    o = runTool(quoted(t.path()), coreOnly);
    EXPECT_EQ(o.exitCode, 1);
    EXPECT_NE(o.err.find("quorlix-scan: cannot load the image analysis library, so only "
                         "--exact-only scans work.\n"),
              std::string::npos)
        << o.err;
    EXPECT_TRUE(o.out.empty());

    o = runTool("--exact-only --json " + quoted(t.path()), coreOnly);
    ASSERT_EQ(o.exitCode, 0) << o.err;
    json = nlohmann::json::parse(o.out);
    ASSERT_EQ(json["groups"].size(), 1u);
    EXPECT_TRUE(json["groups"][0]["members"][0]["pixelWidth"].is_null());
}

// A rescan answered from the cache prints exactly what a scan without it prints, after files were
// added, edited, renamed, replaced with the same size and modification time, and deleted.
TEST_F(ScanTool, CachedRescansPrintWhatColdScansPrint) {
    using namespace quorlix::test;
    TempFolder t, cacheDir;
    const auto photos = t.path() / "photos";
    std::filesystem::create_directory(photos);
    const auto base = photoLike(640, 480, 7);
    for (int i = 0; i < 4; ++i) // a burst
        ASSERT_TRUE(
            save(noisy(base, 2.0 + i, 10 + i), photos / ("burst" + std::to_string(i) + ".jpg")));
    ASSERT_TRUE(save(exposed(base, 1.6), photos / "bright.jpg"));
    ASSERT_TRUE(save(photoLike(640, 480, 8), photos / "other.jpg"));
    ASSERT_TRUE(save(screenshotLike(800, 600), photos / "screen.png"));
    std::filesystem::copy_file(photos / "burst0.jpg", photos / "copy-of-burst0.jpg");
    const std::string cache = "--cache " + quoted(cacheDir.path() / "analyses.sqlite3");
    const std::string folder = quoted(photos);

    auto compare = [&](const char* when) {
        const auto cold = runTool("--json --no-cache " + folder);
        const auto warm = runTool("--json " + cache + " " + folder);
        EXPECT_EQ(cold.exitCode, 0) << cold.err;
        EXPECT_EQ(warm.exitCode, 0) << warm.err;
        // Byte for byte, but for the one line that may differ between runs.
        const std::regex elapsed(R"([^\n]*"elapsed"[^\n]*\n?)");
        EXPECT_EQ(std::regex_replace(warm.out, elapsed, ""),
                  std::regex_replace(cold.out, elapsed, ""))
            << when;
        return cold.out;
    };
    const auto first = runTool("--json " + cache + " " + folder);
    ASSERT_EQ(first.exitCode, 0) << first.err;
    EXPECT_GT(std::filesystem::file_size(cacheDir.path() / "analyses.sqlite3"), 0u);
    const auto unchanged = compare("unchanged");
    EXPECT_NE(unchanged.find("\"near\""), std::string::npos); // the burst was grouped

    // Added, edited, renamed, deleted.
    ASSERT_TRUE(save(noisy(base, 3.5, 20), photos / "burst4.jpg"));
    ASSERT_TRUE(save(photoLike(640, 480, 9), photos / "other.jpg"));
    std::filesystem::rename(photos / "bright.jpg", photos / "renamed.jpg");
    std::filesystem::remove(photos / "burst3.jpg");
    // Replaced by other bytes of the same length, with the old modification time put back.
    const auto replaced = photos / "burst2.jpg";
    struct stat st {};
    ASSERT_EQ(::stat(replaced.c_str(), &st), 0);
    ASSERT_TRUE(save(photoLike(320, 240, 11), t.path() / "new.jpg"));
    std::string bytes = readFile(t.path() / "new.jpg");
    ASSERT_LT(bytes.size(), std::size_t(st.st_size));
    bytes.resize(std::size_t(st.st_size), '\0'); // padding after the end of the image
    t.write("photos/burst2.jpg", bytes);
    const timespec times[2] = {st.st_atim, st.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, replaced.c_str(), times, 0), 0);
    compare("changed");
}

// File names are the folder owner's to choose, so the text summary never hands their control
// characters to the terminal: escape sequences, C1 controls and stray bytes come out as \xNN.
TEST_F(ScanTool, ControlCharactersInNamesAreEscapedInTheSummary) {
    TempFolder t;
    const auto photo = randomBytes(20'000, 14);
    t.write("a\x1b[31mred.jpg", photo);
    t.write("b\x1b]0;owned\x07.jpg", photo);
    t.write("c\xc2\x9b"
            "2J\r.jpg",
            photo);
    t.write("d caf\xc3\xa9 \\x1b \xff.jpg", photo);

    const auto o = runTool("--exact-only " + quoted(t.path()));
    ASSERT_EQ(o.exitCode, 0) << o.err;
    for (const char control : {'\x1b', '\x07', '\r'})
        EXPECT_EQ(o.out.find(control), std::string::npos) << int(control);
    EXPECT_EQ(o.out.find("\xc2\x9b"), std::string::npos);
    EXPECT_NE(o.out.find("/a\\x1b[31mred.jpg\n"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("/b\\x1b]0;owned\\x07.jpg\n"), std::string::npos);
    EXPECT_NE(o.out.find("/c\\xc2\\x9b2J\\x0d.jpg\n"), std::string::npos);
    // Printable UTF-8 stays as it is; a backslash is escaped so no name can pass for another.
    EXPECT_NE(o.out.find("/d caf\xc3\xa9 \\x5cx1b \\xff.jpg\n"), std::string::npos);
}
