#include "engine/analysis/PhotoQualityScorecard.h"

#include "engine/analysis/ImageDecoder.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <numbers>
#include <vector>

namespace quorlix {

namespace {

std::string lastPathComponent(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

} // namespace

PhotoQualityScorecard& PhotoQualityScorecard::shared() {
    static PhotoQualityScorecard instance;
    return instance;
}

std::optional<ImageBuffer> PhotoQualityScorecard::thumbnailOf(const PhotoRecord& record) {
    return ImageDecoder::thumbnail(record.fileURL, thumbnailMaxPixelSize);
}

std::optional<QualitySignals> PhotoQualityScorecard::measureFile(const PhotoRecord& record) {
    const auto thumbnail = thumbnailOf(record);
    return thumbnail ? measureImage(*thumbnail) : std::nullopt;
}

PhotoQuality PhotoQualityScorecard::evaluate(const PhotoRecord& record) {
    const auto thumbnail = thumbnailOf(record);
    if (!thumbnail)
        throw PhotoQualityError::undecodable(lastPathComponent(record.fileURL));
    return assemble(record, measure(*thumbnail, record));
}

PhotoQuality PhotoQualityScorecard::evaluate(const PhotoRecord& record,
                                             const QualitySignals& imageSignals) {
    QualitySignals s = imageSignals;
    if (record.faceCount && *record.faceCount == 0) {
        s.faceQuality.reset();
        s.eyesOpen.reset();
    }
    if (record.aestheticScore)
        s.aesthetics01 = (*record.aestheticScore + 1.0) * 0.5;
    else
        s.aesthetics01.reset();
    s.isUtility = record.isUtility.value_or(false);
    s.noiseLevel = record.noiseLevel;
    return assemble(record, s);
}

PhotoQuality PhotoQualityScorecard::assemble(const PhotoRecord& record, QualitySignals signals) {
    const Score scored = scoreAndReasons(signals);
    PhotoQuality q;
    q.recordId = record.id;
    q.aesthetics = float(record.aestheticScore.value_or(0.0));
    q.isUtility = signals.isUtility;
    if (signals.faceQuality)
        q.faceQuality = float(*signals.faceQuality);
    q.eyesOpen = signals.eyesOpen;
    q.sharpness = float(signals.sharpness01);
    q.exposureClip = float(std::min(signals.shadowClip01 + signals.highlightClip01, 1.0));
    q.score = float(scored.score);
    q.reasons = scored.reasons;
    q.computedAt =
        std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
    return q;
}

QualitySignals PhotoQualityScorecard::measure(const ImageBuffer& image, const PhotoRecord& record) {
    auto s = measureImage(image, !(record.faceCount && *record.faceCount == 0));
    if (!s)
        throw PhotoQualityError::undecodable(lastPathComponent(record.fileURL));
    if (record.aestheticScore)
        s->aesthetics01 = (*record.aestheticScore + 1.0) * 0.5;
    s->isUtility = record.isUtility.value_or(false);
    s->noiseLevel = record.noiseLevel;
    return *s;
}

std::optional<QualitySignals> PhotoQualityScorecard::measureImage(const ImageBuffer& image) {
    return measureImage(image, true);
}

std::optional<QualitySignals>
PhotoQualityScorecard::measureImageWithoutWaiting(const ImageBuffer& image) {
    return measureImage(image, true, false);
}

std::optional<QualitySignals> PhotoQualityScorecard::measureImage(const ImageBuffer& image,
                                                                  bool facePass, bool wait) {
    QualitySignals s;
    if (facePass) {
        std::optional<std::vector<FaceObservation>> found;
        if (wait)
            found = FaceAnalyzer::shared().analyze(image);
        else
            found = FaceAnalyzer::shared().analyzeWithoutWaiting(image);
        if (!found)
            return std::nullopt;
        const FaceSignals faces = faceSignals(*found);
        s.faceQuality = faces.faceQuality;
        s.eyesOpen = faces.eyesOpen;
    }
    const auto gray = renderGray(image, grayMaxPixelSize);
    if (!gray)
        return std::nullopt;
    // Noise passes for detail in a Laplacian: its share (20 sigma^2 for the 4-neighbour kernel)
    // is taken out, so a grainy frame does not look sharper than its clean sibling.
    const double noise = noiseLevel(*gray).value_or(0.0);
    const double detail = std::max(laplacianVariance(*gray) - 20.0 * noise * noise, 0.0);
    s.sharpness01 = std::min(detail / sharpnessFull, 1.0);
    std::tie(s.shadowClip01, s.highlightClip01) = clipFractions(gray->pixels);
    s.midtoneStops = midtoneStops(gray->pixels);
    return s;
}

PhotoQualityScorecard::FaceSignals PhotoQualityScorecard::analyzeFaces(const ImageBuffer& image) {
    return faceSignals(FaceAnalyzer::shared().analyze(image));
}

PhotoQualityScorecard::FaceSignals
PhotoQualityScorecard::faceSignals(const std::vector<FaceObservation>& faces) {
    FaceSignals out;
    double sum = 0;
    int counted = 0, significant = 0;
    for (const auto& face : faces) {
        if (!isSignificantFace(face))
            continue;
        ++significant;
        if (face.captureQuality) {
            sum += double(*face.captureQuality);
            ++counted;
        }
    }
    if (significant == 0)
        return out;
    out.faceQuality = counted ? sum / counted : 0.5;

    for (const auto& face : faces) {
        if (!isSignificantFace(face))
            continue;
        const auto left = eyeOpenness(face.leftEye);
        const auto right = eyeOpenness(face.rightEye);
        if (!left || !right)
            continue;
        if (*left < eyeClosedRatio && *right < eyeClosedRatio) {
            out.eyesOpen = false;
            return out;
        }
        out.eyesOpen = true;
    }
    return out;
}

bool PhotoQualityScorecard::isSignificantFace(const FaceObservation& face) {
    return face.width * face.height >= significantFaceArea;
}

std::optional<double>
PhotoQualityScorecard::eyeOpenness(const std::optional<std::vector<NormalizedPoint>>& eye) {
    if (!eye || eye->size() < 4)
        return std::nullopt;
    double minX = eye->front().x, maxX = minX, minY = eye->front().y, maxY = minY;
    for (const auto& p : *eye) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    const double width = maxX - minX;
    if (!(width > 0))
        return std::nullopt;
    return (maxY - minY) / width;
}

std::optional<GrayImage> PhotoQualityScorecard::renderGray(const ImageBuffer& image,
                                                           int longerSide) {
    if (image.empty())
        return std::nullopt;
    const double scale =
        std::min(double(longerSide) / double(std::max(image.width, image.height)), 1.0);
    const int width = std::max(int(image.width * scale), 1);
    const int height = std::max(int(image.height * scale), 1);
    GrayImage gray = grayOf(image);
    if (gray.pixels.empty())
        return std::nullopt;
    if (gray.width == width && gray.height == height)
        return gray;
    GrayImage out = resampled(gray, width, height);
    if (out.pixels.empty())
        return std::nullopt;
    return out;
}

double PhotoQualityScorecard::laplacianVariance(const GrayImage& gray) {
    if (gray.pixels.size() < std::size_t(std::max(gray.width, 0)) * std::max(gray.height, 0))
        return 0;
    return quorlix::laplacianVariance(gray.pixels.data(), gray.width, gray.height);
}

namespace {

// Mean square of Immerkær's operator (divided by 6, so that white noise of sigma gives sigma^2)
// over the windows centred in [x0, x1) x [y0, y1) of a plane, leaving out windows that touch a
// clipped value, which carries no noise. Negative when too few windows count.
template <typename Value>
double immerkaerEnergy(const Value* plane, int width, int x0, int x1, int y0, int y1, double low,
                       double high) {
    double sum = 0;
    int counted = 0;
    for (int y = y0; y < y1; ++y) {
        const Value* r0 = plane + std::size_t(y - 1) * width;
        const Value* r1 = r0 + width;
        const Value* r2 = r1 + width;
        for (int x = x0; x < x1; ++x) {
            const double lo = std::min({r0[x - 1], r0[x], r0[x + 1], r1[x - 1], r1[x], r1[x + 1],
                                        r2[x - 1], r2[x], r2[x + 1]});
            const double hi = std::max({r0[x - 1], r0[x], r0[x + 1], r1[x - 1], r1[x], r1[x + 1],
                                        r2[x - 1], r2[x], r2[x + 1]});
            if (lo <= low || hi >= high)
                continue;
            const double v = (double(r0[x - 1]) + r0[x + 1] + r2[x - 1] + r2[x + 1]) -
                             2.0 * (double(r0[x]) + r1[x - 1] + r1[x + 1] + r2[x]) + 4.0 * r1[x];
            sum += v * v;
            ++counted;
        }
    }
    const int windows = (x1 - x0) * (y1 - y0);
    return counted * 4 >= windows * 3 ? sum / (36.0 * counted) : -1.0;
}

} // namespace

std::optional<double> PhotoQualityScorecard::noiseLevel(const GrayImage& gray) {
    // Blocks of 16 pixels, seen again on a copy reduced 2x by box averaging. White noise keeps
    // three quarters of its energy in the finest octave (E_fine - E_half = 3/4 sigma^2), while
    // texture and edges, whose energy grows toward coarse scales, give little or nothing: fine
    // texture read as noise would reward the blurred sibling that smeared it away.
    constexpr int block = 16, halfBlock = block / 2;
    const int w = gray.width, h = gray.height;
    if (w < 2 * block + 4 || h < 2 * block + 4 ||
        gray.pixels.size() < std::size_t(w) * std::size_t(h))
        return std::nullopt;
    const int hw = w / 2, hh = h / 2;
    std::vector<float> half(std::size_t(hw) * hh);
    for (int y = 0; y < hh; ++y)
        for (int x = 0; x < hw; ++x) {
            const std::size_t i = std::size_t(2 * y) * w + std::size_t(2 * x);
            half[std::size_t(y) * hw + x] =
                0.25f * float(gray.pixels[i] + gray.pixels[i + 1] + gray.pixels[i + w] +
                              gray.pixels[i + w + 1]);
        }
    std::vector<std::pair<double, double>> blocks; // (energy at half size, excess)
    for (int by = 1; by + block <= h - 2; by += block)
        for (int bx = 1; bx + block <= w - 2; bx += block) {
            const double fine = immerkaerEnergy(gray.pixels.data(), w, bx, bx + block, by,
                                                by + block, shadowClipLevel, highlightClipLevel);
            const int hx = std::max(bx / 2, 1), hy = std::max(by / 2, 1);
            if (fine < 0 || hx + halfBlock > hw - 1 || hy + halfBlock > hh - 1)
                continue;
            const double coarse =
                immerkaerEnergy(half.data(), hw, hx, hx + halfBlock, hy, hy + halfBlock,
                                shadowClipLevel, highlightClipLevel);
            if (coarse < 0)
                continue;
            blocks.emplace_back(coarse, std::max(0.0, fine - coarse) / 0.75);
        }
    if (blocks.size() < 8)
        return std::nullopt;
    // Among the half of the blocks flattest at the coarser scale, the median excess: the
    // flattest few, which a JPEG encoder smooths out, cannot read every photo as clean.
    const std::size_t flat = std::max<std::size_t>(8, blocks.size() / 2);
    std::nth_element(blocks.begin(), blocks.begin() + std::ptrdiff_t(flat - 1), blocks.end());
    std::vector<double> excess;
    for (std::size_t i = 0; i < flat; ++i)
        excess.push_back(blocks[i].second);
    const auto middle = excess.begin() + std::ptrdiff_t(excess.size() / 2);
    std::nth_element(excess.begin(), middle, excess.end());
    return std::sqrt(*middle);
}

double PhotoQualityScorecard::midtoneStops(const std::vector<std::uint8_t>& pixels) {
    if (pixels.empty())
        return 0;
    std::array<std::size_t, 256> histogram{};
    for (auto p : pixels)
        ++histogram[p];
    std::size_t seen = 0;
    int median = 0;
    while (median < 255 && (seen += histogram[std::size_t(median)]) * 2 < pixels.size())
        ++median;
    const double v = std::max(double(median), 1.0) / 255.0;
    const double linear = v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    return std::log2(linear / 0.18);
}

std::pair<double, double>
PhotoQualityScorecard::clipFractions(const std::vector<std::uint8_t>& pixels) {
    if (pixels.empty())
        return {0.0, 0.0};
    std::size_t shadows = 0, highlights = 0;
    for (auto p : pixels) {
        shadows += p <= shadowClipLevel;
        highlights += p >= highlightClipLevel;
    }
    const double n = double(pixels.size());
    return {double(shadows) / n, double(highlights) / n};
}

PhotoQualityScorecard::Score PhotoQualityScorecard::scoreAndReasons(const QualitySignals& s) {
    const double clip = s.shadowClip01 + s.highlightClip01;
    // Better exposed: less clipped, burnt highlights weighing most, and then with its median
    // nearer middle grey. Siblings share their scene, so of two unclipped frames a small step
    // apart the one whose mid-tones sit nearer middle grey wins.
    const double balance =
        1.0 - std::min(std::abs(s.midtoneStops), exposureStopsRange) / (2.0 * exposureStopsRange);
    const double kept =
        std::max(0.0, 1.0 - s.shadowClip01 - std::min(1.0, highlightClipCost * s.highlightClip01));
    const double exposure = clip < 1.0 ? kept * balance : 0.0;

    // The divisor is the sum of the weights in play, added in this order.
    double total = 0, weights = 0;
    auto add = [&](double weight, double value) {
        total += weight * value;
        weights += weight;
    };
    if (s.faceQuality) {
        if (s.aesthetics01)
            add(aestheticsWeightWithFace, *s.aesthetics01);
        add(faceQualityWeight, *s.faceQuality);
        add(sharpnessWeightWithFace, s.sharpness01);
        add(exposureWeightWithFace, exposure);
    } else {
        if (s.aesthetics01)
            add(aestheticsWeightWithoutFace, *s.aesthetics01);
        add(sharpnessWeightWithoutFace, s.sharpness01);
        add(exposureWeightWithoutFace, exposure);
    }
    Score out;
    out.score = total / weights * 100.0;
    if (s.eyesOpen == false)
        out.score *= eyesClosedMultiplier;
    if (s.isUtility)
        out.score *= utilityMultiplier;
    if (s.noiseLevel) {
        const double grain = std::clamp(
            (*s.noiseLevel - cleanNoiseAtMost) / (fullNoiseAt - cleanNoiseAtMost), 0.0, 1.0);
        out.score *= 1.0 - (1.0 - noisyMultiplier) * grain;
    }

    auto& r = out.reasons;
    if (s.eyesOpen)
        r.push_back(*s.eyesOpen ? ScoreReason::eyesOpen : ScoreReason::eyesClosed);
    if (s.isUtility)
        r.push_back(ScoreReason::utility);
    if (s.sharpness01 >= sharpAtLeast)
        r.push_back(ScoreReason::sharp);
    else if (s.sharpness01 < blurryBelow)
        r.push_back(ScoreReason::blurry);
    if (s.shadowClip01 >= badClipAtLeast)
        r.push_back(ScoreReason::underexposed);
    if (s.highlightClip01 >= badClipAtLeast)
        r.push_back(ScoreReason::overexposed);
    if (clip < 1.0 && clip <= goodExposureAtMost)
        r.push_back(ScoreReason::goodExposure);
    if (s.aesthetics01) {
        if (*s.aesthetics01 >= goodAestheticsAtLeast)
            r.push_back(ScoreReason::goodAesthetics);
        else if (*s.aesthetics01 <= lowAestheticsAtMost)
            r.push_back(ScoreReason::lowAesthetics);
    }

    if (!(out.score >= 0.0)) // also catches NaN
        out.score = 0.0;
    else if (out.score > 100.0)
        out.score = 100.0;
    return out;
}

} // namespace quorlix
