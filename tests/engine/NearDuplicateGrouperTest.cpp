#include "engine/core/NearDuplicateGrouper.h"

#include "engine/core/QuorlixFeature.h"
#include "engine/core/ScanCancelled.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <map>
#include <numbers>
#include <random>

using namespace quorlix;

namespace {

PhotoRecord photo(std::string id, std::optional<double> date,
                  std::optional<std::vector<float>> embedding) {
    PhotoRecord r{.id = id, .fileURL = "/photos/" + id + ".jpg", .dateOriginal = date};
    if (embedding)
        r.embeddingBlob = packEmbedding(*embedding);
    return r;
}

std::vector<float> angle(double degrees) {
    const double rad = degrees * std::numbers::pi / 180.0;
    return {float(std::cos(rad)), float(std::sin(rad))};
}

NearDuplicateGrouper scanGrouper() {
    return NearDuplicateGrouper(QuorlixFeature::nearThreshold, QuorlixFeature::burstWindowSeconds);
}

std::vector<std::vector<std::string>> ids(const std::vector<std::vector<PhotoRecord>>& clusters) {
    std::vector<std::vector<std::string>> out;
    for (const auto& c : clusters) {
        out.emplace_back();
        for (const auto& r : c)
            out.back().push_back(r.id);
    }
    return out;
}

using Ids = std::vector<std::vector<std::string>>;

} // namespace

// The rule on small inputs: similarity at least the threshold (the 32-bit value exactly at it
// links), capture times at most the window apart (the bound included), links chained across more
// than the window, dated and undated photos apart, and embeddings that cannot link. Clusters come
// dated first, by time then id; undated after.
TEST(NearDuplicateGrouper, SmallCases) {
    const auto e = angle(10), right = angle(90);
    const std::vector<float> a{1, 0, 0, 0}, b{47, 17, 1, 1}; // dot 47, norms 1 and 50: 0.94f
    const std::vector<float> u{0.5f, 0.5f, 0.5f};
    PhotoRecord ragged = photo("r", 7.0, u); // bytes past the last whole float are ignored
    ragged.embeddingBlob->append("\x01\x02", 2);
    const auto unusable = [&](bool dated) {
        auto at = [&](double t) {
            return dated ? std::optional<double>(t) : std::nullopt;
        };
        return std::vector<PhotoRecord>{
            photo("a", at(1), std::nullopt),
            photo("b", at(2), std::vector<float>{}),
            photo("c", at(3), std::vector<float>{0, 0, 0}),
            photo("d", at(4), std::vector<float>{0.5f, 0.5f, 0.5f, 0.0f}),
            photo("e", at(5), u),
            photo("f", at(6), std::vector<float>{NAN, 0.5f, 0.5f}),
        };
    };
    const float strict = std::nextafter(QuorlixFeature::nearThreshold, 1.0f);
    struct Case {
        const char* name;
        std::vector<PhotoRecord> records;
        Ids expected;
        float threshold = QuorlixFeature::nearThreshold;
    };
    const Case cases[] = {
        {"nothing", {}, {}},
        {"one", {photo("a", 1.0, e)}, {{"a"}}},
        // A-B and B-C at 19 degrees (cos 0.9455), A-C at 38 (cos 0.788), 500 s steps.
        {"chain",
         {photo("c", 1000.0, angle(38)), photo("a", 0.0, angle(0)), photo("b", 500.0, angle(19))},
         {{"a", "b", "c"}}},
        {"no middle link",
         {photo("a", 0.0, angle(0)), photo("c", 400.0, angle(38))},
         {{"a"}, {"c"}}},
        {"window bound", {photo("a", 1000.0, e), photo("b", 1600.0, e)}, {{"a", "b"}}},
        {"past the window", {photo("a", 1000.0, e), photo("b", 1600.001, e)}, {{"a"}, {"b"}}},
        // The inner loop ends only beyond the window, not at the first photo that does not link.
        {"later partner",
         {photo("a", 0.0, e), photo("x", 10.0, right), photo("b", 600.0, e)},
         {{"a", "b"}, {"x"}}},
        {"at the threshold", {photo("a", 5.0, a), photo("b", 6.0, b)}, {{"a", "b"}}},
        {"just under", {photo("a", 5.0, a), photo("b", 6.0, b)}, {{"a"}, {"b"}}, strict},
        {"undated at the threshold", {photo("a", {}, a), photo("b", {}, b)}, {{"a", "b"}}},
        // Undated photos link whatever their distance; dated ones far apart do not.
        {"dated and undated",
         {photo("u2", {}, e), photo("d1", 50.0, e), photo("u1", {}, e), photo("d2", 1.0e9, e)},
         {{"d1"}, {"d2"}, {"u1", "u2"}}},
        {"undated and dated at 0", {photo("u", {}, e), photo("d", 0.0, e)}, {{"d"}, {"u"}}},
        // A capture time that is not a number cannot be ordered: such a photo counts as undated.
        {"NaN time",
         {photo("n", NAN, e), photo("d", 0.0, e), photo("u", {}, e), photo("m", 5.0, e)},
         {{"d", "m"}, {"n", "u"}}},
        {"equal times",
         {photo("c", 100.0, e), photo("b", 100.0, e), photo("a", 100.0, right),
          photo("z", 99.0, {})},
         {{"z"}, {"a"}, {"b", "c"}}},
        {"unusable, dated", unusable(true), {{"a"}, {"b"}, {"c"}, {"d"}, {"e"}, {"f"}}},
        {"unusable, undated", unusable(false), {{"a"}, {"b"}, {"c"}, {"d"}, {"e"}, {"f"}}},
        {"ragged blob", {photo("e", 5.0, u), ragged}, {{"e", "r"}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ids(NearDuplicateGrouper(c.threshold, QuorlixFeature::burstWindowSeconds)
                          .group(c.records)),
                  c.expected)
            << c.name;

    // Records come back unchanged.
    PhotoRecord kept = photo("b", 100.0, e);
    kept.fileSizeBytes = 1234;
    kept.contentHash = "sha:bb";
    kept.aestheticScore = 0.25;
    const auto clusters = scanGrouper().group({photo("c", 100.0, e), kept});
    ASSERT_EQ(clusters.size(), 1u);
    const PhotoRecord& back = clusters[0][0];
    EXPECT_EQ(back.fileURL, kept.fileURL);
    EXPECT_EQ(back.fileSizeBytes, 1234);
    EXPECT_EQ(back.contentHash, "sha:bb");
    EXPECT_EQ(back.aestheticScore, 0.25);
    EXPECT_EQ(back.embeddingBlob, kept.embeddingBlob);
}

namespace {

// The all-against-all definition, pair by pair, summing eight lanes in the order the grouper's
// kernels do, so that a pair at the threshold decides the same way.
Ids allPairsReference(std::vector<PhotoRecord> records, float threshold) {
    std::sort(records.begin(), records.end(),
              [](const PhotoRecord& a, const PhotoRecord& b) { return a.id < b.id; });
    const std::size_t n = records.size();
    auto dot = [](const std::vector<float>& a, const std::vector<float>& b) {
        float lane[8] = {};
        for (std::size_t k = 0; k < a.size(); ++k)
            lane[k % 8] += a[k] * b[k];
        return ((lane[0] + lane[1]) + (lane[2] + lane[3])) +
               ((lane[4] + lane[5]) + (lane[6] + lane[7]));
    };
    std::vector<std::vector<float>> e;
    std::vector<float> norm;
    for (const auto& r : records) {
        e.push_back(unpackEmbedding(*r.embeddingBlob));
        norm.push_back(std::sqrt(dot(e.back(), e.back())));
    }
    std::vector<std::size_t> parent(n);
    for (std::size_t i = 0; i < n; ++i)
        parent[i] = i;
    auto find = [&](std::size_t x) {
        while (parent[x] != x)
            x = parent[x] = parent[parent[x]];
        return x;
    };
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = i + 1; j < n; ++j)
            if (norm[i] > 0 && norm[j] > 0 && e[i].size() == e[j].size() &&
                threshold <= dot(e[i], e[j]) / (norm[i] * norm[j])) {
                const auto a = find(i), b = find(j);
                parent[std::max(a, b)] = std::min(a, b);
            }
    std::map<std::size_t, std::vector<std::string>> byRoot;
    for (std::size_t i = 0; i < n; ++i)
        byRoot[find(i)].push_back(records[i].id);
    Ids out;
    for (auto& [root, members] : byRoot)
        out.push_back(std::move(members));
    return out;
}

} // namespace

// Enough undated photos for the bounded search on all processors. Bursts share a strong common
// direction (as feature prints do) and their noise puts many pairs within a hair of the threshold
// on both sides; rows of extreme length, zero rows and a second embedding length are mixed in,
// and the embedding length (150) is not a multiple of the kernel width.
TEST(NearDuplicateGrouper, ManyUndatedGroupExactlyAsAllAgainstAll) {
    std::mt19937 rng(11);
    std::normal_distribution<float> gauss(0.0f, 1.0f);
    std::uniform_real_distribution<float> noise(0.18f, 0.30f);
    constexpr int dims = 150;
    std::vector<float> common(dims);
    for (auto& x : common)
        x = gauss(rng);
    std::vector<PhotoRecord> records;
    std::vector<float> base;
    for (int i = 0; i < 3000; ++i) {
        if (i % 5 == 0) {
            base.assign(dims, 0.0f);
            for (int k = 0; k < dims; ++k)
                base[k] = 0.6f * common[k] + gauss(rng);
        }
        const float sigma = noise(rng);
        std::vector<float> v(base);
        for (auto& x : v)
            x += sigma * gauss(rng);
        if (i % 211 == 0)
            for (auto& x : v)
                x *= (i % 2 ? 1e12f : 1e-12f);
        if (i % 499 == 0)
            v.assign(dims, 0.0f);
        if (i % 97 == 0)
            v.resize(40);
        records.push_back(photo("u" + std::to_string(100000 + i), {}, v));
    }
    const float threshold = QuorlixFeature::nearThreshold;
    const auto reference = ids(scanGrouper().group(records));
    // The input order changes nothing, whichever tile and row group a pair falls into.
    std::shuffle(records.begin(), records.end(), rng);
    EXPECT_EQ(ids(scanGrouper().group(records)), reference);
    auto grouped = reference;
    std::sort(grouped.begin(), grouped.end());
    const auto expected = allPairsReference(records, threshold);
    std::size_t multi = 0;
    for (const auto& c : expected)
        multi += c.size() > 1;
    EXPECT_GT(multi, 300u); // the data does exercise linking
    EXPECT_EQ(grouped, expected);
}

// Twenty thousand undated photos are compared all against all; a stop ends that, also on the
// bounded search over every processor, whose threads are joined before the stop is reported.
TEST(NearDuplicateGrouper, StopEndsAllAgainstAll) {
    std::vector<PhotoRecord> records;
    for (int i = 0; i < 20000; ++i)
        records.push_back(photo(std::to_string(i), {}, angle(i % 360)));
    std::stop_source stop;
    stop.request_stop();
    EXPECT_THROW(scanGrouper().group(std::move(records), ScanContext(stop.get_token(), {})),
                 ScanCancelled);

    std::mt19937 rng(3);
    std::normal_distribution<float> gauss(0.0f, 1.0f);
    std::vector<PhotoRecord> wide;
    for (int i = 0; i < 4000; ++i) {
        std::vector<float> v(150);
        for (auto& x : v)
            x = gauss(rng);
        wide.push_back(photo(std::to_string(i), {}, v));
    }
    EXPECT_THROW(scanGrouper().group(std::move(wide), ScanContext(stop.get_token(), {})),
                 ScanCancelled);
}
