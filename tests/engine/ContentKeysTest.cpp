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

struct Run {
    ContentKeyMap keys;
    std::vector<ScanProgress> reports;
};

Run run(const std::vector<FolderScanner::Candidate>& cs, int threads = 2) {
    Run r;
    r.keys = contentKeys(cs, std::int64_t(cs.size()),
                         ScanContext({}, [&](const ScanProgress& p) { r.reports.push_back(p); }),
                         threads);
    return r;
}

bool startsWith(const std::string& s, std::string_view prefix) {
    return s.rfind(prefix, 0) == 0;
}

} // namespace

TEST(ContentKeys, HexAndPathDigest) {
    Sha256Digest d{};
    d[0] = 10;
    d[31] = 0xff;
    const auto hex = hexString(d);
    EXPECT_EQ(hex.size(), 64u);
    EXPECT_EQ(hex.substr(0, 2), "0a");
    EXPECT_EQ(hex.substr(62), "ff");
    EXPECT_EQ(pathDigest(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(pathDigest("abc"),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    // Raw bytes, not re-encoded: a name that is not UTF-8 still has a digest of its own.
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

TEST(ContentKeys, OnlyIdenticalBytesShareAKey) {
    TempFolder t;
    const auto big = randomBytes(5'000'000, 1);
    auto mid = randomBytes(200'000, 2);
    auto midOther = mid;
    midOther[100'000] ^= 1; // outside both sampled ends
    auto small = randomBytes(100'000, 3);
    auto smallOther = small;
    smallOther[90'000] ^= 1; // past the head chunk, and files this small have no tail chunk
    auto head = randomBytes(300'000, 4);
    auto headOther = head;
    headOther[10] ^= 1;

    std::vector<FolderScanner::Candidate> cs{
        candidate(t.write("big1.jpg", big)),      candidate(t.write("sub/big2.jpg", big)),
        candidate(t.write("mid1.png", mid)),      candidate(t.write("mid2.png", midOther)),
        candidate(t.write("small1.png", small)),  candidate(t.write("small2.png", smallOther)),
        candidate(t.write("head1.tif", head)),    candidate(t.write("head2.tif", headOther)),
        candidate(t.write("empty1.jpg", "")),     candidate(t.write("empty2.jpg", "")),
        candidate(t.write("big3 copy.jpg", big)), candidate(t.write("mid3.png", midOther))};
    const auto r = run(cs);
    const auto key = [&](int i) {
        return r.keys.at(cs[std::size_t(i)].url);
    };

    EXPECT_EQ(key(0), "sha:" + sha(big));
    EXPECT_EQ(key(1), key(0));
    EXPECT_EQ(key(10), key(0));
    EXPECT_EQ(key(2), "sha:" + sha(mid));
    EXPECT_EQ(key(3), "sha:" + sha(midOther));
    EXPECT_EQ(key(11), key(3)); // a copy of the second content in its tie
    EXPECT_EQ(key(4), "sha:" + sha(small));
    EXPECT_EQ(key(5), "sha:" + sha(smallOther));
    // Differences inside the head are settled by the quick key alone.
    EXPECT_TRUE(startsWith(key(6), "quick:"));
    EXPECT_TRUE(startsWith(key(7), "quick:"));
    EXPECT_NE(key(6), key(7));
    EXPECT_EQ(key(8), "sha:" + sha(""));
    EXPECT_EQ(key(9), key(8));

    // Reports strictly increase and count every file of each shared size.
    ASSERT_FALSE(r.reports.empty());
    for (std::size_t i = 0; i < r.reports.size(); ++i) {
        EXPECT_EQ(r.reports[i].phase, ScanProgress::Phase::hashing);
        EXPECT_EQ(r.reports[i].total, 12);
        if (i > 0) {
            EXPECT_GT(r.reports[i].current, r.reports[i - 1].current);
        }
    }
    EXPECT_EQ(r.reports.back().current, 12);
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
    const bool dropped = ::geteuid() == 0 && ::seteuid(65534) == 0;
    const auto r = run(cs);
    if (dropped) {
        ASSERT_EQ(::seteuid(0), 0);
    }
    if (::geteuid() == 0 && !dropped)
        GTEST_SKIP() << "cannot drop privileges";
    std::set<std::string> distinct;
    for (const auto& c : cs)
        distinct.insert(r.keys.at(c.url));
    EXPECT_EQ(distinct.size(), 4u);
    EXPECT_EQ(r.keys.at(cs[0].url), "quick:err:" + pathDigest(cs[0].url.native()));
    EXPECT_TRUE(startsWith(r.keys.at(cs[3].url), "size:11:"));
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

TEST(ContentKeys, TiedFilesPartWhereverTheyDepart) {
    TempFolder t;
    const auto base = randomBytes(600'000, 21);
    auto departs = [&](std::size_t at) {
        auto b = base;
        b[at] ^= 0x40;
        return b;
    };
    // All tie on size and both sampled ends; they differ early, late, or around block edges.
    const std::vector<std::string> contents{base,
                                            base,
                                            departs(300'000),
                                            departs(131'071),
                                            departs(131'072),
                                            departs(300'000),
                                            departs(65'536),
                                            base,
                                            departs(534'463)};
    std::vector<FolderScanner::Candidate> cs;
    for (std::size_t i = 0; i < contents.size(); ++i)
        cs.push_back(candidate(t.write("t" + std::to_string(i) + ".jpg", contents[i])));
    // More copies of one photo than are read side by side at once.
    const auto many = randomBytes(300'000, 22);
    for (int i = 0; i < 19; ++i)
        cs.push_back(candidate(t.write("many/" + std::to_string(i) + ".jpg", many)));
    // Appended to after enumeration, far past its enumerated size: its sampled ends still match.
    const auto grown = t.write("grown.jpg", many);
    cs.push_back(candidate(grown));
    t.write("grown.jpg", many + std::string(3'000'000, 'x'));
    // One file in each size whose head no other file shares.
    auto otherHead = base;
    otherHead[5] ^= 1;
    auto otherManyHead = many;
    otherManyHead[5] ^= 1;
    const auto loners = {candidate(t.write("loner1.jpg", otherHead)),
                         candidate(t.write("loner2.jpg", otherManyHead))};
    cs.insert(cs.end(), loners);
    // Copies whose length is a whole number of read blocks end on an empty read.
    const auto even = randomBytes(1 << 18, 23);
    const auto evens = {candidate(t.write("even1.jpg", even)),
                        candidate(t.write("even2.jpg", even))};
    cs.insert(cs.end(), evens);

    for (const int threads : {1, 2}) {
        const auto r = run(cs, threads);
        for (std::size_t i = 0; i < contents.size(); ++i)
            EXPECT_EQ(r.keys.at(cs[i].url), "sha:" + sha(contents[i])) << i;
        for (std::size_t i = contents.size(); i < contents.size() + 19; ++i)
            EXPECT_EQ(r.keys.at(cs[i].url), "sha:" + sha(many)) << i;
        EXPECT_EQ(r.keys.at(grown), "quick:err:" + pathDigest(grown.native()));
        for (const auto& c : loners)
            EXPECT_EQ(r.keys.at(c.url), "quick:" + quickKey(c).value());
        for (const auto& c : evens)
            EXPECT_EQ(r.keys.at(c.url), "sha:" + sha(even));
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
