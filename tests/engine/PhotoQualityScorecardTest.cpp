#include "engine/analysis/PhotoQualityScorecard.h"

#include "TempFolder.h"
#include "engine/analysis/ImageDecoder.h"
#include "engine/core/GrayImage.h"
#include "engine/core/KeeperElection.h"

#include <chrono>
#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>
#include <vips/vips8>

using namespace quorlix;
using Scorecard = PhotoQualityScorecard;
using R = ScoreReason;

namespace {

QualitySignals plain(std::optional<double> aesthetics01, double sharpness01 = 1.0) {
    QualitySignals s;
    s.aesthetics01 = aesthetics01;
    s.sharpness01 = sharpness01;
    return s;
}

FaceObservation face(double side, std::vector<NormalizedPoint> left,
                     std::vector<NormalizedPoint> right, std::optional<float> quality = 0.8f) {
    FaceObservation f;
    f.x = f.y = 0.1;
    f.width = f.height = side;
    f.captureQuality = quality;
    f.leftEye = std::move(left);
    f.rightEye = std::move(right);
    return f;
}

// An eye contour of the given height-to-width ratio, six points like the landmark model gives.
std::vector<NormalizedPoint> eye(double ratio) {
    const double w = 0.2, h = w * ratio;
    return {{0, h / 2}, {0.06, 0}, {0.14, 0}, {w, h / 2}, {0.14, h}, {0.06, h}};
}

ImageBuffer image(int width, int height, std::uint8_t value = 128) {
    ImageBuffer b;
    b.width = width;
    b.height = height;
    b.channels = 3;
    b.pixels.assign(std::size_t(width) * height * 3, value);
    return b;
}

PhotoRecord recordFor(const std::filesystem::path& file) {
    PhotoRecord r;
    r.id = "id-" + file.filename().string();
    r.fileURL = file.string();
    return r;
}

std::filesystem::path testData(const char* name) {
    return std::filesystem::path(QUORLIX_TEST_DATA_DIR) / name;
}

} // namespace

TEST(PhotoQualityScorecard, WorkedExamples) {
    auto scored = Scorecard::scoreAndReasons(plain(0.8));
    EXPECT_EQ(float(scored.score), 91.0f);
    EXPECT_EQ(scored.reasons, (std::vector<R>{R::sharp, R::goodExposure, R::goodAesthetics}));

    auto utility = plain(0.8);
    utility.isUtility = true;
    scored = Scorecard::scoreAndReasons(utility);
    EXPECT_EQ(float(scored.score), 45.5f);
    EXPECT_EQ(scored.reasons,
              (std::vector<R>{R::utility, R::sharp, R::goodExposure, R::goodAesthetics}));
}

// A term without its signal is dropped and the others renormalised: signals that all read one
// value score that value whichever terms are present, and a missing aesthetics score counts as
// the average of the other terms, never as zero.
TEST(PhotoQualityScorecard, MissingSignalsAreDroppedNotZeroed) {
    auto score = [](const QualitySignals& s) {
        return Scorecard::scoreAndReasons(s).score;
    };
    for (const bool withFace : {false, true}) {
        for (const bool withAesthetics : {false, true}) {
            SCOPED_TRACE(std::to_string(withFace) + std::to_string(withAesthetics));
            auto s = plain(withAesthetics ? std::optional(0.5) : std::nullopt, 0.5);
            s.shadowClip01 = 0.5;
            if (withFace)
                s.faceQuality = 0.5;
            EXPECT_NEAR(score(s), 50.0, 1e-9);
        }
        auto s = plain({}, 0.5);
        s.shadowClip01 = 0.1;
        if (withFace)
            s.faceQuality = 0.6;
        const double without = score(s);
        s.aesthetics01 = without / 100.0;
        EXPECT_NEAR(score(s), without, 1e-9);
    }

    // Worked by hand: with a face, 0.3·0.8 + 0.25·0.6 + 0.25·0.5 + 0.15·0.9 = 0.65 of 0.95;
    // without, 0.45·0.8 + 0.35·0.5 + 0.2·0.9 = 0.715 of 1.
    auto s = plain(0.8, 0.5);
    s.shadowClip01 = 0.1;
    s.faceQuality = 0.6;
    EXPECT_NEAR(score(s), 68.421, 0.001);
    s.faceQuality.reset();
    EXPECT_NEAR(score(s), 71.5, 1e-9);
    s.aesthetics01.reset();
    EXPECT_EQ(Scorecard::scoreAndReasons(s).reasons, std::vector<R>{});
}

TEST(PhotoQualityScorecard, PenaltiesAndClamping) {
    auto s = plain(0.8);
    s.faceQuality = 1.0;
    s.eyesOpen = true;
    const double open = Scorecard::scoreAndReasons(s).score;
    EXPECT_EQ(Scorecard::scoreAndReasons(s).reasons.front(), R::eyesOpen);
    s.eyesOpen = false;
    s.isUtility = true;
    const auto closed = Scorecard::scoreAndReasons(s);
    EXPECT_DOUBLE_EQ(closed.score, open * 0.55 * 0.5);
    EXPECT_EQ(closed.reasons, (std::vector<R>{R::eyesClosed, R::utility, R::sharp, R::goodExposure,
                                              R::goodAesthetics}));
    EXPECT_EQ(Scorecard::scoreAndReasons(plain(0.8, NAN)).score, 0.0);
    EXPECT_EQ(Scorecard::scoreAndReasons(plain(5.0)).score, 100.0);
}

TEST(PhotoQualityScorecard, ReasonBoundaries) {
    auto reasons = [](QualitySignals s) {
        return Scorecard::scoreAndReasons(s).reasons;
    };
    EXPECT_EQ(reasons(plain({}, 0.65)), (std::vector<R>{R::sharp, R::goodExposure}));
    EXPECT_EQ(reasons(plain({}, 0.3)), (std::vector<R>{R::goodExposure}));
    EXPECT_EQ(reasons(plain({}, 0.2999)), (std::vector<R>{R::blurry, R::goodExposure}));

    auto s = plain({}, 0.5);
    s.shadowClip01 = 0.05;
    EXPECT_EQ(reasons(s), (std::vector<R>{R::goodExposure}));
    s.shadowClip01 = 0.0500001;
    EXPECT_EQ(reasons(s), (std::vector<R>{}));
    s.shadowClip01 = 0.2;
    s.highlightClip01 = 0.2;
    EXPECT_EQ(reasons(s), (std::vector<R>{R::underexposed, R::overexposed}));
    s.shadowClip01 = s.highlightClip01 = 0.5; // clip 1: exposure 0, never goodExposure
    EXPECT_EQ(reasons(s), (std::vector<R>{R::underexposed, R::overexposed}));
    EXPECT_DOUBLE_EQ(Scorecard::scoreAndReasons(s).score, 0.35 * 0.5 / 0.55 * 100.0);

    EXPECT_EQ(reasons(plain(0.7, 0.5)), (std::vector<R>{R::goodExposure, R::goodAesthetics}));
    EXPECT_EQ(reasons(plain(0.69, 0.5)), (std::vector<R>{R::goodExposure}));
    EXPECT_EQ(reasons(plain(0.35, 0.5)), (std::vector<R>{R::goodExposure, R::lowAesthetics}));
}

TEST(PhotoQualityScorecard, PickKeeper) {
    EXPECT_EQ(KeeperElection::pickKeeper({}), std::nullopt);
    EXPECT_EQ(KeeperElection::pickKeeper({{"b", 70}, {"a", 70}, {"c", 60}}), "a");
    EXPECT_EQ(KeeperElection::pickKeeper({{"a", 70}, {"b", 70}}), "a");
    EXPECT_EQ(KeeperElection::pickKeeper({{"a", 70}, {"z", 71}, {"b", 70}}), "z");
    EXPECT_EQ(KeeperElection::pickKeeper({{"a", NAN}, {"c", 10}, {"b", 10}}), "b");
    EXPECT_EQ(KeeperElection::pickKeeper({{"c", NAN}, {"b", NAN}}), "b");
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
}

TEST(PhotoQualityScorecard, EyeOpenness) {
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

TEST(PhotoQualityScorecard, MeasureWithoutFacePass) {
    // Left half black, right half white: every pixel clipped, sharpness from the one edge.
    ImageBuffer img = image(200, 100, 0);
    for (int y = 0; y < 100; ++y)
        for (int x = 100; x < 200; ++x)
            for (int c = 0; c < 3; ++c)
                img.pixels[(std::size_t(y) * 200 + x) * 3 + c] = 255;
    PhotoRecord r = recordFor("/nowhere/edge.png");
    r.faceCount = 0;
    r.aestheticScore = 0.2;
    const QualitySignals s = Scorecard::measure(img, r);
    EXPECT_EQ(s.faceQuality, std::nullopt);
    EXPECT_EQ(s.eyesOpen, std::nullopt);
    EXPECT_DOUBLE_EQ(*s.aesthetics01, 0.6);
    EXPECT_FALSE(s.isUtility);
    EXPECT_DOUBLE_EQ(s.shadowClip01, 0.5);
    EXPECT_DOUBLE_EQ(s.highlightClip01, 0.5);
    EXPECT_GT(s.sharpness01, 0.0);
    EXPECT_LE(s.sharpness01, 1.0);
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

TEST(PhotoQualityScorecard, EvaluateAssemblesTheVerdict) {
    test::TempFolder dir;
    const auto file = dir.path() / "noise.png";
    ImageBuffer noise = image(640, 480);
    std::uint32_t state = 12345;
    for (auto& p : noise.pixels) {
        state = state * 1664525u + 1013904223u;
        p = std::uint8_t(64 + (state >> 24) / 2); // 64…191: busy, never clipped
    }
    vips::VImage::new_from_memory(noise.pixels.data(), noise.pixels.size(), 640, 480, 3,
                                  VIPS_FORMAT_UCHAR)
        .write_to_file(file.c_str());
    PhotoRecord r = recordFor(file);
    r.faceCount = 0;
    r.aestheticScore = -0.4;
    r.isUtility = true;
    const double before =
        std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
    const PhotoQuality q = Scorecard::shared().evaluate(r);
    EXPECT_EQ(q.recordId, r.id);
    EXPECT_EQ(q.aesthetics, -0.4f);
    EXPECT_TRUE(q.isUtility);
    EXPECT_EQ(q.faceQuality, std::nullopt);
    EXPECT_EQ(q.eyesOpen, std::nullopt);
    EXPECT_EQ(q.sharpness, 1.0f); // noise is all edges
    EXPECT_GE(q.computedAt, before);
    EXPECT_EQ(q.reasons, (std::vector<R>{R::utility, R::sharp, R::goodExposure, R::lowAesthetics}));
    EXPECT_EQ(q.exposureClip, 0.0f);
    // The median grey of 64…191 lies about a quarter stop over middle grey.
    const double v = 127.5 / 255.0;
    const double stops = std::log2(std::pow((v + 0.055) / 1.055, 2.4) / 0.18);
    const double balance = 1.0 - stops / (2.0 * Scorecard::exposureStopsRange);
    EXPECT_NEAR(q.score, (0.45 * 0.3 + 0.35 + 0.2 * balance) * 50.0, 0.05);
}

// Real landmarks on a small portrait crop, and on the same crop with both eyes painted shut.
TEST(PhotoQualityScorecard, FacePassOnAPortrait) {
    const auto portrait = ImageDecoder::thumbnail(testData("astronaut_face.jpg"), 1024);
    ASSERT_TRUE(portrait);
    const auto faces = FaceAnalyzer::shared().analyze(*portrait);
    ASSERT_EQ(faces.size(), 1u);
    EXPECT_TRUE(Scorecard::isSignificantFace(faces[0]));
    EXPECT_GT(*Scorecard::eyeOpenness(faces[0].leftEye), 0.16);
    EXPECT_GT(*Scorecard::eyeOpenness(faces[0].rightEye), 0.16);
    const auto open = Scorecard::analyzeFaces(*portrait);
    EXPECT_EQ(open.eyesOpen, true);
    EXPECT_GT(*open.faceQuality, 0.7);
    EXPECT_LE(*open.faceQuality, 1.0);

    const auto shut = ImageDecoder::thumbnail(testData("astronaut_face_eyes_shut.jpg"), 1024);
    ASSERT_TRUE(shut);
    EXPECT_EQ(Scorecard::analyzeFaces(*shut).eyesOpen, false);

    const PhotoQuality q = Scorecard::shared().evaluate(recordFor(testData("astronaut_face.jpg")));
    EXPECT_EQ(q.eyesOpen, true);
    EXPECT_EQ(q.reasons.front(), R::eyesOpen);
    EXPECT_TRUE(FaceAnalyzer::shared().modelLoadSeconds());
}

TEST(PhotoQuality, JsonRoundTripAndReasonNames) {
    PhotoQuality q;
    q.recordId = "abc";
    q.aesthetics = -0.25f;
    q.isUtility = true;
    q.eyesOpen = false;
    q.sharpness = 0.75f;
    q.exposureClip = 0.125f;
    q.score = 45.5f;
    q.reasons = {R::eyesClosed, R::utility};
    q.computedAt = 1.7e9 + 0.5;
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

// Scoring from signals measured on the analysis thumbnail, or on its gray copy, must give what
// decoding the file again gives, face pass included; a record known to have no faces drops them.
TEST(PhotoQualityScorecard, EvaluateFromMeasuredSignalsMatchesDecoding) {
    FaceAnalyzer::shared().warmUpInBackground();
    FaceAnalyzer::shared().warmUp(); // waits for the load started above
    EXPECT_TRUE(FaceAnalyzer::shared().isReady());
    for (const char* name : {"astronaut_face.jpg", "astronaut_face_eyes_shut.jpg"}) {
        const auto thumbnail = ImageDecoder::thumbnail(testData(name), 1024);
        ASSERT_TRUE(thumbnail);
        const GrayImage g = grayOf(*thumbnail);
        const ImageBuffer gray{g.width, g.height, 1, g.pixels};
        const auto fromColour = Scorecard::measureImage(*thumbnail);
        const auto fromGray = Scorecard::measureImage(gray);
        ASSERT_TRUE(fromColour);
        ASSERT_TRUE(fromGray);
        EXPECT_EQ(*fromColour, *fromGray);
        EXPECT_TRUE(fromGray->faceQuality);

        for (std::optional<int> faces : {std::optional<int>(), std::optional<int>(0)}) {
            PhotoRecord r = recordFor(testData(name));
            r.aestheticScore = 0.1;
            r.isUtility = true;
            r.faceCount = faces;
            const PhotoQuality decoded = Scorecard::shared().evaluate(r);
            const PhotoQuality reused = Scorecard::shared().evaluate(r, *fromGray);
            EXPECT_EQ(reused.score, decoded.score) << name;
            EXPECT_EQ(reused.reasons, decoded.reasons) << name;
            EXPECT_EQ(reused.faceQuality, decoded.faceQuality) << name;
            EXPECT_EQ(reused.eyesOpen, decoded.eyesOpen) << name;
            EXPECT_EQ(reused.sharpness, decoded.sharpness) << name;
            EXPECT_EQ(reused.exposureClip, decoded.exposureClip) << name;
            EXPECT_EQ(reused.aesthetics, decoded.aesthetics) << name;
            EXPECT_EQ(reused.isUtility, decoded.isUtility) << name;
        }
    }
    EXPECT_FALSE(Scorecard::measureImage(ImageBuffer{}));
}
