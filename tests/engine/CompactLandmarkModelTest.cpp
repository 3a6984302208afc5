#include "engine/analysis/CompactLandmarkModel.h"

#include "TempFolder.h"
#include "engine/analysis/FaceAnalyzer.h"

#include <dlib/image_processing/shape_predictor.h>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

using namespace quorlix;

namespace {

std::string serialized(const dlib::shape_predictor& model) {
    std::ostringstream out;
    dlib::serialize(model, out);
    return std::move(out).str();
}

} // namespace

// The compact form holds every number of the shipped model, and anything else in its place --
// a torn or damaged file, or one made from another version of the shipped file -- is refused so
// the shipped file is read instead.
TEST(CompactLandmarkModel, RoundTripsTheShippedModelAndRefusesAnythingElse) {
    const auto shipped = FaceAnalyzer::modelPath();
    if (!std::filesystem::exists(shipped))
        GTEST_SKIP() << "no landmark model at " << shipped;
    dlib::shape_predictor original;
    {
        std::ifstream in(shipped, std::ios::binary);
        dlib::deserialize(original, in);
    }
    test::TempFolder folder;
    const auto compact = folder.path() / "cache" / "face-landmarks.bin";
    ASSERT_TRUE(CompactLandmarkModel::write(original, compact, shipped));

    dlib::shape_predictor read;
    ASSERT_TRUE(CompactLandmarkModel::read(compact, shipped, read));
    EXPECT_EQ(read.num_parts(), 68u);
    EXPECT_TRUE(serialized(read) == serialized(original));

    const std::string bytes = test::readFile(compact);
    const auto rewrite = [&](const std::string& content) {
        std::ofstream(compact, std::ios::binary | std::ios::trunc) << content;
    };
    dlib::shape_predictor untouched;
    rewrite(bytes.substr(0, bytes.size() / 2));
    EXPECT_FALSE(CompactLandmarkModel::read(compact, shipped, untouched));
    std::string flipped = bytes;
    flipped[flipped.size() / 3] ^= 0x40;
    rewrite(flipped);
    EXPECT_FALSE(CompactLandmarkModel::read(compact, shipped, untouched));
    rewrite("");
    EXPECT_FALSE(CompactLandmarkModel::read(compact, shipped, untouched));
    EXPECT_EQ(untouched.num_parts(), 0u);

    // Made from another file: a copy of the shipped model with another modification time.
    rewrite(bytes);
    const auto otherSource = folder.write("other.dat", "not the model");
    EXPECT_FALSE(CompactLandmarkModel::read(compact, otherSource, untouched));
    EXPECT_FALSE(CompactLandmarkModel::read(folder.path() / "missing.bin", shipped, untouched));
    EXPECT_TRUE(CompactLandmarkModel::read(compact, shipped, untouched));
}
