#include "engine/core/ScoringPrefetch.h"

#include "engine/core/GrayImage.h"

#include <atomic>
#include <gtest/gtest.h>
#include <map>

using namespace quorlix;

namespace {

// Photos here are 4 × 2 thumbnails whose first pixel names them; their "scene" is an embedding
// axis, so equal scenes are look-alikes.
ImageBuffer thumbnailOf(std::uint8_t name) {
    ImageBuffer b;
    b.width = 4;
    b.height = 2;
    b.channels = 3;
    b.pixels.assign(24, 100);
    b.pixels[0] = b.pixels[1] = b.pixels[2] = name;
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
            EXPECT_EQ(image.channels, 1);
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
    p.add(pathOf(name), analysisOf(scene, date), thumbnailOf(std::uint8_t(name)));
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

TEST(ScoringPrefetch, MeasuresTheGrayCopyOfTheThumbnail) {
    ImageBuffer seen;
    ScoringPrefetch p(
        [&](const ImageBuffer& image) -> std::optional<QualitySignals> {
            seen = image;
            return QualitySignals{};
        },
        0.94f, 600.0);
    ImageBuffer colour = thumbnailOf(7);
    colour.pixels[3] = 255; // a red second pixel
    colour.pixels[4] = colour.pixels[5] = 0;
    p.add("/a.jpg", analysisOf(0, 1.0), colour);
    p.add("/b.jpg", analysisOf(0, 2.0), colour);
    const GrayImage gray = grayOf(colour);
    EXPECT_EQ(seen.width, gray.width);
    EXPECT_EQ(seen.height, gray.height);
    EXPECT_EQ(seen.pixels, gray.pixels);
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

TEST(ScoringPrefetch, PhotosWithoutUsableEmbeddingsNeverLink) {
    Recorder r;
    ScoringPrefetch p(r.measure(), 0.94f, 600.0);
    PhotoAnalysis empty;
    empty.dateOriginal = 5.0;
    p.add(pathOf(1), empty, thumbnailOf(1));
    p.add(pathOf(2), empty, thumbnailOf(2));
    auto zero = analysisOf(0, 5.0);
    zero.embedding.assign(4, 0.0f);
    p.add(pathOf(3), zero, thumbnailOf(3));
    p.add(pathOf(4), zero, thumbnailOf(4));
    auto shorter = analysisOf(0, 5.0);
    shorter.embedding.resize(3);
    p.add(pathOf(5), shorter, thumbnailOf(5));
    p.add(pathOf(6), analysisOf(0, 5.0), thumbnailOf(6));
    EXPECT_TRUE(r.measured.empty());
    p.add(pathOf(7), analysisOf(0, 5.0), ImageBuffer{}); // an empty thumbnail is ignored
    EXPECT_EQ(r.measured, (std::map<int, int>{}));
}
