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

// Every format's decoder and the analysis, on several threads at once, give what one thread gives;
// a file that is no photo gives nothing, and nothing is logged.
TEST_F(FeaturePrintEmbedderTest, ConcurrentAnalysesMatchSerialOnes) {
    std::vector<std::filesystem::path> files;
    const char* exts[] = {"jpg", "png", "webp", "tif", "gif", "bmp"};
    for (int i = 0; i < 6; ++i) {
        files.push_back(folder.path() / ("p" + std::to_string(i) + "." + exts[i]));
        ASSERT_TRUE(test::save(test::photoLike(600, 450, i + 1), files.back())) << exts[i];
        if (i < 4) // the formats Exiv2 writes
            test::writeExif(files.back(), {{"Exif.Photo.DateTimeOriginal",
                                            "2022:01:0" + std::to_string(i + 1) + " 08:00:00"}});
    }
    files.push_back(folder.write("bad.jpg", "nope"));
    std::vector<std::optional<PhotoAnalysis>> serial;
    for (const auto& f : files)
        serial.push_back(FeaturePrintEmbedder::shared().analyze(f));
    for (std::size_t i = 0; i < 6; ++i)
        ASSERT_TRUE(serial[i]) << exts[i];
    EXPECT_FALSE(serial.back());
    std::atomic<int> mismatches{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (std::size_t i = 0; i < files.size(); ++i) {
                const std::size_t k = (i + std::size_t(t)) % files.size();
                const auto got = FeaturePrintEmbedder::shared().analyze(files[k]);
                if (got.has_value() != serial[k].has_value() ||
                    (got && (got->embedding != serial[k]->embedding ||
                             got->aesthetic != serial[k]->aesthetic ||
                             got->dateOriginal != serial[k]->dateOriginal)))
                    ++mismatches;
            }
        });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(mismatches.load(), 0);
    EXPECT_TRUE(sink->entries().empty());
}
