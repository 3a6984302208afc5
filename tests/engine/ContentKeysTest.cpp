#include "engine/core/ContentKeys.h"

#include "TempFolder.h"
#include "engine/core/ScanCancelled.h"
#include "engine/core/Sha256.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

using namespace quorlix;
using quorlix::test::randomBytes;
using quorlix::test::TempFolder;

namespace {

FolderScanner::Candidate candidate(const std::filesystem::path& p) {
    return {p, std::int64_t(std::filesystem::file_size(p)), FileIdentity::ofPath(p).value()};
}

std::string sha(std::string_view bytes) {
    return hexString(Sha256::of(bytes));
}

struct Hashed {
    ContentKeyMap keys;
    std::vector<ScanProgress> reports;
};

Hashed run(const std::vector<FolderScanner::Candidate>& cs, int threads = 2) {
    Hashed r;
    r.keys = contentKeys(cs, std::int64_t(cs.size()),
                         ScanContext({}, [&](const ScanProgress& p) { r.reports.push_back(p); }),
                         threads);
    return r;
}

} // namespace

TEST(ContentKeys, PathDigestIsTheSha256OfTheRawBytes) {
    EXPECT_EQ(pathDigest(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(pathDigest("abc"),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    // Not re-encoded: a name that is not UTF-8 still has a digest of its own.
    EXPECT_NE(pathDigest("/p/\xff.jpg"), pathDigest("/p/\xef\xbf\xbd.jpg"));
}

TEST(ContentKeys, UniqueSizesAreSettledWithoutReading) {
    TempFolder t;
    std::vector<FolderScanner::Candidate> cs{candidate(t.write("a.jpg", "1")),
                                             candidate(t.write("b.jpg", "22")),
                                             candidate(t.write("c.jpg", "333"))};
    // Gone before hashing: proves a unique size never opens the file.
    std::filesystem::remove(cs[2].url);
    const auto r = run(cs);
    ASSERT_EQ(r.keys.size(), 3u);
    EXPECT_EQ(r.keys.at(cs[0].url), "size:1:" + pathDigest(cs[0].url.native()));
    EXPECT_EQ(r.keys.at(cs[2].url), "size:3:" + pathDigest(cs[2].url.native()));
    EXPECT_TRUE(r.reports.empty());
}

// Gone, grown, or swapped after enumeration for a file of the same size whose sampled ends match
// its copies', or for a FIFO, which an open would wait on for ever: none keeps a key its copies
// share, and the copies left intact still share theirs.
TEST(ContentKeys, FileChangedAfterEnumerationIsNeverGroupedWithItsFormerCopies) {
    TempFolder t;
    const auto bytes = randomBytes(400'000, 31);
    auto middleChanged = bytes;
    middleChanged[200'000] ^= 0x10;
    std::vector<FolderScanner::Candidate> cs;
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg", "f.jpg", "g.jpg"})
        cs.push_back(candidate(t.write(name, bytes)));
    const auto swapped = t.write("swap.tmp", bytes); // the very same bytes, in a new file
    std::filesystem::rename(swapped, cs[1].url);
    const auto edited = t.write("edit.tmp", middleChanged);
    std::filesystem::rename(edited, cs[2].url);
    std::filesystem::remove(cs[3].url);
    ASSERT_EQ(::mkfifo(cs[3].url.c_str(), 0644), 0);
    std::filesystem::remove(cs[4].url); // vanished
    t.write("f.jpg", bytes + "x");      // grew
    const auto r = run(cs);
    EXPECT_EQ(r.keys.at(cs[0].url), "sha:" + sha(bytes));
    for (std::size_t i = 1; i < 6; ++i)
        EXPECT_EQ(r.keys.at(cs[i].url), "quick:err:" + pathDigest(cs[i].url.native())) << i;
    EXPECT_EQ(r.keys.at(cs[6].url), r.keys.at(cs[0].url));
}

TEST(ContentKeys, UnreadableFilesGetKeysOfTheirOwn) {
    TempFolder t;
    std::vector<FolderScanner::Candidate> cs{
        candidate(t.write("a.jpg", "same")), candidate(t.write("b.jpg", "same")),
        candidate(t.write("c.jpg", "same")), candidate(t.write("lonely.jpg", "unique size"))};
    for (const auto& c : cs)
        ::chmod(c.url.c_str(), 0);
    ::chmod(t.path().c_str(), 0755);
    Hashed r;
    if (!test::asOrdinaryUser([&] { r = run(cs); }))
        GTEST_SKIP() << "cannot drop privileges";
    std::set<std::string> distinct;
    for (const auto& c : cs)
        distinct.insert(r.keys.at(c.url));
    EXPECT_EQ(distinct.size(), 4u);
    EXPECT_EQ(r.keys.at(cs[0].url), "quick:err:" + pathDigest(cs[0].url.native()));
    EXPECT_EQ(r.keys.at(cs[3].url), "size:11:" + pathDigest(cs[3].url.native()));
}

TEST(ContentKeys, FullKeyRefusesPartialReads) {
    TempFolder t;
    const auto file = t.write("f.jpg", "hello");
    int fd = ::open(file.c_str(), O_RDONLY);
    EXPECT_EQ(fullKey(fd, 5), sha("hello"));
    EXPECT_EQ(fullKey(fd, 6), std::nullopt); // shorter than enumerated
    ::close(fd);
    // A read that fails part-way must not yield a digest of the bytes read so far.
    fd = ::open(t.path().c_str(), O_RDONLY | O_DIRECTORY);
    EXPECT_EQ(fullKey(fd, 0), std::nullopt);
    ::close(fd);
}

// Files that tie on size (and mostly on both sampled ends) share a key exactly when their bytes
// are identical, wherever they depart; each settled size is reported, counts strictly rising.
TEST(ContentKeys, OnlyIdenticalBytesShareAKeyWhereverTheyDepart) {
    TempFolder t;
    std::vector<FolderScanner::Candidate> cs;
    std::vector<std::string> expected;
    const auto add = [&](const std::string& bytes) {
        cs.push_back(candidate(t.write("f" + std::to_string(cs.size()) + ".jpg", bytes)));
        expected.push_back("sha:" + sha(bytes));
    };
    const auto flipped = [](std::string bytes, std::size_t at) {
        bytes[at] ^= 0x40;
        return bytes;
    };
    // Early, late, around block edges, and copies of a content not the first in its tie.
    const auto base = randomBytes(600'000, 21);
    for (const std::size_t at : {0, 0, 300'000, 131'071, 131'072, 300'000, 65'536, 0, 534'463})
        add(at ? flipped(base, at) : base);
    // More copies of one photo than are read side by side at once.
    const auto many = randomBytes(300'000, 22);
    for (int i = 0; i < 19; ++i)
        add(many);
    // Too small for a tail sample, departing past the head sample.
    const auto small = randomBytes(100'000, 3);
    add(small);
    add(flipped(small, 90'000));
    // Copies whose length is a whole number of read blocks end on an empty read; empty copies.
    const auto even = randomBytes(1 << 18, 23);
    add(even);
    add(even);
    add("");
    add("");
    // One file in each size whose head no other file shares: the quick key settles it.
    for (const auto& bytes : {flipped(base, 5), flipped(many, 5)}) {
        add(bytes);
        expected.back() = "quick:" + quickKey(cs.back()).value();
    }
    // Appended to after enumeration, far past its enumerated size: its sampled ends still match.
    add(many);
    expected.back() = "quick:err:" + pathDigest(cs.back().url.native());
    t.write(cs.back().url.filename(), many + std::string(3'000'000, 'x'));

    for (const int threads : {1, 2}) {
        const auto r = run(cs, threads);
        for (std::size_t i = 0; i < cs.size(); ++i)
            EXPECT_EQ(r.keys.at(cs[i].url), expected[i]) << threads << " threads, file " << i;
        ASSERT_FALSE(r.reports.empty());
        for (std::size_t i = 0; i < r.reports.size(); ++i) {
            EXPECT_EQ(r.reports[i].phase, ScanProgress::Phase::hashing);
            EXPECT_EQ(r.reports[i].total, std::int64_t(cs.size()));
            if (i > 0) {
                EXPECT_GT(r.reports[i].current, r.reports[i - 1].current);
            }
        }
        EXPECT_EQ(r.reports.back().current, std::int64_t(cs.size()));
    }
}

// A stop is seen between two blocks of one file: two identical 1 TiB files (sparse, so they cost
// no disk) would take far longer than any test run to digest. The stop comes from the report of a
// small size settled on the other thread while the large pair is being read.
TEST(ContentKeys, StopEndsTheReadOfAHugeFile) {
    TempFolder t;
    std::vector<FolderScanner::Candidate> cs;
    for (const char* name : {"huge1.jpg", "huge2.jpg"}) {
        const auto path = t.write(name, "");
        std::filesystem::resize_file(path, std::uintmax_t(1) << 40);
        cs.push_back(candidate(path));
    }
    cs.push_back(candidate(t.write("a.jpg", "small a")));
    cs.push_back(candidate(t.write("b.jpg", "small b")));
    std::stop_source stop;
    const ScanContext context(stop.get_token(), [&](const ScanProgress&) { stop.request_stop(); });
    EXPECT_THROW(contentKeys(cs, std::int64_t(cs.size()), context, 2), ScanCancelled);
}
