#include "engine/analysis/FeaturePrint.h"

#include "TestImages.h"
#include "engine/analysis/ImageDecoder.h"
#include "engine/core/QuorlixFeature.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <vips/vips8>

using namespace quorlix;
using vips::VImage;

namespace {

// Golden scenes: photo-like renderings (sky and ground split by a horizon, soft blobs,
// several octaves of value noise) from a palette seed and a layout seed, so that tests can ask
// for different scenes in the same colours. Everything is integer-hashed: the same on every
// machine.
std::uint32_t hash(std::uint32_t x, std::uint32_t y, std::uint32_t seed) {
    std::uint32_t h = x * 374761393u + y * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return h ^ (h >> 16);
}

float unit(std::uint32_t h) {
    return float(h & 0xffffff) / float(0xffffff);
}

float valueNoise(float x, float y, std::uint32_t seed) {
    const int xi = int(std::floor(x)), yi = int(std::floor(y));
    float fx = x - float(xi), fy = y - float(yi);
    fx = fx * fx * (3 - 2 * fx);
    fy = fy * fy * (3 - 2 * fy);
    auto v = [&](int dx, int dy) {
        return unit(hash(std::uint32_t(xi + dx), std::uint32_t(yi + dy), seed));
    };
    return (v(0, 0) * (1 - fx) + v(1, 0) * fx) * (1 - fy) +
           (v(0, 1) * (1 - fx) + v(1, 1) * fx) * fy;
}

float fbm(float x, float y, std::uint32_t seed) {
    float sum = 0, amplitude = 0.5f, scale = 1.0f / 160.0f;
    for (int octave = 0; octave < 6; ++octave) {
        sum += amplitude * (valueNoise(x * scale, y * scale, seed + octave) - 0.5f);
        amplitude *= 0.55f;
        scale *= 2.0f;
    }
    return sum;
}

constexpr int canvasWidth = 1200, canvasHeight = 800;

VImage scene(std::uint32_t palette, std::uint32_t layout, bool objectMoved = false) {
    auto colour = [&](int k, int c) {
        return 40.0f + 180.0f * unit(hash(k, c, palette));
    };
    const float horizon = canvasHeight * (0.3f + 0.35f * unit(hash(1, 0, layout)));
    struct Blob {
        float x, y, r;
        int colour;
    };
    std::vector<Blob> blobs;
    for (int i = 0; i < 5; ++i)
        blobs.push_back({canvasWidth * unit(hash(i, 1, layout)),
                         canvasHeight * unit(hash(i, 2, layout)),
                         40.0f + 160.0f * unit(hash(i, 3, layout)), 3 + i % 3});
    if (objectMoved) { // the largest object carried to the other side of the frame
        auto largest = std::max_element(blobs.begin(), blobs.end(),
                                        [](const Blob& a, const Blob& b) { return a.r < b.r; });
        largest->x = canvasWidth - largest->x;
        largest->y = canvasHeight - largest->y;
    }
    std::vector<std::uint8_t> pixels(std::size_t(canvasWidth) * canvasHeight * 3);
    for (int y = 0; y < canvasHeight; ++y)
        for (int x = 0; x < canvasWidth; ++x) {
            const float n = fbm(float(x), float(y), layout);
            const float sky = y < horizon ? 1.0f : 0.0f;
            const float t = float(y) / canvasHeight;
            float rgb[3];
            for (int c = 0; c < 3; ++c)
                rgb[c] = sky * (colour(0, c) * (1 - t) + colour(1, c) * t) +
                         (1 - sky) * colour(2, c) * (1.0f + 1.2f * n);
            for (const Blob& b : blobs) {
                const float d = std::hypot(float(x) - b.x, float(y) - b.y) / b.r;
                const float a = std::clamp(4.0f * (1.0f - d), 0.0f, 1.0f);
                for (int c = 0; c < 3; ++c)
                    rgb[c] = rgb[c] * (1 - a) + a * colour(b.colour, c) * (1.0f + 0.8f * n);
            }
            for (int c = 0; c < 3; ++c)
                pixels[(std::size_t(y) * canvasWidth + x) * 3 + c] =
                    std::uint8_t(std::clamp(rgb[c] + 60.0f * n, 0.0f, 255.0f));
        }
    // The copying constructor: the pixels go out of scope here.
    VipsImage* image = vips_image_new_from_memory_copy(pixels.data(), pixels.size(), canvasWidth,
                                                       canvasHeight, 3, VIPS_FORMAT_UCHAR);
    if (!image)
        throw vips::VError();
    return VImage(image);
}

// The frame a camera saw: a 90 % window of the canvas, shifted by the given fraction.
VImage frame(const VImage& canvas, double shiftX = 0, double shiftY = 0) {
    const int w = int(canvasWidth * 0.9), h = int(canvasHeight * 0.9);
    const int x = int(canvasWidth * (0.05 + shiftX)), y = int(canvasHeight * (0.05 + shiftY));
    return canvas.extract_area(x, y, w, h);
}

VImage expose(const VImage& image, double ev) {
    return (image.colourspace(VIPS_INTERPRETATION_scRGB) * std::pow(2.0, ev))
        .colourspace(VIPS_INTERPRETATION_sRGB)
        .cast(VIPS_FORMAT_UCHAR);
}

VImage recompress(const VImage& image, int quality) {
    void* data = nullptr;
    std::size_t size = 0;
    image.write_to_buffer(".jpg", &data, &size, VImage::option()->set("Q", quality));
    VImage decoded = VImage::new_from_buffer(data, size, "").copy_memory();
    g_free(data);
    return decoded;
}

// As the scan sees a photo: the longer side at most 1024 pixels, 8-bit, interleaved.
ImageBuffer analysed(VImage image) {
    image = image.thumbnail_image(1024, VImage::option()->set("height", 1024));
    ImageBuffer out;
    out.width = image.width();
    out.height = image.height();
    out.channels = image.bands();
    std::size_t size = 0;
    void* memory = image.cast(VIPS_FORMAT_UCHAR).write_to_memory(&size);
    out.pixels.assign(static_cast<std::uint8_t*>(memory),
                      static_cast<std::uint8_t*>(memory) + size);
    g_free(memory);
    return out;
}

float similarity(const VImage& a, const VImage& b) {
    return featurePrintSimilarity(computeFeaturePrint(analysed(a)),
                                  computeFeaturePrint(analysed(b)));
}

void expectWellFormed(const std::vector<float>& print) {
    ASSERT_EQ(print.size(), featurePrintLength);
    double norm = 0;
    for (float v : print) {
        ASSERT_TRUE(std::isfinite(v));
        norm += double(v) * v;
    }
    EXPECT_NEAR(norm, 1.0, 1e-3); // each value rounded to half precision, within 2^-11
}

class FeaturePrintTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ImageDecoder::ensureInitialised(); }
};

} // namespace

// The calibration pinned: frames of one burst reach the look-alike threshold, other scenes,
// including ones in the very same colours, stay below it.
TEST_F(FeaturePrintTest, BurstFramesLinkAndOtherScenesDoNot) {
    const float threshold = QuorlixFeature::nearThreshold;
    const VImage canvas = scene(1, 1);
    const VImage base = frame(canvas);
    const std::vector<std::pair<const char*, VImage>> variants = {
        {"shift 3 %", frame(canvas, 0.03, 0.02)},
        {"+0.5 EV", expose(base, 0.5)},
        {"-0.5 EV", expose(base, -0.5)},
        {"slight blur", base.gaussblur(2.5)},
        {"recompressed", recompress(base, 55)},
        {"shift, brighter, recompressed", recompress(expose(frame(canvas, -0.02, 0.01), 0.3), 70)},
    };
    for (const auto& [name, image] : variants)
        EXPECT_GE(similarity(base, image), threshold) << name;

    const std::vector<std::pair<const char*, VImage>> others = {
        {"same colours, other layout", frame(scene(1, 2))},
        {"same colours, third layout", frame(scene(1, 3))},
        {"other colours, same layout", frame(scene(4, 1))},
        {"other scene", frame(scene(5, 5))},
        {"same place, largest object moved", frame(scene(1, 1, true))},
    };
    for (const auto& [name, image] : others) {
        EXPECT_LT(similarity(base, image), threshold) << name;
        EXPECT_LT(similarity(variants[0].second, image), threshold) << name;
    }
    for (std::size_t i = 0; i < others.size(); ++i)
        for (std::size_t j = i + 1; j < others.size(); ++j)
            EXPECT_LT(similarity(others[i].second, others[j].second), threshold)
                << others[i].first << " / " << others[j].first;
}

TEST_F(FeaturePrintTest, GreyPhotosFollowTheSameCalibration) {
    const VImage canvas = scene(2, 7).colourspace(VIPS_INTERPRETATION_B_W);
    ASSERT_EQ(canvas.bands(), 1);
    const VImage base = frame(canvas);
    const auto print = computeFeaturePrint(analysed(base));
    expectWellFormed(print);
    // Without chroma a grey frame carries less evidence: a 3 % shift scores about 0.935 here.
    EXPECT_GE(similarity(base, frame(canvas, 0.02, 0.0)), QuorlixFeature::nearThreshold);
    EXPECT_GE(similarity(base, expose(base, 0.5)), QuorlixFeature::nearThreshold);
    EXPECT_GE(similarity(base, recompress(base, 60)), QuorlixFeature::nearThreshold);
    const VImage other = frame(scene(2, 8).colourspace(VIPS_INTERPRETATION_B_W));
    EXPECT_LT(similarity(base, other), QuorlixFeature::nearThreshold);
}

TEST_F(FeaturePrintTest, FixedLengthDeterministicAndFinite) {
    const ImageBuffer photo = analysed(test::photoLike(1080, 720, 3));
    const auto first = computeFeaturePrint(photo);
    expectWellFormed(first);
    EXPECT_EQ(first, computeFeaturePrint(photo)); // bit for bit

    // Degenerate sizes and contents still give a well-formed vector of the same length.
    for (const auto& [w, h, channels, value] :
         std::vector<std::tuple<int, int, int, int>>{{1, 1, 3, 200},
                                                     {1, 1, 1, 0},
                                                     {3, 2, 3, 77},
                                                     {1, 900, 3, 12},
                                                     {800, 1, 1, 255},
                                                     {64, 64, 3, 128}}) {
        ImageBuffer tiny{w, h, channels, std::vector<std::uint8_t>(std::size_t(w) * h * channels)};
        for (std::size_t i = 0; i < tiny.pixels.size(); ++i)
            tiny.pixels[i] = std::uint8_t(value + (w > 3 ? int(i % 7) : 0));
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h) + "x" + std::to_string(channels));
        expectWellFormed(computeFeaturePrint(tiny));
    }
    EXPECT_EQ(computeFeaturePrint(ImageBuffer{}).size(), featurePrintLength);
    ImageBuffer truncated{10, 10, 3, std::vector<std::uint8_t>(20, 1)};
    EXPECT_EQ(computeFeaturePrint(truncated).size(), featurePrintLength);

    // Featureless frames match each other, and no photo.
    const auto black = computeFeaturePrint({40, 30, 3, std::vector<std::uint8_t>(40 * 30 * 3, 0)});
    EXPECT_FLOAT_EQ(featurePrintSimilarity(black, computeFeaturePrint({1, 1, 1, {128}})), 1.0f);
    EXPECT_LT(featurePrintSimilarity(black, first), QuorlixFeature::nearThreshold);
}

TEST(FeaturePrintSimilarity, MismatchedOrZeroVectorsNeverMatch) {
    const std::vector<float> a{1, 0, 0}, zero{0, 0, 0}, shorter{1, 0};
    EXPECT_EQ(featurePrintSimilarity(a, zero), 0.0f);
    EXPECT_EQ(featurePrintSimilarity(a, shorter), 0.0f);
    EXPECT_EQ(featurePrintSimilarity({}, {}), 0.0f);
    EXPECT_FLOAT_EQ(featurePrintSimilarity(a, a), 1.0f);
}
