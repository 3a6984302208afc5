#include "engine/analysis/AestheticsScorer.h"

#include "engine/analysis/ExifDate.h"
#include "engine/analysis/ImageDecoder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace quorlix {

// How the score is built, and why.
//
// The score has to carry exposure and detail well: among frames of one burst the clean frame
// (sharp, well exposed) must beat its blurred, burnt-out, too dark and noisy siblings, because the
// keeper is elected mostly on it. Everything is measured on the full analysis thumbnail (up to
// 1024 px): a blur of two or three pixels in a 12-megapixel frame is below one pixel here and
// disappears entirely at half this size.
//
// Detail. N is Immerkær's noise operator [1 −2 1; −2 4 −2; 1 −2 1] on luminance, divided by 6 so
// that white noise of σ gives E[N²] = σ². Its mean square over the image, E_fine, is the energy
// of the finest scale: real detail plus noise. A Laplacian variance alone would rise with noise
// and with burnt highlights (a clipped area has a hard border), both the wrong way, so:
//  - Noise σn: per 8×8 block, the same energy is also taken on a 2× box-reduced copy. White noise
//    keeps three quarters of its energy in the finest octave, E_fine − E_half ≈ ¾σ², while
//    texture and edges, whose energy grows toward coarse scales, give ≤ 0. Among the tenth of
//    blocks flattest at the reduced scale, the median of max(0, E_fine − E_half) / ¾ is σn².
//    (Taking the flattest blocks' E_fine alone mistakes fine texture, grass or skin, for noise,
//    and then rewards blurring it away.)
//  - Detail: √(E_fine − σn²), floored at ½√E_fine so that an over-estimated noise cannot wipe out
//    a frame's detail (the noise term charges for noise), divided by the same energy on a 4×
//    box-reduced copy, two octaves coarser: exposure scales both alike and the scene's own
//    texture mostly cancels, while a blur removes the finest octave first.
//      detail = √max(E_fine − σn², ¼E_fine) / (√max(0, E_coarse − σn²/16) + 1),
//      detailQ = detail / (detail + 0.25).
// Windows touching clipped pixels are left out of every energy, so burnt areas neither add hard
// borders nor remove texture.
//
// Exposure, from the luminance histogram (Rec. 709 weights on the sRGB values), in linear light:
//  - headroom: stops from the 99th percentile up to white; a darker frame wastes the top of the
//    range: exp(−h² / (2·1.5²)).
//  - placement: the median in stops from middle grey (18 %), weakly: exp(−m² / (2·3²)), so low-
//    and high-key scenes are not punished for being what they are.
//  - burnt highlights, exp(−5·clipHigh): pixels at white, channels at 248+ in bright pixels, and
//    a pile of ≥ 3 % of the pixels within 3 levels under the 99.5th percentile (highlights burnt
//    and then darkened, or rolled off by the camera). Crushed shadows, more gently,
//    exp(−3·clipLow).
//  exposureQ is their product. No term has a dead zone, so a sibling that is darker, brighter or
//  more clipped scores lower than its frame whatever the scene.
// The 1st–99th percentile range adds rangeQ = 1.15·r / (r + 0.15): a dark frame compresses it.
//
// Colourfulness (Hasler–Süsstrunk, on the 4× reduced copy so noise does not pose as colour) adds a
// small term, as the closest plain statistic to "pleasing": colourQ = c / (c + 0.1).
//
// Defects multiply the whole, and hard: the keeper's score also reads sharpness as a Laplacian
// variance, which sensor noise and the hard borders of burnt areas both inflate, so a noisy or
// burnt sibling of a soft scene gains up to a third of the score there; only a score that falls
// to the bottom for such a frame, while a clean frame stays high, outweighs that.
//  - noiseQ = exp(−(max(0, σn − 1) / 2)²), σn in 8-bit levels of the thumbnail: a level of grain
//    passes as texture, σn 5 (a high-ISO frame) leaves 2 %. Blocks near black or white, where
//    clipping cuts the noise off, are not used to estimate it.
//  - burntQ = exp(−20·max(0, white − 1 %)), white the fraction of pixels whose luminance is at
//    250 or more (saturated colours alone are not burnt): a specular glint passes, 5 % leaves
//    under half, 20 % nearly nothing.
// The blend of the image terms is lifted by a power of 0.4, so that a clean but plain frame (a
// soft, low-key or colourless scene) still scores well above a defective one, while the order
// of clean frames among themselves is kept:
//
//   q = (0.45·detailQ + 0.35·exposureQ + 0.10·rangeQ + 0.10·colourQ)^0.4 · noiseQ · burntQ,
//   overallScore = 2q − 1  (on −1…1).
//
// Utility: screenshots, documents and flat graphics have many pixels whose four neighbours carry
// exactly their colour (no sensor noise survives that), few distinct colours, and hard one-pixel
// luminance steps above 96 levels (text, outlines). A photo's EXIF naming a camera counts against
// utility, its absence toward it:
//   evidence = 0.45·ramp(flat, 15 %…50 %) + 0.30·ramp(log₂ colours for 95 % of pixels, 11…6)
//            + 0.15·ramp(steps, 0.3 %…3 %) + (−0.15 camera EXIF | +0.10 none | +0.05 unknown),
//   isUtility = evidence ≥ 0.5.

namespace {

constexpr int minimumSide = 16;

double clamp01(double v) {
    return std::clamp(v, 0.0, 1.0);
}

double ramp(double v, double from, double to) {
    return clamp01((v - from) / (to - from));
}

double srgbToLinear(double v) {
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

// Mean square of the normalised Immerkær response over windows that touch no clipped pixel; also
// per 8×8 block, for the noise estimate.
struct Energy {
    double mean = 0.0;
    int blocksWide = 0;
    std::vector<double> blocks; // row by row; negative where too few windows were measurable
};

template <typename T> bool isClipped(T v) {
    return v <= T(4) || v >= T(251);
}

template <typename T>
Energy immerkaer(const T* y, int width, int height, bool wantBlocks, int block = 8) {
    Energy out;
    if (width < 3 || height < 3)
        return out;
    const int bw = (width - 2 + block - 1) / block;
    const int bh = (height - 2 + block - 1) / block;
    std::vector<double> blockSum;
    std::vector<int> blockCount;
    if (wantBlocks) {
        blockSum.assign(std::size_t(bw) * bh, 0.0);
        blockCount.assign(std::size_t(bw) * bh, 0);
        out.blocksWide = bw;
        out.blocks.assign(std::size_t(bw) * bh, -1.0);
    }
    // Clipped flags of three rows, each spread one pixel sideways: a 3×3 window test is three
    // lookups, and only three rows are ever held.
    std::vector<std::uint8_t> wide(std::size_t(width) * 3, 0);
    const auto spread = [&](int r) {
        const T* row = y + std::size_t(r) * width;
        std::uint8_t* w = wide.data() + std::size_t(r % 3) * width;
        for (int x = 0; x < width; ++x)
            w[x] = isClipped(row[x]) || (x > 0 && isClipped(row[x - 1])) ||
                   (x + 1 < width && isClipped(row[x + 1]));
    };
    spread(0);
    spread(1);
    double total = 0.0;
    std::size_t count = 0;
    for (int r = 1; r + 1 < height; ++r) {
        spread(r + 1);
        const T* a = y + std::size_t(r - 1) * width;
        const T* b = a + width;
        const T* c = b + width;
        const std::uint8_t* wa = wide.data() + std::size_t((r - 1) % 3) * width;
        const std::uint8_t* wb = wide.data() + std::size_t(r % 3) * width;
        const std::uint8_t* wc = wide.data() + std::size_t((r + 1) % 3) * width;
        double rowSum = 0.0;
        std::size_t rowCount = 0;
        for (int x = 1; x + 1 < width; ++x) {
            if (wa[x] | wb[x] | wc[x])
                continue;
            const float n = (float(a[x - 1]) - 2.0f * float(a[x]) + float(a[x + 1])) -
                            2.0f * (float(b[x - 1]) - 2.0f * float(b[x]) + float(b[x + 1])) +
                            (float(c[x - 1]) - 2.0f * float(c[x]) + float(c[x + 1]));
            const double e = double(n) * double(n) / 36.0;
            rowSum += e;
            ++rowCount;
            if (wantBlocks) {
                const std::size_t k =
                    std::size_t((r - 1) / block) * bw + std::size_t((x - 1) / block);
                blockSum[k] += e;
                ++blockCount[k];
            }
        }
        total += rowSum;
        count += rowCount;
    }
    out.mean = count ? total / double(count) : 0.0;
    if (wantBlocks)
        for (std::size_t k = 0; k < blockSum.size(); ++k)
            if (blockCount[k] * 4 >= block * block * 3)
                out.blocks[k] = blockSum[k] / blockCount[k];
    return out;
}

} // namespace

AestheticsScorer& AestheticsScorer::shared() {
    static AestheticsScorer instance;
    return instance;
}

std::optional<ImageBuffer> AestheticsScorer::makeThumbnail(const std::filesystem::path& file,
                                                           int maxPixelSize) {
    return ImageDecoder::thumbnail(file, maxPixelSize);
}

std::optional<AestheticsResult>
AestheticsScorer::scoreImage(const ImageBuffer& image,
                             std::optional<bool> hasCameraMetadata) const {
    auto signals = measure(image, hasCameraMetadata);
    if (!signals)
        return std::nullopt;
    return signals->result;
}

std::optional<AestheticsResult> AestheticsScorer::scoreFile(const std::filesystem::path& file,
                                                            int maxPixelSize) const {
    auto thumb = makeThumbnail(file, maxPixelSize);
    if (!thumb)
        return std::nullopt;
    return scoreImage(*thumb, ExifDate::read(file).hasCameraMetadata);
}

std::optional<AestheticsSignals> AestheticsScorer::measure(const ImageBuffer& image,
                                                           std::optional<bool> hasCameraMetadata) {
    if (image.empty() || image.width < minimumSide || image.height < minimumSide ||
        (image.channels != 1 && image.channels != 3) ||
        image.pixels.size() < std::size_t(image.width) * image.height * image.channels)
        return std::nullopt;
    const int w = image.width;
    const int h = image.height;
    const std::size_t n = std::size_t(w) * h;
    const int ch = image.channels;
    const std::uint8_t* px = image.pixels.data();

    // Luminance (Rec. 709 weights on the sRGB values), histogram, clipping, packed colours.
    std::vector<std::uint8_t> luma(n);
    std::array<std::size_t, 256> histogram{};
    std::vector<std::uint32_t> palette(32768, 0);
    std::size_t clipHigh = 0, clipLow = 0, white = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint8_t* p = px + i * ch;
        const unsigned r = p[0], g = ch == 3 ? p[1] : p[0], b = ch == 3 ? p[2] : p[0];
        const unsigned yi = (54 * r + 183 * g + 19 * b + 128) >> 8;
        luma[i] = std::uint8_t(yi);
        ++histogram[yi];
        const unsigned maxc = std::max({r, g, b});
        const bool high = yi >= 250 || (maxc >= 248 && yi >= 180);
        clipHigh += high;
        white += yi >= 250;
        clipLow += yi <= 4;
        ++palette[((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3)];
    }
    AestheticsSignals s;
    s.clipHigh = double(clipHigh) / double(n);
    s.burnt = double(white) / double(n);
    s.clipLow = double(clipLow) / double(n);

    const auto percentile = [&](double fraction) {
        const double target = fraction * double(n);
        double seen = 0;
        for (int v = 0; v < 256; ++v) {
            seen += double(histogram[v]);
            if (seen >= target)
                return v;
        }
        return 255;
    };
    const double median = percentile(0.5) / 255.0;
    const int top = percentile(0.99);
    s.range = (top - percentile(0.01)) / 255.0;
    s.medianStops = std::log2(std::max(srgbToLinear(median), 1.0 / 4096.0) / 0.18);
    s.headroomStops = -std::log2(std::max(srgbToLinear(top / 255.0), 1.0 / 4096.0));
    // Highlights burnt below white (a clipped frame darkened afterwards, or a camera's highlight
    // roll-off) pile up in a narrow band at the top of the histogram: count that spike as
    // clipping too.
    const int nearTop = std::max(0, percentile(0.995) - 3);
    std::size_t atTop = 0;
    for (int v = nearTop; v < 256; ++v)
        atTop += histogram[std::size_t(v)];
    if (double(atTop) >= 0.03 * double(n))
        s.clipHigh = std::max(s.clipHigh, double(atTop) / double(n));

    // Noise and finest-scale energy. Per 8×8 block, noise is what the finest scale holds beyond
    // the next coarser one: white noise keeps three quarters of its energy there, while texture
    // and edges, whose energy grows toward coarse scales, subtract away.
    const Energy fine = immerkaer(luma.data(), w, h, true);
    const int hw = w / 2, hh = h / 2;
    std::vector<float> half(std::size_t(hw) * hh);
    for (int r = 0; r < hh; ++r)
        for (int x = 0; x < hw; ++x) {
            const std::size_t i = std::size_t(2 * r) * w + std::size_t(2 * x);
            const float v = float(luma[i] + luma[i + 1] + luma[i + w] + luma[i + w + 1]) * 0.25f;
            half[std::size_t(r) * hw + x] = v;
        }
    const Energy halfEnergy = immerkaer(half.data(), hw, hh, true, 4);
    // Blocks flattest at the coarser scale hold the least texture; among the flattest tenth, the
    // median excess is the noise.
    // Near black or white the noise is cut off by clipping, and the windows that escape the
    // clipped pixels are the quiet ones: such blocks would under-read it.
    std::vector<double> blockMean(fine.blocks.size(), 0.0);
    if (fine.blocksWide > 0) {
        std::vector<int> blockCount(fine.blocks.size(), 0);
        for (int r = 1; r + 1 < h; ++r)
            for (int x = 1; x + 1 < w; ++x) {
                const std::size_t k = std::size_t((r - 1) / 8) * std::size_t(fine.blocksWide) +
                                      std::size_t((x - 1) / 8);
                blockMean[k] += luma[std::size_t(r) * w + x];
                ++blockCount[k];
            }
        for (std::size_t k = 0; k < blockMean.size(); ++k)
            blockMean[k] /= std::max(1, blockCount[k]);
    }
    std::vector<std::pair<double, double>> pairs; // (coarser energy, excess)
    for (std::size_t k = 0; k < fine.blocks.size(); ++k) {
        const std::size_t bx = k % std::size_t(fine.blocksWide);
        const std::size_t by = k / std::size_t(fine.blocksWide);
        const std::size_t hk = by * std::size_t(halfEnergy.blocksWide) + bx;
        if (fine.blocks[k] < 0 || bx >= std::size_t(halfEnergy.blocksWide) ||
            hk >= halfEnergy.blocks.size() || halfEnergy.blocks[hk] < 0 || blockMean[k] < 24.0 ||
            blockMean[k] > 230.0)
            continue;
        pairs.emplace_back(halfEnergy.blocks[hk],
                           std::max(0.0, fine.blocks[k] - halfEnergy.blocks[hk]) / 0.75);
    }
    double noiseVar = 0.0;
    if (!pairs.empty()) {
        const std::size_t flattest =
            std::min(pairs.size(), std::max<std::size_t>(8, pairs.size() / 10));
        std::nth_element(pairs.begin(), pairs.begin() + std::ptrdiff_t(flattest - 1), pairs.end());
        std::vector<double> excess;
        for (std::size_t i = 0; i < flattest; ++i)
            excess.push_back(pairs[i].second);
        const std::size_t k = excess.size() / 2;
        std::nth_element(excess.begin(), excess.begin() + std::ptrdiff_t(k), excess.end());
        noiseVar = excess[k];
    }
    s.noiseSigma = std::sqrt(noiseVar);

    // The 4× reduced copy: coarse energy and colourfulness.
    const int cw = w / 4, chh = h / 4;
    std::vector<float> coarse(std::size_t(cw) * chh);
    double sumRg = 0, sumYb = 0, sumRg2 = 0, sumYb2 = 0;
    for (int cy = 0; cy < chh; ++cy)
        for (int cx = 0; cx < cw; ++cx) {
            double yl = 0, r = 0, g = 0, b = 0;
            for (int dy = 0; dy < 4; ++dy) {
                const std::size_t row = std::size_t(cy * 4 + dy) * w + std::size_t(cx * 4);
                for (int dx = 0; dx < 4; ++dx) {
                    const std::uint8_t* p = px + (row + dx) * ch;
                    yl += luma[row + dx];
                    r += p[0];
                    g += ch == 3 ? p[1] : p[0];
                    b += ch == 3 ? p[2] : p[0];
                }
            }
            const std::size_t k = std::size_t(cy) * cw + cx;
            coarse[k] = float(yl / 16.0);
            const double rg = (r - g) / 16.0, yb = ((r + g) / 2.0 - b) / 16.0;
            sumRg += rg;
            sumYb += yb;
            sumRg2 += rg * rg;
            sumYb2 += yb * yb;
        }
    const Energy coarseEnergy = immerkaer(coarse.data(), cw, chh, false);
    // The floor keeps a frame whose noise estimate swallowed its finest scale from reading as
    // detail-free; the noise term already charges for it.
    const double fineDetail = std::sqrt(std::max(fine.mean - noiseVar, 0.25 * fine.mean));
    const double coarseDetail = std::sqrt(std::max(0.0, coarseEnergy.mean - noiseVar / 16.0));
    s.detail = fineDetail / (coarseDetail + 1.0);
    if (!coarse.empty()) {
        const double m = double(coarse.size());
        const double meanRg = sumRg / m, meanYb = sumYb / m;
        const double sdRg = std::sqrt(std::max(0.0, sumRg2 / m - meanRg * meanRg));
        const double sdYb = std::sqrt(std::max(0.0, sumYb2 / m - meanYb * meanYb));
        s.colourfulness = (std::hypot(sdRg, sdYb) + 0.3 * std::hypot(meanRg, meanYb)) / 255.0;
    }

    // Quality terms.
    s.detailQuality = s.detail / (s.detail + 0.25);
    const double headroom = std::exp(-s.headroomStops * s.headroomStops / (2.0 * 1.5 * 1.5));
    const double placement = std::exp(-s.medianStops * s.medianStops / (2.0 * 3.0 * 3.0));
    s.exposureQuality =
        headroom * placement * std::exp(-5.0 * s.clipHigh) * std::exp(-3.0 * s.clipLow);
    const double rangeQuality = 1.15 * s.range / (s.range + 0.15);
    const double colourQuality = s.colourfulness / (s.colourfulness + 0.1);
    // Natural grain up to a level of σ reads as texture; beyond it the penalty grows fast.
    const double excessNoise = std::max(0.0, s.noiseSigma - 1.0) / 2.0;
    s.noiseQuality = std::exp(-excessNoise * excessNoise);
    const double burntQuality = std::exp(-20.0 * std::max(0.0, s.burnt - 0.01));
    const double base = 0.45 * s.detailQuality + 0.35 * s.exposureQuality + 0.10 * rangeQuality +
                        0.10 * colourQuality;
    const double q = std::pow(std::max(base, 0.0), 0.4) * s.noiseQuality * burntQuality;
    s.result.overallScore = std::clamp(2.0 * q - 1.0, -1.0, 1.0);

    // Utility evidence.
    std::size_t flat = 0, steps = 0, inner = 0;
    for (int r = 1; r + 1 < h; ++r) {
        const std::size_t row = std::size_t(r) * w;
        for (int x = 1; x + 1 < w; ++x) {
            const std::size_t i = row + x;
            const std::uint8_t* c = px + i * ch;
            const std::size_t stride = std::size_t(w) * ch;
            flat += std::memcmp(c, c - ch, ch) == 0 && std::memcmp(c, c + ch, ch) == 0 &&
                    std::memcmp(c, c - stride, ch) == 0 && std::memcmp(c, c + stride, ch) == 0;
            steps += std::abs(int(luma[i]) - int(luma[i + 1])) > 96 ||
                     std::abs(int(luma[i]) - int(luma[i + w])) > 96;
            ++inner;
        }
    }
    s.flatFraction = inner ? double(flat) / double(inner) : 0.0;
    s.stepFraction = inner ? double(steps) / double(inner) : 0.0;
    palette.erase(std::remove(palette.begin(), palette.end(), 0u), palette.end());
    std::sort(palette.begin(), palette.end(), std::greater<>());
    double covered = 0;
    for (std::uint32_t c : palette) {
        if (covered >= 0.95 * double(n) || c == 0)
            break;
        covered += c;
        ++s.paletteSize;
    }
    const double fewColours = ramp(std::log2(double(std::max(1, s.paletteSize))), 11.0, 6.0);
    const double camera = !hasCameraMetadata ? 0.05 : (*hasCameraMetadata ? -0.15 : 0.1);
    s.utilityEvidence = 0.45 * ramp(s.flatFraction, 0.15, 0.5) + 0.3 * fewColours +
                        0.15 * ramp(s.stepFraction, 0.003, 0.03) + camera;
    s.result.isUtility = s.utilityEvidence >= 0.5;
    return s;
}

} // namespace quorlix
