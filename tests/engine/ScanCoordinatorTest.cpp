#include "engine/core/ScanCoordinator.h"

#include "TempFolder.h"
#include "TestImages.h"
#include "engine/core/ContentKeys.h"
#include "engine/core/QuorlixFeature.h"
#include "engine/core/ScanCancelled.h"

#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <fstream>
#include <future>
#include <gtest/gtest.h>
#include <mutex>
#include <sys/stat.h>
#include <thread>

using namespace quorlix;
using quorlix::test::TempFolder;
using Phase = ScanProgress::Phase;

namespace {

// Photos here are text files "<scene> <time> <score>"; the fake analyser reads them back, so a
// scan can be driven without decoding: equal scenes are look-alikes, "-" means undated, a score
// of "x" makes the scorer fail, and one of "~s" makes it fail for a photo whose aesthetics say s.
struct FakePhoto {
    std::string scene, time, score;
    std::string salt; // "damaged" makes the fake analyser report the photo as repaired
};

std::string fake(const std::string& scene, const std::string& time, const std::string& score,
                 const std::string& salt = "") {
    return scene + " " + time + " " + score + " " + salt;
}

FakePhoto parse(const std::filesystem::path& path) {
    std::ifstream in(path);
    FakePhoto p;
    in >> p.scene >> p.time >> p.score >> p.salt;
    return p;
}

// An analyser whose every step can be replaced; unset steps behave as the fake photos say.
struct FakeAnalyzer : PhotoAnalyzer {
    std::function<std::optional<PhotoAnalysis>(const std::filesystem::path&, ImageBuffer*)>
        onAnalyze;
    std::function<std::optional<QualitySignals>(const ImageBuffer&)> onMeasure;
    std::function<double(const PhotoRecord&)> onScore;
    std::function<double(const PhotoRecord&, const QualitySignals&)> onScoreMeasured;
    std::function<void()> onPrepare;

    std::optional<PhotoAnalysis> analyze(const std::filesystem::path& file,
                                         ImageBuffer* thumbnail) const override {
        return onAnalyze(file, thumbnail);
    }
    std::optional<QualitySignals> measure(const ImageBuffer& image) const override {
        return onMeasure ? onMeasure(image) : std::nullopt;
    }
    double score(const PhotoRecord& record) const override { return onScore(record); }
    double score(const PhotoRecord& record, const QualitySignals& signals) const override {
        return onScoreMeasured ? onScoreMeasured(record, signals) : score(record);
    }
    void prepareScoring() const override {
        if (onPrepare)
            onPrepare();
    }
};

struct Harness {
    std::vector<ScanProgress> reports;
    std::atomic<int> analyses{0};
    std::mutex mutex;
    std::function<void()> onAnalyze;

    std::shared_ptr<FakeAnalyzer> analyzer() {
        auto s = std::make_shared<FakeAnalyzer>();
        s->onAnalyze = [this](const std::filesystem::path& path,
                              ImageBuffer*) -> std::optional<PhotoAnalysis> {
            ++analyses;
            if (onAnalyze)
                onAnalyze();
            const auto p = parse(path);
            if (p.scene.empty() || p.scene == "broken")
                return std::nullopt;
            PhotoAnalysis a;
            a.embedding.assign(8, 0.0f);
            a.embedding[std::hash<std::string>{}(p.scene) % 8] = 1.0f;
            if (p.time != "-")
                a.dateOriginal = std::stod(p.time);
            if (p.score != "x" && p.score != "-")
                a.aesthetic = std::stod(p.score.substr(p.score[0] == '~')) / 50.0 - 1.0;
            a.isDamaged = p.salt == "damaged";
            return a;
        };
        s->onScore = [](const PhotoRecord& r) -> double {
            const auto p = parse(r.fileURL);
            if (p.score == "x" || p.score == "-" || p.score[0] == '~')
                throw std::runtime_error("undecodable");
            return std::stod(p.score);
        };
        return s;
    }

    ScanResult scan(const std::filesystem::path& folder) {
        return ScanCoordinator(analyzer()).scan(folder, [this](const ScanProgress& p) {
            std::lock_guard lock(mutex);
            reports.push_back(p);
        });
    }
};

std::string idOf(const std::filesystem::path& p) {
    return pathDigest(p.native());
}

} // namespace

TEST(ScanCoordinator, EmptyAndMissingFoldersReportEveryPhase) {
    TempFolder t;
    for (const auto& folder : {t.path(), t.path() / "missing"}) {
        Harness h;
        const auto result = h.scan(folder);
        EXPECT_EQ(result.totalPhotos, 0);
        EXPECT_TRUE(result.groups.empty());
        EXPECT_EQ(h.reports, (std::vector<ScanProgress>{{Phase::enumerating, 0, 0},
                                                        {Phase::hashing, 0, 0},
                                                        {Phase::analyzing, 0, 0},
                                                        {Phase::grouping, 0, 0},
                                                        {Phase::scoring, 0, 0}}));
    }
}

TEST(ScanCoordinator, CopiesBurstsAndKeepers) {
    TempFolder t;
    const auto a = t.write("a.jpg", fake("beach", "1000", "60"));
    const auto a2 = t.write("z/a2.jpg", fake("beach", "1000", "60"));
    const auto a3 = t.write("b/a3.jpg", fake("beach", "1000", "60"));
    const auto b = t.write("b.jpg", fake("beach", "1100", "80"));
    t.write("c.jpg", fake("beach", "9000", "99")); // same scene, hours later
    const auto d = t.write("d.jpg", fake("dog", "-", "~66.65"));
    const auto e = t.write("e.jpg", fake("dog", "-", "x", "other bytes"));
    t.write("junk.jpg", "broken");
    t.write("junk2.jpg", "broken 2");
    Harness h;
    const auto result = h.scan(t.path());

    EXPECT_EQ(result.totalPhotos, 9);
    EXPECT_EQ(h.analyses, 7); // one per distinct content
    ASSERT_EQ(result.groups.size(), 3u);
    const auto& exact = result.groups[0];
    EXPECT_EQ(exact.kind, ScanResult::Kind::exact);
    ASSERT_EQ(exact.members.size(), 3u);
    EXPECT_EQ(exact.members[0].fileURL, a.native());
    EXPECT_EQ(exact.members[1].fileURL, a3.native());
    EXPECT_EQ(exact.members[2].fileURL, a2.native());
    EXPECT_EQ(exact.keeperId, idOf(a));
    EXPECT_TRUE(exact.bestShotScores.empty());
    EXPECT_FALSE(exact.isBestShotUnlocked);
    // Copies share the representative's analysis.
    EXPECT_EQ(exact.members[2].dateOriginal, 1000.0);
    EXPECT_EQ(exact.members[2].embeddingBlob, exact.members[0].embeddingBlob);

    // Near groups: dated first; only the representative of the copies takes part.
    const auto& burst = result.groups[1];
    EXPECT_EQ(burst.id, "near:0");
    ASSERT_EQ(burst.members.size(), 2u);
    EXPECT_EQ(burst.members[0].fileURL, a.native());
    EXPECT_EQ(burst.members[1].fileURL, b.native());
    EXPECT_EQ(burst.keeperId, idOf(b));
    EXPECT_EQ(burst.autoKeeperId, idOf(b));
    EXPECT_EQ(burst.bestShotScores.at(idOf(a)), 60.0);
    EXPECT_TRUE(burst.isBestShotUnlocked);

    const auto& dogs = result.groups[2];
    EXPECT_EQ(dogs.id, "near:1");
    // Neither can be scored: e has no aesthetics either and gets 50, d's aesthetics of 0.333
    // give 66.65, rounded to 67.
    EXPECT_EQ(dogs.bestShotScores.at(idOf(e)), 50.0);
    EXPECT_EQ(dogs.bestShotScores.at(idOf(d)), 67.0);
    EXPECT_EQ(dogs.keeperId, idOf(d));

    // The report sequence: every phase in order, hashing and analysing counting up.
    ASSERT_GE(h.reports.size(), 5u);
    EXPECT_EQ(h.reports[0], (ScanProgress{Phase::enumerating, 0, 0}));
    EXPECT_EQ(h.reports[1], (ScanProgress{Phase::hashing, 0, 9}));
    std::vector<ScanProgress> analysing;
    for (const auto& p : h.reports)
        if (p.phase == Phase::analyzing)
            analysing.push_back(p);
    ASSERT_EQ(analysing.size(), 8u);
    for (std::int64_t i = 0; i < 8; ++i)
        EXPECT_EQ(analysing[std::size_t(i)], (ScanProgress{Phase::analyzing, i, 7}));
    EXPECT_EQ(h.reports[h.reports.size() - 2], (ScanProgress{Phase::grouping, 0, 7}));
    EXPECT_EQ(h.reports.back(), (ScanProgress{Phase::scoring, 0, 7}));
}

// With an analyser that hands the analysis thumbnail on, look-alikes are scored from the signals
// measured during the analyses, and the result is the one the plain analyser gives.
TEST(ScanCoordinator, ScoringReusesTheAnalysisDecode) {
    TempFolder t;
    const char* scores[] = {"10", "x", "30", "20", "100", "100", "70"};
    for (int i = 0; i < 7; ++i)
        t.write("burst/p" + std::to_string(i) + ".jpg",
                fake("cat", std::to_string(100 + i), scores[i]));
    t.write("pair/a.jpg", fake("dog", "-", "40"));
    t.write("pair/b.jpg", fake("dog", "-", "-"));
    t.write("single.jpg", fake("tree", "5", "90"));

    Harness plain;
    const auto expected = plain.scan(t.path());

    Harness h;
    auto analyzer = h.analyzer();
    std::atomic<int> prepared{0}, measured{0}, reused{0};
    analyzer->onPrepare = [&] {
        ++prepared;
    };
    // The fake thumbnail carries the photo's score in its pixels; unscorable photos have none.
    analyzer->onAnalyze = [&, analyze = analyzer->onAnalyze](const std::filesystem::path& path,
                                                             ImageBuffer* thumbnail) {
        const auto p = parse(path);
        if (thumbnail && p.score != "x" && p.score != "-") {
            thumbnail->width = thumbnail->height = 2;
            thumbnail->pixels.assign(12, std::uint8_t(std::stoi(p.score)));
        }
        return analyze(path, thumbnail);
    };
    analyzer->onMeasure = [&](const ImageBuffer& gray) -> std::optional<QualitySignals> {
        ++measured;
        return QualitySignals{.sharpness01 = double(gray.pixels.at(0))};
    };
    analyzer->onScoreMeasured = [&](const PhotoRecord&, const QualitySignals& s) {
        ++reused;
        return s.sharpness01;
    };
    const auto result = ScanCoordinator(analyzer).scan(t.path(), {});

    EXPECT_EQ(prepared, 1);
    EXPECT_EQ(measured, 6); // the scorable cats; the lone tree and the unscorable are not
    EXPECT_EQ(reused, 4);   // only the first five cats are scored, one of them unscorable
    ASSERT_EQ(expected.groups.size(), 2u);
    ASSERT_EQ(expected.groups[0].members.size(), 7u);
    EXPECT_EQ(expected.groups[0].bestShotScores.size(), 5u);
    EXPECT_FALSE(expected.groups[0].bestShotScores.count(expected.groups[0].members[5].id));
    ASSERT_EQ(result.groups.size(), expected.groups.size());
    for (std::size_t i = 0; i < result.groups.size(); ++i) {
        EXPECT_EQ(result.groups[i].id, expected.groups[i].id);
        EXPECT_EQ(result.groups[i].bestShotScores, expected.groups[i].bestShotScores);
        EXPECT_EQ(result.groups[i].keeperId, expected.groups[i].keeperId);
    }
    // What the cats were scored from stays with their group; the unscorable one has nothing.
    EXPECT_EQ(result.groups[0].qualitySignals.size(), 4u);
    EXPECT_EQ(result.groups[0].qualitySignals.at(idOf(t.path() / "burst/p4.jpg")).sharpness01, 100);

    // Nothing is prepared for a scan that cannot score.
    ScanCoordinator(analyzer).scan(t.path(), {}, {}, {.exactOnly = true});
    TempFolder lone;
    lone.write("one.jpg", fake("sun", "1", "50"));
    ScanCoordinator(analyzer).scan(lone.path(), {});
    EXPECT_EQ(prepared, 1);
}

// A look-alike the decoder had to repair is never kept over an intact one, however it scores;
// among damaged photos alone the score still decides.
TEST(ScanCoordinator, DamagedFileIsNotKeptOverAnIntactLookAlike) {
    TempFolder t;
    const auto repaired = t.write("a.jpg", fake("gif", "1000", "95", "damaged"));
    const auto intact = t.write("b.jpg", fake("gif", "1001", "40"));
    t.write("c.jpg", fake("cat", "2000", "50", "damaged"));
    const auto better = t.write("d.jpg", fake("cat", "2001", "70", "damaged"));
    Harness h;
    const auto result = h.scan(t.path());
    ASSERT_EQ(result.groups.size(), 2u);
    for (const auto& g : result.groups) {
        ASSERT_EQ(g.kind, ScanResult::Kind::near);
        if (g.members.front().fileURL == repaired.native() ||
            g.members.front().fileURL == intact.native()) {
            EXPECT_EQ(g.keeperId, idOf(intact));
            EXPECT_EQ(g.bestShotScores.at(idOf(repaired)), 95.0);
            for (const auto& m : g.members)
                EXPECT_EQ(m.isDamaged, m.fileURL == repaired.native());
        } else {
            EXPECT_EQ(g.keeperId, idOf(better));
        }
    }
}

namespace {

// The scan's result, or a failed test and the end of the process when it has not returned
// within a minute: an open that blocks never returns.
ScanResult returnsWithinAMinute(const std::function<ScanResult()>& run) {
    auto promise = std::make_shared<std::promise<ScanResult>>();
    auto future = promise->get_future();
    std::thread([promise, run] {
        try {
            promise->set_value(run());
        } catch (...) {
            promise->set_exception(std::current_exception());
        }
    }).detach();
    if (future.wait_for(std::chrono::seconds(60)) != std::future_status::ready) {
        ADD_FAILURE() << "the scan blocked";
        std::_Exit(1);
    }
    return future.get();
}

} // namespace

// Photos swapped for FIFOs once enumeration has seen them as files: one that ties with copies
// (so finding copies reads it) and one alone in its size (so only the analysis opens it). An open
// of either would wait for a writer for ever; the copies-only and the whole scan both finish.
TEST(ScanCoordinator, FifoSwappedInAfterEnumerationNeverBlocks) {
    TempFolder t;
    const auto original = t.path() / "a.jpg";
    ASSERT_TRUE(test::save(test::photoLike(320, 240, 1), original));
    const auto other = t.path() / "other.jpg";
    ASSERT_TRUE(test::save(test::photoLike(320, 240, 2), other));
    std::filesystem::copy_file(original, t.path() / "b.jpg");
    const auto tied = t.path() / "c.jpg", alone = t.path() / "d.jpg";
    for (const bool exactOnly : {true, false}) {
        SCOPED_TRACE(exactOnly ? "copies only" : "whole scan");
        for (const auto& [file, from] : {std::pair{tied, original}, std::pair{alone, other}}) {
            std::filesystem::remove(file);
            std::filesystem::copy_file(from, file);
        }
        std::filesystem::remove(other); // d.jpg alone in its size
        std::atomic<bool> swapped{false};
        const auto swap = [&](const ScanProgress& p) {
            if (p.phase != Phase::hashing || swapped.exchange(true))
                return;
            for (const auto& file : {tied, alone}) {
                std::filesystem::remove(file);
                ASSERT_EQ(::mkfifo(file.c_str(), 0644), 0);
            }
        };
        const auto result = returnsWithinAMinute(
            [&] { return ScanCoordinator().scan(t.path(), swap, {}, {.exactOnly = exactOnly}); });
        EXPECT_TRUE(swapped);
        EXPECT_EQ(result.totalPhotos, 4);
        const auto exact = result.exactGroups();
        ASSERT_EQ(exact.size(), 1u);
        const auto& copies = exact.front().members;
        ASSERT_EQ(copies.size(), 2u);
        EXPECT_EQ(copies[0].fileURL, original.native());
        EXPECT_EQ(copies[1].fileURL, (t.path() / "b.jpg").native());
        ASSERT_TRUE(test::save(test::photoLike(320, 240, 2), other));
    }
}

// Each phase checks the stop inside its own work: a stop requested as a phase reports its
// start ends the scan there, before any later phase reports and before the analyser is
// asked again.
TEST(ScanCoordinator, StopIsHonouredInEveryPhase) {
    TempFolder t;
    for (int i = 0; i < 6; ++i)
        t.write("p" + std::to_string(i) + ".jpg",
                fake("cat", std::to_string(100 + i), std::to_string(10 * i)));
    t.write("copy.jpg", fake("cat", "100", "0"));
    for (const Phase phase :
         {Phase::enumerating, Phase::hashing, Phase::analyzing, Phase::grouping, Phase::scoring}) {
        SCOPED_TRACE(phaseName(phase));
        Harness h;
        std::stop_source stop;
        std::atomic<int> scored{0};
        auto analyzer = h.analyzer();
        analyzer->onScore = [&, score = analyzer->onScore](const PhotoRecord& r) {
            ++scored;
            return score(r);
        };
        auto report = [&](const ScanProgress& p) {
            h.reports.push_back(p);
            if (p.phase == phase)
                stop.request_stop();
        };
        EXPECT_THROW(ScanCoordinator(analyzer).scan(t.path(), report, stop.get_token()),
                     ScanCancelled);
        for (const auto& p : h.reports)
            EXPECT_LE(int(p.phase), int(phase));
        if (phase <= Phase::analyzing) {
            EXPECT_EQ(h.analyses, 0);
        }
        EXPECT_EQ(scored, 0);
    }
}

// An analyser call under way when the stop comes is awaited, never another one started: the
// wait for a stop is one call, however many photos remain. The fake blocks until the stop
// arrives.
TEST(ScanCoordinator, StopWaitsOnlyForTheCallsUnderWay) {
    TempFolder t;
    for (int i = 0; i < 40; ++i)
        t.write("p" + std::to_string(i) + ".jpg",
                fake("cat", std::to_string(100 + i), std::to_string(i)));
    for (const Phase phase : {Phase::analyzing, Phase::scoring}) {
        SCOPED_TRACE(phaseName(phase));
        Harness h;
        std::stop_source stop;
        std::mutex mutex;
        std::condition_variable_any wake;
        std::atomic<int> blocked{0}, calls{0};
        // Parks the calling thread until the stop is requested.
        auto block = [&] {
            ++calls;
            std::unique_lock lock(mutex);
            ++blocked;
            wake.notify_all();
            wake.wait(lock, stop.get_token(), [] { return false; });
        };
        auto analyzer = h.analyzer();
        if (phase == Phase::analyzing)
            h.onAnalyze = block;
        else
            analyzer->onScore = [&, score = analyzer->onScore](const PhotoRecord& r) {
                block();
                return score(r);
            };
        auto scan = std::async(std::launch::async, [&] {
            return ScanCoordinator(analyzer).scan(t.path(), {}, stop.get_token());
        });
        {
            std::unique_lock lock(mutex);
            wake.wait(lock, [&] { return blocked > 0; });
        }
        stop.request_stop();
        EXPECT_THROW(scan.get(), ScanCancelled);
        EXPECT_LE(calls, QuorlixFeature::analysisConcurrency());
    }
}
