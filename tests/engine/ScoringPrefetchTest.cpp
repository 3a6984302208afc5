#include "engine/core/ScoringPrefetch.h"

#include <gtest/gtest.h>
#include <map>

using namespace quorlix;

namespace {

// Photos here are 4 × 2 thumbnails whose first pixel names them and whose second is pure red;
// their "scene" is an embedding axis, so equal scenes are look-alikes.
ImageBuffer thumbnailOf(int name) {
    ImageBuffer b{4, 2, 3, std::vector<std::uint8_t>(24, 100)};
    b.pixels[0] = b.pixels[1] = b.pixels[2] = std::uint8_t(name);
    b.pixels[3] = 255;
    b.pixels[4] = b.pixels[5] = 0;
    return b;
}

PhotoAnalysis analysisOf(int scene, std::optional<double> date) {
    PhotoAnalysis a;
    a.embedding.assign(4, 0.0f);
    a.embedding[std::size_t(scene)] = 2.0f; // the link does not depend on the length
    a.dateOriginal = date;
    return a;
}

struct Recorder {
    std::map<int, int> measured; // name → times measured
    bool ready = true;
    ScoringPrefetch::Measure measure() {
        return [this](const ImageBuffer& image) -> std::optional<QualitySignals> {
            // The gray copy of the thumbnail: pure red has a luma of 76.
            EXPECT_EQ(image.channels, 1);
            EXPECT_EQ(image.width * image.height, 8);
            EXPECT_EQ(image.pixels.at(1), 76);
            if (!ready)
                return std::nullopt;
            const int name = image.pixels.at(0);
            ++measured[name];
            QualitySignals s;
            s.sharpness01 = name / 1000.0;
            return s;
        };
    }
};

std::string pathOf(int name) {
    return "/photos/" + std::to_string(name) + ".jpg";
}

void add(ScoringPrefetch& p, int name, int scene, std::optional<double> date) {
    p.add(pathOf(name), analysisOf(scene, date), thumbnailOf(name));
}

} // namespace

TEST(ScoringPrefetch, MeasuresLookAlikesOnlyAndEachOnce) {
    Recorder r;
    ScoringPrefetch p(r.measure(), 0.94f, 600.0, 4);
    add(p, 10, 0, 1000.0); // a burst of three, the first measured from its kept gray copy
    add(p, 11, 0, 1001.0);
    add(p, 12, 0, 1002.0);
    add(p, 20, 1, 1003.0); // a single
    add(p, 30, 2, 5000.0); // the same scene as 31 but an hour apart
    add(p, 31, 2, 8600.0); //
    add(p, 40, 3, {});     // undated look-alikes meet each other
    add(p, 41, 3, {});     //
    add(p, 42, 3, 9000.0); // but not a dated one
    EXPECT_EQ(r.measured, (std::map<int, int>{{10, 1}, {11, 1}, {12, 1}, {40, 1}, {41, 1}}));
    EXPECT_EQ(p.measuredCount(), 5u);
    ASSERT_TRUE(p.find(pathOf(10)));
    EXPECT_DOUBLE_EQ(p.find(pathOf(10))->sharpness01, 0.010);
    EXPECT_FALSE(p.find(pathOf(20)));
    EXPECT_FALSE(p.find(pathOf(31)));
}

TEST(ScoringPrefetch, OnlyTheRecentKeepACopy) {
    Recorder r;
    ScoringPrefetch p(r.measure(), 0.94f, 600.0, 2);
    add(p, 1, 0, 100.0);
    add(p, 2, 1, 101.0);
    add(p, 3, 2, 102.0); // 1 leaves the recent photos
    add(p, 4, 0, 103.0); // a look-alike of 1 that comes too late for it
    add(p, 5, 0, 104.0);
    EXPECT_EQ(r.measured, (std::map<int, int>{{4, 1}, {5, 1}}));
    EXPECT_FALSE(p.find(pathOf(1)));
}

TEST(ScoringPrefetch, WhatCannotBeMeasuredYetIsTriedAgainLater) {
    Recorder r;
    r.ready = false;
    ScoringPrefetch p(r.measure(), 0.94f, 600.0, 8);
    add(p, 1, 0, 100.0);
    add(p, 2, 0, 101.0);
    EXPECT_EQ(p.measuredCount(), 0u);
    r.ready = true;
    add(p, 3, 0, 102.0);
    EXPECT_EQ(r.measured, (std::map<int, int>{{1, 1}, {2, 1}, {3, 1}}));

    // A measurement that throws is left to scoring, like one that gives nothing.
    ScoringPrefetch failing(
        [](const ImageBuffer&) -> std::optional<QualitySignals> {
            throw std::runtime_error("model missing");
        },
        0.94f, 600.0);
    add(failing, 1, 0, 100.0);
    EXPECT_NO_THROW(add(failing, 2, 0, 101.0));
    EXPECT_EQ(failing.measuredCount(), 0u);
}

TEST(ScoringPrefetch, PhotosWithoutUsableEmbeddingsOrThumbnailsNeverLink) {
    Recorder r;
    ScoringPrefetch p(r.measure(), 0.94f, 600.0);
    PhotoAnalysis none;
    none.dateOriginal = 5.0;
    auto zero = analysisOf(0, 5.0), shorter = analysisOf(0, 5.0);
    zero.embedding.assign(4, 0.0f);
    shorter.embedding.resize(3);
    int name = 0;
    for (const auto& analysis : {none, none, zero, zero, shorter, analysisOf(0, 5.0)}) {
        ++name;
        p.add(pathOf(name), analysis, thumbnailOf(name));
    }
    p.add(pathOf(7), analysisOf(0, 5.0), ImageBuffer{}); // an empty thumbnail is ignored
    EXPECT_TRUE(r.measured.empty());
}
