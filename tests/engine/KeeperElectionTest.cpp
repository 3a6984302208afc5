// The keeper of a burst, elected the way a scan elects it: every frame analysed from its file,
// scored by the scorecard, the best score kept.
#include "engine/core/KeeperElection.h"

#include "TempFolder.h"
#include "TestImages.h"
#include "engine/analysis/FeaturePrintEmbedder.h"
#include "engine/analysis/ImageDecoder.h"
#include "engine/analysis/PhotoQualityScorecard.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

using namespace quorlix;

namespace {

struct Frame {
    std::string name;
    vips::VImage image;
};

// Writes the frames as camera JPEGs and returns the elected frame's name, with every score.
std::pair<std::string, std::string> elect(const std::vector<Frame>& frames,
                                          const std::filesystem::path& folder) {
    std::vector<std::pair<std::string, double>> scores;
    std::string detail;
    for (const auto& frame : frames) {
        const auto file = folder / (frame.name + ".jpg");
        frame.image.jpegsave(file.c_str(), vips::VImage::option()->set("Q", 92));
        test::writeExif(file, {{"Exif.Image.Make", "Test"}, {"Exif.Image.Model", "Burst"}});
        const auto analysis = FeaturePrintEmbedder::shared().analyze(file);
        EXPECT_TRUE(analysis && analysis->aesthetic) << frame.name;
        const PhotoRecord record{.id = frame.name,
                                 .fileURL = file.string(),
                                 .aestheticScore = analysis ? analysis->aesthetic : std::nullopt,
                                 .isUtility = analysis ? analysis->isUtility : std::nullopt,
                                 .faceCount = 0};
        const PhotoQuality q = PhotoQualityScorecard::shared().evaluate(record);
        scores.emplace_back(frame.name, q.score);
        detail += frame.name + " " + std::to_string(q.score) + " (aesthetics " +
                  std::to_string(q.aesthetics) + ", sharpness " + std::to_string(q.sharpness) +
                  ", clip " + std::to_string(q.exposureClip) + "); ";
    }
    return {KeeperElection::pickKeeper(scores).value_or(""), detail};
}

} // namespace

// The best score wins, ties go to the smallest id, and a score that is not a number never wins
// over one that is.
TEST(KeeperElection, BestScoreThenSmallestId) {
    EXPECT_EQ(KeeperElection::pickKeeper({}), std::nullopt);
    EXPECT_EQ(KeeperElection::pickKeeper({{"b", 70}, {"a", 70}, {"c", 60}}), "a");
    EXPECT_EQ(KeeperElection::pickKeeper({{"a", 70}, {"b", 70}}), "a");
    EXPECT_EQ(KeeperElection::pickKeeper({{"a", 70}, {"z", 71}, {"b", 70}}), "z");
    EXPECT_EQ(KeeperElection::pickKeeper({{"a", NAN}, {"c", 10}, {"b", 10}}), "b");
    EXPECT_EQ(KeeperElection::pickKeeper({{"c", NAN}, {"b", NAN}}), "b");
}

class KeeperElectionTest : public ::testing::Test {
protected:
    void SetUp() override { ImageDecoder::ensureInitialised(); }
    test::TempFolder folder;
};

// Noise and burnt highlights both raise the Laplacian variance the scorecard reads as sharpness;
// the aesthetics score must outweigh that, even for a soft scene whose clean frame is far from the
// sharpness ceiling.
TEST_F(KeeperElectionTest, CleanFrameBeatsNoisyBurntDarkAndBlurredSiblings) {
    for (int seed : {3, 8}) {
        // A soft scene: blurred once at full size so the clean frame is well below full sharpness.
        const auto clean =
            test::noisy(test::photoLike(2400, 1800, seed).gaussblur(2.4), 1.5, seed).copy_memory();
        const std::vector<Frame> frames = {
            {"a-noisy", test::noisy(clean, 18.0, seed + 1)},
            {"b-burnt", test::exposed(clean, 3.4)}, // +1.75 EV
            {"c-dark", test::exposed(clean, 0.3)},
            {"d-blurred", clean.gaussblur(4.0)},
            {"e-clean", clean},
        };
        const auto [keeper, detail] = elect(frames, folder.path());
        EXPECT_EQ(keeper, "e-clean") << "seed " << seed << ": " << detail;
    }
}
