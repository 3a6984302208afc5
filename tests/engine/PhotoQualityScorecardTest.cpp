#include "engine/analysis/PhotoQualityScorecard.h"

#include "TempFolder.h"
#include "engine/analysis/ImageDecoder.h"
#include "engine/core/GrayImage.h"

#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>

using namespace quorlix;
using Scorecard = PhotoQualityScorecard;
using R = ScoreReason;

namespace {

FaceObservation face(double side, std::vector<NormalizedPoint> left,
                     std::vector<NormalizedPoint> right, std::optional<float> quality = 0.8f) {
    return {.x = 0.1,
            .y = 0.1,
            .width = side,
            .height = side,
            .captureQuality = quality,
            .leftEye = std::move(left),
            .rightEye = std::move(right)};
}

// An eye contour of the given height-to-width ratio, six points like the landmark model gives.
std::vector<NormalizedPoint> eye(double ratio) {
    const double w = 0.2, h = w * ratio;
    return {{0, h / 2}, {0.06, 0}, {0.14, 0}, {w, h / 2}, {0.14, h}, {0.06, h}};
}

ImageBuffer image(int width, int height, std::uint8_t value = 128) {
    return {width, height, 3, std::vector<std::uint8_t>(std::size_t(width) * height * 3, value)};
}

PhotoRecord recordFor(const std::filesystem::path& file) {
    return {.id = "id-" + file.filename().string(), .fileURL = file.string()};
}

std::filesystem::path testData(const char* name) {
    return std::filesystem::path(QUORLIX_TEST_DATA_DIR) / name;
}

} // namespace

// Worked by hand. Weights without a face: aesthetics 0.45, sharpness 0.35, exposure 0.2; with
// one: 0.3, face 0.25, 0.25, 0.15. A term without its signal is dropped and the others
// renormalised. Exposure: what is left unclipped, burnt highlights costing eight times their
// share, times the mid-tones' balance (1 at middle grey, 0.5 at four stops away or more).
TEST(PhotoQualityScorecard, ScoresAndReasons) {
    struct Case {
        const char* name;
        QualitySignals s;
        double score;
        std::vector<R> reasons;
    };
    const std::vector<R> good{R::sharp, R::goodExposure, R::goodAesthetics};
    const std::vector<R> under{R::underexposed};
    const Case cases[] = {
        {"all good", {.aesthetics01 = 0.8, .sharpness01 = 1}, 91, good},
        {"utility",
         {.aesthetics01 = 0.8, .sharpness01 = 1, .isUtility = true},
         45.5,
         {R::utility, R::sharp, R::goodExposure, R::goodAesthetics}},
        {"clean grain", {.aesthetics01 = 0.8, .sharpness01 = 1, .noiseLevel = 0.15}, 91, good},
        {"full grain", {.aesthetics01 = 0.8, .sharpness01 = 1, .noiseLevel = 1}, 63.7, good},
        {"two stops dark", {.aesthetics01 = 0.8, .sharpness01 = 1, .midtoneStops = -2}, 86, good},
        {"nine stops bright", {.aesthetics01 = 0.8, .sharpness01 = 1, .midtoneStops = 9}, 81, good},
        {"5 % burnt", {.aesthetics01 = 0.8, .sharpness01 = 1, .highlightClip01 = 0.05}, 83, good},
        {"face",
         {.aesthetics01 = 0.8, .faceQuality = 0.6, .sharpness01 = 0.5, .shadowClip01 = 0.1},
         65 / 0.95,
         {R::goodAesthetics}},
        {"no face",
         {.aesthetics01 = 0.8, .sharpness01 = 0.5, .shadowClip01 = 0.1},
         71.5,
         {R::goodAesthetics}},
        {"no aesthetics", {.sharpness01 = 0.5, .shadowClip01 = 0.1}, 35.5 / 0.55, {}},
        {"eyes open",
         {.aesthetics01 = 0.8, .faceQuality = 1, .eyesOpen = true, .sharpness01 = 1},
         89 / 0.95,
         {R::eyesOpen, R::sharp, R::goodExposure, R::goodAesthetics}},
        {"eyes closed, utility",
         {.aesthetics01 = 0.8,
          .faceQuality = 1,
          .eyesOpen = false,
          .sharpness01 = 1,
          .isUtility = true},
         89 / 0.95 * 0.55 * 0.5,
         {R::eyesClosed, R::utility, R::sharp, R::goodExposure, R::goodAesthetics}},
        {"NaN", {.aesthetics01 = 0.8, .sharpness01 = NAN}, 0, {R::goodExposure, R::goodAesthetics}},
        {"clamped", {.aesthetics01 = 5, .sharpness01 = 1}, 100, good},
        // Every signal reading one value scores that value, whichever terms are present.
        {"one value", {.sharpness01 = 0.5, .shadowClip01 = 0.5}, 50, under},
        {"one value", {.aesthetics01 = 0.5, .sharpness01 = 0.5, .shadowClip01 = 0.5}, 50, under},
        {"one value", {.faceQuality = 0.5, .sharpness01 = 0.5, .shadowClip01 = 0.5}, 50, under},
        {"one value",
         {.aesthetics01 = 0.5, .faceQuality = 0.5, .sharpness01 = 0.5, .shadowClip01 = 0.5},
         50,
         under},
        // Where the reasons change.
        {"sharp", {.sharpness01 = 0.65}, 42.75 / 0.55, {R::sharp, R::goodExposure}},
        {"neither", {.sharpness01 = 0.3}, 30.5 / 0.55, {R::goodExposure}},
        {"blurry", {.sharpness01 = 0.2999}, 30.4965 / 0.55, {R::blurry, R::goodExposure}},
        {"5 % dark", {.sharpness01 = 0.5, .shadowClip01 = 0.05}, 36.5 / 0.55, {R::goodExposure}},
        {"just over", {.sharpness01 = 0.5, .shadowClip01 = 0.0500001}, 36.5 / 0.55, {}},
        {"both 20 %",
         {.sharpness01 = 0.5, .shadowClip01 = 0.2, .highlightClip01 = 0.2},
         17.5 / 0.55,
         {R::underexposed, R::overexposed}},
        {"all clipped",
         {.sharpness01 = 0.5, .shadowClip01 = 0.5, .highlightClip01 = 0.5},
         17.5 / 0.55,
         {R::underexposed, R::overexposed}},
        {"good",
         {.aesthetics01 = 0.7, .sharpness01 = 0.5},
         69,
         {R::goodExposure, R::goodAesthetics}},
        {"middling", {.aesthetics01 = 0.69, .sharpness01 = 0.5}, 68.55, {R::goodExposure}},
        {"low",
         {.aesthetics01 = 0.35, .sharpness01 = 0.5},
         53.25,
         {R::goodExposure, R::lowAesthetics}},
    };
    for (const auto& c : cases) {
        const auto scored = Scorecard::scoreAndReasons(c.s);
        EXPECT_NEAR(scored.score, c.score, 1e-3) << c.name;
        EXPECT_EQ(scored.reasons, c.reasons) << c.name;
    }
    // A missing aesthetics score counts as the average of the other terms, never as zero.
    for (const bool withFace : {false, true}) {
        QualitySignals s{.sharpness01 = 0.5, .shadowClip01 = 0.1};
        if (withFace)
            s.faceQuality = 0.6;
        const double without = Scorecard::scoreAndReasons(s).score;
        s.aesthetics01 = without / 100.0;
        EXPECT_NEAR(Scorecard::scoreAndReasons(s).score, without, 1e-9) << withFace;
    }
}

TEST(PhotoQualityScorecard, FacePassRules) {
    // One face with both eyes closed decides, even after or before a face with open eyes.
    const auto open = face(0.3, eye(0.3), eye(0.3), 0.9f);
    const auto shut = face(0.3, eye(0.1), eye(0.15), 0.5f);
    for (const auto& faces : {std::vector{open, shut}, std::vector{shut, open}}) {
        const auto s = Scorecard::faceSignals(faces);
        EXPECT_EQ(s.eyesOpen, false);
        EXPECT_NEAR(*s.faceQuality, 0.7, 1e-7);
    }
    // One closed eye is a wink, not closed eyes; 0.16 itself counts as open.
    EXPECT_EQ(Scorecard::faceSignals({face(0.3, eye(0.1), eye(0.3))}).eyesOpen, true);
    EXPECT_EQ(Scorecard::faceSignals({face(0.3, eye(0.16), eye(0.16))}).eyesOpen, true);

    // Faces under 2 % of the image are ignored for quality and eyes alike.
    const auto tiny = face(0.14, eye(0.1), eye(0.1), 0.1f);
    EXPECT_FALSE(Scorecard::isSignificantFace(tiny));
    EXPECT_TRUE(Scorecard::isSignificantFace(face(std::sqrt(0.02) + 1e-12, {}, {})));
    EXPECT_EQ(Scorecard::faceSignals({tiny}), Scorecard::FaceSignals{});
    EXPECT_EQ(Scorecard::faceSignals({tiny, open}), (Scorecard::FaceSignals{double(0.9f), true}));

    // Missing capture quality: 0.5 only when no kept face has one. Unmeasurable eyes: absent.
    auto noQuality = face(0.3, {}, eye(0.3), std::nullopt);
    EXPECT_EQ(Scorecard::faceSignals({noQuality}), (Scorecard::FaceSignals{0.5, std::nullopt}));
    EXPECT_EQ(Scorecard::faceSignals({noQuality, open}).faceQuality, double(0.9f));

    // Eye openness: height over width of the contour's box, when there is one.
    EXPECT_EQ(Scorecard::eyeOpenness(std::nullopt), std::nullopt);
    EXPECT_EQ(Scorecard::eyeOpenness(std::vector<NormalizedPoint>{}), std::nullopt);
    EXPECT_EQ(Scorecard::eyeOpenness(std::vector<NormalizedPoint>{{0, 0}, {1, 1}, {2, 0}}),
              std::nullopt);
    EXPECT_EQ(Scorecard::eyeOpenness(
                  std::vector<NormalizedPoint>{{0.5, 0}, {0.5, 1}, {0.5, 2}, {0.5, 3}}),
              std::nullopt);
    EXPECT_DOUBLE_EQ(*Scorecard::eyeOpenness(
                         std::vector<NormalizedPoint>{{0, 0.1}, {0.5, 0}, {1, 0.1}, {0.5, 0.2}}),
                     0.2);
}

TEST(PhotoQualityScorecard, GrayRenderingAndPixelStatistics) {
    auto size = [](int w, int h) {
        const auto g = Scorecard::renderGray(image(w, h));
        return std::pair{g->width, g->height};
    };
    EXPECT_EQ(size(1024, 683), std::pair(512, 341));
    EXPECT_EQ(size(683, 1024), std::pair(341, 512));
    EXPECT_EQ(size(300, 200), std::pair(300, 200));
    EXPECT_EQ(size(3000, 2), std::pair(512, 1));
    EXPECT_EQ(Scorecard::renderGray(ImageBuffer{}), std::nullopt);
    const auto mid = Scorecard::renderGray(image(1000, 10, 77));
    EXPECT_EQ(mid->pixels.size(), 512u * 5u);
    EXPECT_EQ(mid->pixels.front(), 77);

    GrayImage g{4, 3, {0, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0, 0}};
    // Interior Laplacians 40 and -10: mean 15, variance 850 - 225.
    EXPECT_DOUBLE_EQ(Scorecard::laplacianVariance(g), 625.0);
    EXPECT_EQ(Scorecard::laplacianVariance(GrayImage{2, 5, std::vector<std::uint8_t>(10, 200)}),
              0.0);
    EXPECT_EQ(Scorecard::laplacianVariance(GrayImage{5, 5, std::vector<std::uint8_t>(25, 9)}), 0.0);

    EXPECT_EQ(Scorecard::clipFractions({}), std::pair(0.0, 0.0));
    EXPECT_EQ(Scorecard::clipFractions({0, 5, 6, 249, 250, 255, 128, 128}), std::pair(0.25, 0.25));
}

TEST(PhotoQualityScorecard, EvaluateFailsOnUndecodableFile) {
    test::TempFolder dir;
    const auto file = dir.write("holiday photo.jpg", "not a jpeg at all");
    try {
        Scorecard::shared().evaluate(recordFor(file));
        FAIL() << "expected PhotoQualityError";
    } catch (const PhotoQualityError& e) {
        EXPECT_EQ(e.kind(), PhotoQualityError::Kind::undecodable);
        EXPECT_STREQ(e.what(), "Image not decodable: holiday photo.jpg");
    }
    EXPECT_THROW(Scorecard::shared().evaluate(recordFor(dir.path() / "missing.png")),
                 PhotoQualityError);
}

TEST(PhotoQuality, JsonRoundTripAndReasonNames) {
    PhotoQuality q{.recordId = "abc",
                   .aesthetics = -0.25f,
                   .isUtility = true,
                   .eyesOpen = false,
                   .sharpness = 0.75f,
                   .exposureClip = 0.125f,
                   .score = 45.5f,
                   .reasons = {R::eyesClosed, R::utility},
                   .computedAt = 1.7e9 + 0.5};
    const std::string json = toJson(q);
    EXPECT_EQ(json, R"({"recordId":"abc","aesthetics":-0.25,"isUtility":true,"eyesOpen":false,)"
                    R"("sharpness":0.75,"exposureClip":0.125,"score":45.5,)"
                    R"("reasons":["eyesClosed","utility"],"computedAt":1700000000.5})");
    EXPECT_EQ(photoQualityFromJson(json), q);
    q.faceQuality = 0.3f;
    EXPECT_EQ(photoQualityFromJson(toJson(q)), q);
    EXPECT_EQ(photoQualityFromJson(R"({"recordId":"abc"})"), std::nullopt);
    EXPECT_EQ(photoQualityFromJson("not json"), std::nullopt);
    std::string unknown = json;
    unknown.replace(unknown.find("utility\"]"), 7, "smiling");
    EXPECT_EQ(photoQualityFromJson(unknown), std::nullopt);

    std::vector<std::string> names;
    for (R r : allScoreReasons) {
        names.emplace_back(toString(r));
        EXPECT_EQ(scoreReasonFromString(names.back()), r);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"eyesClosed", "blurry", "underexposed",
                                               "overexposed", "lowAesthetics", "utility", "sharp",
                                               "eyesOpen", "goodExposure", "goodAesthetics"}));
}

// Real landmarks on a small portrait crop, and on the same crop with both eyes painted shut.
// Scoring from the signals measured on the analysis thumbnail, or on its gray copy, gives what
// decoding the file again gives, face pass included; a record known to have no faces drops them.
TEST(PhotoQualityScorecard, PortraitScoresTheSameFromMeasuredSignalsAsFromItsFile) {
    FaceAnalyzer::shared().warmUpInBackground();
    FaceAnalyzer::shared().warmUp(); // waits for the load started above
    EXPECT_TRUE(FaceAnalyzer::shared().isReady());
    for (const bool shut : {false, true}) {
        const auto file = testData(shut ? "astronaut_face_eyes_shut.jpg" : "astronaut_face.jpg");
        SCOPED_TRACE(file.filename().string());
        const auto thumbnail = ImageDecoder::thumbnail(file, 1024);
        ASSERT_TRUE(thumbnail);
        const GrayImage g = grayOf(*thumbnail);
        const auto fromColour = Scorecard::measureImage(*thumbnail);
        const auto fromGray = Scorecard::measureImage(ImageBuffer{g.width, g.height, 1, g.pixels});
        ASSERT_TRUE(fromColour && fromGray);
        EXPECT_EQ(*fromColour, *fromGray);
        EXPECT_EQ(fromGray->eyesOpen, !shut);
        if (!shut) {
            const auto faces = FaceAnalyzer::shared().analyze(*thumbnail);
            ASSERT_EQ(faces.size(), 1u);
            EXPECT_TRUE(Scorecard::isSignificantFace(faces[0]));
            EXPECT_GT(*Scorecard::eyeOpenness(faces[0].leftEye), 0.16);
            EXPECT_GT(*Scorecard::eyeOpenness(faces[0].rightEye), 0.16);
            EXPECT_GT(*fromGray->faceQuality, 0.7);
            EXPECT_LE(*fromGray->faceQuality, 1.0);
        }
        for (const std::optional<int> faces : {std::optional<int>(), std::optional<int>(0)}) {
            PhotoRecord r = recordFor(file);
            r.aestheticScore = 0.1;
            r.isUtility = true;
            r.faceCount = faces;
            EXPECT_DOUBLE_EQ(*Scorecard::measure(*thumbnail, r).aesthetics01, 0.55);
            const PhotoQuality decoded = Scorecard::shared().evaluate(r);
            PhotoQuality reused = Scorecard::shared().evaluate(r, *fromGray);
            EXPECT_EQ(decoded.recordId, r.id);
            EXPECT_EQ(decoded.aesthetics, 0.1f);
            EXPECT_EQ(decoded.eyesOpen, faces ? std::optional<bool>() : std::optional(!shut));
            EXPECT_EQ(decoded.reasons.front(),
                      faces ? R::utility : (shut ? R::eyesClosed : R::eyesOpen));
            reused.computedAt = decoded.computedAt;
            EXPECT_EQ(reused, decoded);
        }
    }
    EXPECT_FALSE(Scorecard::measureImage(ImageBuffer{}));
    EXPECT_TRUE(FaceAnalyzer::shared().modelLoadSeconds());
}
