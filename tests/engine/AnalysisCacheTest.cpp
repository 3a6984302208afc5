#include "engine/core/AnalysisCache.h"

#include "TempFolder.h"
#include "engine/core/CachedPhotoAnalyzer.h"
#include "engine/core/ContentKeys.h"
#include "engine/core/FolderScanner.h"
#include "engine/core/HalfFloat.h"

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace quorlix;
using quorlix::test::TempFolder;

namespace {

PhotoAnalysis sampleAnalysis(float seed) {
    PhotoAnalysis a{.aesthetic = 0.1 + double(seed) / 3.0,
                    .noiseLevel = 2.0 / 3.0,
                    .isUtility = false,
                    .dateOriginal = 1.7e9 + 1.0 / 3.0,
                    .pixelWidth = 4032,
                    .pixelHeight = 3024,
                    .isDamaged = true};
    for (int i = 0; i < 513; ++i)
        a.embedding.push_back(roundToHalf(std::sin(seed + float(i)) / 7.0f)); // as stored
    a.embedding[3] = -0.0f;
    a.embedding[4] = fromHalf(1); // the smallest subnormal half
    return a;
}

QualitySignals sampleSignals() {
    return {.aesthetics01 = 0.55,
            .faceQuality = 1.0 / 3.0,
            .eyesOpen = true,
            .sharpness01 = 0.25,
            .shadowClip01 = 0.01,
            .highlightClip01 = 0.02,
            .noiseLevel = 1.5,
            .midtoneStops = -0.75};
}

bool same(const PhotoAnalysis& a, const PhotoAnalysis& b) {
    return a.embedding.size() == b.embedding.size() &&
           std::memcmp(a.embedding.data(), b.embedding.data(), a.embedding.size() * 4) == 0 &&
           a.aesthetic == b.aesthetic && a.isUtility == b.isUtility &&
           a.dateOriginal == b.dateOriginal && a.pixelWidth == b.pixelWidth &&
           a.pixelHeight == b.pixelHeight && a.noiseLevel == b.noiseLevel &&
           a.isDamaged == b.isDamaged;
}

FileIdentity identity(std::uint64_t inode, std::int64_t changed = 5) {
    return {7, inode, 1000, 4, changed};
}

// Counts what reaches the analyser behind the cache.
class CountingAnalyzer : public PhotoAnalyzer {
public:
    std::optional<PhotoAnalysis> analyze(const std::filesystem::path& file,
                                         ImageBuffer* thumbnail) const override {
        ++analyses;
        if (file.filename() == "broken.jpg")
            return std::nullopt;
        if (thumbnail)
            *thumbnail = ImageBuffer{1, 1, 3, std::vector<std::uint8_t>(3, 9)};
        return sampleAnalysis(float(std::filesystem::file_size(file)));
    }
    std::optional<QualitySignals> measure(const ImageBuffer&) const override {
        return sampleSignals();
    }
    std::optional<QualitySignals> measureFile(const PhotoRecord&) const override {
        return sampleSignals();
    }
    double score(const PhotoRecord&) const override {
        ++fileScores;
        return 42.0;
    }
    double score(const PhotoRecord&, const QualitySignals& s) const override {
        return 40.0 + s.sharpness01 * 8.0;
    }
    void prepareScoring() const override { ++prepared; }
    std::string version() const override { return "fp1+sc1"; }

    mutable std::atomic<int> analyses{0}, fileScores{0}, prepared{0};
};

// A cache file in a folder of its own, which the cache makes.
class AnalysisCacheFile : public ::testing::Test {
protected:
    // Stores the sample analysis of each inode, then closes the cache.
    void store(std::initializer_list<std::uint64_t> inodes) {
        AnalysisCache cache(file, "v1");
        for (const auto inode : inodes)
            cache.storeAnalysis(identity(inode), sampleAnalysis(float(inode)));
    }
    // Runs `sql` on the file behind the cache's back.
    void execute(const std::string& sql) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    }

    TempFolder dir;
    const std::filesystem::path file = dir.path() / "cache" / "analyses.sqlite3";
};

} // namespace

TEST_F(AnalysisCacheFile, EntriesComeBackBitForBitOnlyForTheSameFileVersionAndAnalyser) {
    {
        AnalysisCache cache(file, "v1");
        ASSERT_TRUE(cache.isOpen());
        cache.storeAnalysis(identity(1), sampleAnalysis(1));
        cache.storeSignals(identity(1), sampleSignals());
        cache.storeQuickKey(identity(1), "aa");
        cache.storeFullKey(identity(1), "bb");
    }
    {
        AnalysisCache cache(file, "v1");
        const auto a = cache.analysis(identity(1));
        ASSERT_TRUE(a);
        EXPECT_TRUE(same(*a, sampleAnalysis(1)));
        EXPECT_EQ(cache.signals(identity(1)), sampleSignals());
        EXPECT_EQ(cache.quickKey(identity(1)), "aa");
        EXPECT_EQ(cache.fullKey(identity(1)), "bb");
        // Any other version of the file misses: another change time, size, inode.
        EXPECT_FALSE(cache.analysis(identity(1, 6)));
        EXPECT_FALSE(cache.analysis(FileIdentity{7, 1, 1001, 4, 5}));
        EXPECT_FALSE(cache.analysis(identity(2)));
    }
    {
        // Another analyser keeps the content keys but none of the analysis.
        AnalysisCache cache(file, "v2");
        EXPECT_FALSE(cache.analysis(identity(1)));
        EXPECT_FALSE(cache.signals(identity(1)));
        EXPECT_EQ(cache.fullKey(identity(1)), "bb");
    }
    EXPECT_GT(AnalysisCache::sizeOnDisk(file), 0);
    EXPECT_TRUE(AnalysisCache::forget(file));
    EXPECT_EQ(AnalysisCache::sizeOnDisk(file), 0);
}

// The test environment points XDG_CACHE_HOME at a folder of its own.
TEST(AnalysisCache, DefaultPathFollowsXdgCacheHome) {
    EXPECT_EQ(AnalysisCache::defaultPath(),
              std::filesystem::path(std::getenv("XDG_CACHE_HOME")) / "quorlix/analyses.sqlite3");
}

TEST_F(AnalysisCacheFile, DamagedFilesAreSetAsideAndDamagedEntriesMiss) {
    dir.write("cache/analyses.sqlite3", std::string(8192, 'x'));
    {
        AnalysisCache cache(file, "v1");
        ASSERT_TRUE(cache.isOpen());
        EXPECT_FALSE(cache.analysis(identity(1)));
        cache.storeAnalysis(identity(1), sampleAnalysis(1));
        cache.storeAnalysis(identity(2), sampleAnalysis(2));
    }
    EXPECT_TRUE(std::filesystem::exists(file.native() + ".damaged"));

    // One entry's bytes flipped behind SQLite's back: that entry misses, the other still hits.
    execute("UPDATE entries SET payload = CAST(substr(payload, 1, 100) || 'z' || "
            "substr(payload, 102) AS BLOB) WHERE inode = 1");
    AnalysisCache cache(file, "v1");
    EXPECT_FALSE(cache.analysis(identity(1)));
    EXPECT_TRUE(cache.analysis(identity(2)));
}

TEST_F(AnalysisCacheFile, LockedOrUnwritableCachesAreBypassed) {
    store({1});
    {
        // Another process holds the file exclusively: this one waits briefly, then does without.
        sqlite3* holder = nullptr;
        ASSERT_EQ(sqlite3_open(file.c_str(), &holder), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(holder, "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE", nullptr,
                               nullptr, nullptr),
                  SQLITE_OK);
        AnalysisCache cache(file, "v1");
        EXPECT_FALSE(cache.analysis(identity(1)));
        cache.storeAnalysis(identity(3), sampleAnalysis(3));
        cache.flush();
        sqlite3_exec(holder, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(holder);
    }
    EXPECT_TRUE(std::filesystem::exists(file));
    EXPECT_FALSE(std::filesystem::exists(file.native() + ".damaged"));
    if (::geteuid() != 0) {
        const auto closed = dir.path() / "closed";
        std::filesystem::create_directory(closed);
        ::chmod(closed.c_str(), 0500);
        AnalysisCache cache(closed / "analyses.sqlite3", "v1");
        EXPECT_FALSE(cache.isOpen());
        cache.storeAnalysis(identity(1), sampleAnalysis(1));
        EXPECT_FALSE(cache.analysis(identity(1)));
        ::chmod(closed.c_str(), 0700);
    }
    // A path that cannot be a file at all.
    AnalysisCache cache(dir.path(), "v1");
    EXPECT_FALSE(cache.isOpen());
}

TEST_F(AnalysisCacheFile, TwoWritersAtOnceLoseNothingTheyFlushed) {
    auto writer = [&](std::uint64_t base) {
        AnalysisCache cache(file, "v1");
        for (std::uint64_t i = 0; i < 1500; ++i)
            cache.storeAnalysis(identity(base + i), sampleAnalysis(float(i)));
    };
    { std::jthread a(writer, 0), b(writer, 100000); }
    AnalysisCache cache(file, "v1");
    int found = 0;
    for (std::uint64_t i = 0; i < 1500; ++i)
        found += cache.analysis(identity(i)).has_value() +
                 cache.analysis(identity(100000 + i)).has_value();
    EXPECT_EQ(found, 3000);
}

TEST_F(AnalysisCacheFile, EntriesNotSeenForLongArePruned) {
    store({1, 2});
    execute("UPDATE entries SET seen = seen - " +
            std::to_string(AnalysisCache::pruneAfterDays + 1) + " WHERE inode = 1");
    AnalysisCache cache(file, "v1");
    EXPECT_FALSE(cache.analysis(identity(1)));
    EXPECT_TRUE(cache.analysis(identity(2)));
}

TEST(CachedPhotoAnalyzer, AnswersUnchangedFilesFromTheCacheAndRereadsChangedOnes) {
    TempFolder dir;
    const auto photo = dir.write("a.jpg", "12345");
    const auto broken = dir.write("broken.jpg", "1");
    const auto file = dir.path() / "cache" / "analyses.sqlite3";
    auto inner = std::make_shared<CountingAnalyzer>();
    const auto cachedAnalyzer = [&] {
        return CachedPhotoAnalyzer(inner, std::make_shared<AnalysisCache>(file, inner->version()));
    };
    const PhotoRecord record{.fileURL = photo.native(), .identity = FileIdentity::ofPath(photo)};

    double cold = 0;
    {
        auto cached = cachedAnalyzer();
        cached.prepareScoring();
        EXPECT_EQ(inner->prepared, 0); // nothing analysed yet
        ImageBuffer thumbnail;
        ASSERT_TRUE(cached.analyze(photo, &thumbnail));
        EXPECT_EQ(inner->prepared, 1);
        EXPECT_FALSE(thumbnail.empty());
        EXPECT_FALSE(cached.analyze(broken));
        cold = cached.score(record); // measured from the file, and kept
        EXPECT_EQ(inner->fileScores, 0);
    }
    inner->analyses = 0;
    inner->prepared = 0;
    {
        auto cached = cachedAnalyzer();
        cached.prepareScoring();
        const auto a = cached.analyze(photo);
        ASSERT_TRUE(a);
        EXPECT_TRUE(same(*a, sampleAnalysis(5)));
        EXPECT_EQ(cached.score(record), cold);
        EXPECT_EQ(inner->analyses, 0);
        EXPECT_EQ(inner->prepared, 0);        // a rescan of cached photos never loads the models
        EXPECT_FALSE(cached.analyze(broken)); // failures are not remembered
        EXPECT_EQ(inner->analyses, 1);
    }
    // Same size, same modification time, new bytes: the change time tells.
    inner->analyses = 0;
    struct stat st {};
    ::stat(photo.c_str(), &st);
    dir.write("a.jpg", "54321");
    const timespec times[2] = {st.st_atim, st.st_mtim};
    ::utimensat(AT_FDCWD, photo.c_str(), times, 0);
    EXPECT_TRUE(cachedAnalyzer().analyze(photo));
    EXPECT_EQ(inner->analyses, 1);
}

TEST(ContentKeys, RememberedDigestsGiveTheKeysReadingGives) {
    TempFolder dir;
    const std::string a = test::randomBytes(300000, 1);
    std::string b = a;
    b[150000] ^= 1; // same size, same ends: a tie broken only by a full read
    dir.write("a.jpg", a);
    dir.write("a-copy.jpg", a);
    dir.write("b.jpg", b);
    dir.write("c.jpg", test::randomBytes(300000, 2));
    dir.write("d.jpg", test::randomBytes(1234, 3));
    const auto candidates = FolderScanner::enumerate(dir.path());
    const auto plain = contentKeys(candidates, std::int64_t(candidates.size()), {});

    const auto file = dir.path() / "cache" / "analyses.sqlite3";
    {
        AnalysisCache cache(file, "v1");
        EXPECT_EQ(contentKeys(candidates, std::int64_t(candidates.size()), {}, 2, &cache), plain);
    }
    // Gone now, yet settled from what was remembered: nothing was read.
    for (const auto& c : candidates)
        std::filesystem::remove(c.url);
    AnalysisCache cache(file, "v1");
    EXPECT_EQ(contentKeys(candidates, std::int64_t(candidates.size()), {}, 2, &cache), plain);
}
