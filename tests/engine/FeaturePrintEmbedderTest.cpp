#include "engine/analysis/FeaturePrintEmbedder.h"

#include "TempFolder.h"
#include "TestImages.h"
#include "engine/analysis/ImageDecoder.h"
#include "engine/core/Log.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>

using namespace quorlix;

class FeaturePrintEmbedderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ImageDecoder::ensureInitialised();
        log::setSink(sink);
    }
    void TearDown() override { log::setSink(nullptr); }
    test::TempFolder folder;
    std::shared_ptr<log::CapturingSink> sink = std::make_shared<log::CapturingSink>();
};

TEST_F(FeaturePrintEmbedderTest, AnalysisCarriesEveryField) {
    const auto file = folder.path() / "IMG_0001.jpg";
    ASSERT_TRUE(test::save(test::photoLike(2016, 1512), file));
    test::writeExif(file, {{"Exif.Photo.DateTimeOriginal", "2021:07:04 15:30:00"},
                           {"Exif.Image.Make", "Quorlix"},
                           {"Exif.Image.Orientation", "6"}});
    const auto analysis = FeaturePrintEmbedder::shared().analyze(file);
    ASSERT_TRUE(analysis);
    EXPECT_FALSE(analysis->embedding.empty());
    ASSERT_TRUE(analysis->aesthetic);
    EXPECT_GE(*analysis->aesthetic, -1.0);
    EXPECT_LE(*analysis->aesthetic, 1.0);
    ASSERT_TRUE(analysis->isUtility);
    EXPECT_FALSE(*analysis->isUtility);
    EXPECT_EQ(analysis->dateOriginal, 1625412600.0);
    EXPECT_EQ(analysis->pixelWidth, 2016);
    EXPECT_EQ(analysis->pixelHeight, 1512);
    EXPECT_TRUE(sink->entries().empty());
}

TEST_F(FeaturePrintEmbedderTest, MissingOrBadDateStillAnalyses) {
    const auto file = folder.path() / "a.png";
    ASSERT_TRUE(test::save(test::photoLike(800, 600), file));
    const auto plain = FeaturePrintEmbedder::shared().analyze(file);
    ASSERT_TRUE(plain);
    EXPECT_FALSE(plain->dateOriginal);
    test::writeExif(file, {{"Exif.Photo.DateTimeOriginal", "yesterday"}});
    const auto malformed = FeaturePrintEmbedder::shared().analyze(file);
    ASSERT_TRUE(malformed);
    EXPECT_FALSE(malformed->dateOriginal);
    EXPECT_EQ(malformed->pixelWidth, 800);
    EXPECT_EQ(malformed->embedding, plain->embedding);
}

TEST_F(FeaturePrintEmbedderTest, UnreadableFilesGiveNothingSilently) {
    for (const auto& file : {folder.write("notes.jpg", "shopping list"), folder.write("e.png", ""),
                             folder.path() / "gone.heic"})
        EXPECT_FALSE(FeaturePrintEmbedder::shared().analyze(file)) << file;
    EXPECT_TRUE(sink->entries().empty());
}

TEST_F(FeaturePrintEmbedderTest, ConcurrentAnalysesMatchSerialOnes) {
    std::vector<std::filesystem::path> files;
    for (int i = 0; i < 4; ++i) {
        files.push_back(folder.path() / ("p" + std::to_string(i) + (i % 2 ? ".jpg" : ".webp")));
        ASSERT_TRUE(test::save(test::photoLike(640, 480, i + 2), files.back()));
        test::writeExif(files.back(), {{"Exif.Photo.DateTimeOriginal",
                                        "2022:01:0" + std::to_string(i + 1) + " 08:00:00"}});
    }
    std::vector<std::optional<PhotoAnalysis>> serial;
    for (const auto& f : files)
        serial.push_back(FeaturePrintEmbedder::shared().analyze(f));
    std::atomic<int> mismatches{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (std::size_t i = 0; i < files.size(); ++i) {
                const std::size_t k = (i + std::size_t(t)) % files.size();
                const auto got = FeaturePrintEmbedder::shared().analyze(files[k]);
                if (!got || got->embedding != serial[k]->embedding ||
                    got->aesthetic != serial[k]->aesthetic ||
                    got->dateOriginal != serial[k]->dateOriginal)
                    ++mismatches;
            }
        });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(mismatches.load(), 0);
}
