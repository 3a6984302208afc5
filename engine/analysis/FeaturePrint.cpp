#include "engine/analysis/FeaturePrint.h"

#include "engine/core/HalfFloat.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace quorlix {

namespace FeaturePrint {

namespace {

// Everything is measured on a small square working image: layouts are relative to the frame, so
// its aspect ratio does not matter, and the cost stays a single pass over the thumbnail.
constexpr int workingSize = 64;
constexpr int cells = workingSize * workingSize;

// A luminance layout of little contrast (a busy texture, fog) fades below this length instead of
// being blown up to unit length; the rank layout holds values within +-0.5 over 256 cells, about
// 4.6 long for an evenly spread frame.
constexpr float luminanceFloor = 3.0f;

// Chroma blocks of nearly grey photos are mostly noise; below this length (Cb/Cr relative to
// luminance, summed over the layout) they fade out instead of being blown up to unit length.
constexpr float chromaFloor = 0.45f;
// Added to the luminance a chroma is divided by, so that the colour of near-black cells, mostly
// noise, stays small.
constexpr float chromaDarkLevel = 24.0f;

// Added before the logarithm the gradients are taken of, so that the noise of near-black cells
// is not blown up.
constexpr float orientationDarkLevel = 16.0f;

struct Working {
    std::array<float, cells> luma{};
    std::array<float, cells> cb{};
    std::array<float, cells> cr{};
};

// Source range [begin, end) that working cell `i` of `n` averages along a side of `size` pixels;
// never empty, so tiny images are sampled rather than left with holes.
std::pair<int, int> span(int i, int n, int size) {
    const int begin = int(std::int64_t(i) * size / n);
    const int end = std::max(begin + 1, int(std::int64_t(i + 1) * size / n));
    return {std::min(begin, size - 1), std::min(end, size)};
}

Working downsample(const ImageBuffer& image) {
    Working w;
    const int channels = image.channels;
    std::array<std::pair<int, int>, workingSize> columns;
    for (int i = 0; i < workingSize; ++i)
        columns[i] = span(i, workingSize, image.width);
    std::vector<float> rowR(image.width), rowG(image.width), rowB(image.width);
    for (int cy = 0; cy < workingSize; ++cy) {
        const auto [y0, y1] = span(cy, workingSize, image.height);
        // Sum the rows of this band first, then the columns of each cell.
        std::fill(rowR.begin(), rowR.end(), 0.0f);
        std::fill(rowG.begin(), rowG.end(), 0.0f);
        std::fill(rowB.begin(), rowB.end(), 0.0f);
        for (int y = y0; y < y1; ++y) {
            const std::uint8_t* p = image.at(0, y);
            if (channels >= 3) {
                for (int x = 0; x < image.width; ++x, p += channels) {
                    rowR[x] += p[0];
                    rowG[x] += p[1];
                    rowB[x] += p[2];
                }
            } else {
                for (int x = 0; x < image.width; ++x, p += channels)
                    rowR[x] += p[0];
            }
        }
        for (int cx = 0; cx < workingSize; ++cx) {
            const auto [x0, x1] = columns[cx];
            float r = 0, g = 0, b = 0;
            for (int x = x0; x < x1; ++x) {
                r += rowR[x];
                g += rowG[x];
                b += rowB[x];
            }
            const float scale = 1.0f / float((x1 - x0) * (y1 - y0));
            r *= scale;
            if (channels >= 3) {
                g *= scale;
                b *= scale;
            } else {
                g = b = r;
            }
            const int i = cy * workingSize + cx;
            const float y = 0.299f * r + 0.587f * g + 0.114f * b;
            w.luma[i] = y;
            // Chroma relative to luminance: an exposure step scales all three sRGB values by about
            // the same factor (the transfer curve is close to a power law), so the ratios keep.
            const float relative = 1.0f / (y + chromaDarkLevel);
            w.cb[i] = 0.564f * (b - y) * relative;
            w.cr[i] = 0.713f * (r - y) * relative;
        }
    }
    return w;
}

// Mean over square blocks of `factor` working cells.
std::vector<float> pool(const std::array<float, cells>& plane, int grid) {
    const int factor = workingSize / grid;
    std::vector<float> out(std::size_t(grid) * grid, 0.0f);
    for (int y = 0; y < workingSize; ++y)
        for (int x = 0; x < workingSize; ++x)
            out[std::size_t(y / factor) * grid + x / factor] += plane[y * workingSize + x];
    const float scale = 1.0f / float(factor * factor);
    for (float& v : out)
        v *= scale;
    return out;
}

// 1-2-1 smoothing in both directions, edges clamped.
template <typename Plane> void smooth(Plane& plane, int size) {
    std::vector<float> tmp(plane.size());
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const int l = std::max(x - 1, 0), r = std::min(x + 1, size - 1);
            tmp[y * size + x] = 0.25f * plane[y * size + l] + 0.5f * plane[y * size + x] +
                                0.25f * plane[y * size + r];
        }
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const int u = std::max(y - 1, 0), d = std::min(y + 1, size - 1);
            plane[y * size + x] =
                0.25f * tmp[u * size + x] + 0.5f * tmp[y * size + x] + 0.25f * tmp[d * size + x];
        }
}

void normalise(std::vector<float>& v, float floor) {
    double sum = 0;
    for (float x : v)
        sum += double(x) * x;
    const double norm = std::sqrt(sum + double(floor) * floor);
    if (norm < 1e-12)
        return; // a featureless block stays zero
    for (float& x : v)
        x = float(x / norm);
}

// Each layout value replaced by its rank among the frame's own pixels (the share that is darker,
// ties counted half), centred on zero. A rank is unchanged by any monotone tone curve, so an
// exposure step costs only what clipping destroys. Ranking among the pixels rather than among
// the layout values keeps a low-contrast layout (a busy texture, fog) small instead of
// stretching its noise over the whole range.
std::vector<float> rankLayout(const std::vector<float>& values,
                              const std::array<float, cells>& luma) {
    std::vector<float> sorted(luma.begin(), luma.end());
    std::sort(sorted.begin(), sorted.end());
    std::vector<float> out(values.size());
    double mean = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const auto lo = std::lower_bound(sorted.begin(), sorted.end(), values[i] - 0.01f);
        const auto hi = std::upper_bound(sorted.begin(), sorted.end(), values[i] + 0.01f);
        out[i] = (float(lo - sorted.begin()) + 0.5f * float(hi - lo)) / float(sorted.size());
        mean += out[i];
    }
    mean /= double(values.size());
    for (float& v : out)
        v = float(v - mean);
    return out;
}

// Gradients of the logarithm: an exposure step multiplies the values, which only shifts their
// logarithm, so the edges keep their strength in shadows and highlights alike.
std::vector<float> logPlane(const std::array<float, cells>& luma) {
    std::vector<float> plane(cells);
    for (int i = 0; i < cells; ++i)
        plane[i] = 64.0f * std::log(luma[i] + orientationDarkLevel);
    return plane;
}

// Half the side by 2x2 means.
std::vector<float> halve(const std::vector<float>& plane, int size) {
    const int half = size / 2;
    std::vector<float> out(std::size_t(half) * half);
    for (int y = 0; y < half; ++y)
        for (int x = 0; x < half; ++x)
            out[std::size_t(y) * half + x] =
                0.25f * (plane[(2 * y) * size + 2 * x] + plane[(2 * y) * size + 2 * x + 1] +
                         plane[(2 * y + 1) * size + 2 * x] + plane[(2 * y + 1) * size + 2 * x + 1]);
    return out;
}

// Gradient-orientation energy of a (smoothed) plane of `size` pixels a side, pooled onto `grid`
// cells a side; a grid of 1 is the histogram of the whole frame.
std::vector<float> orientationEnergy(const std::vector<float>& plane, int size, int grid) {
    const float cellSize = float(size) / float(grid);
    constexpr float binsPerRadian = float(orientationBins) / std::numbers::pi_v<float>;
    std::vector<float> out(std::size_t(grid) * grid * orientationBins, 0.0f);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const int l = std::max(x - 1, 0), r = std::min(x + 1, size - 1);
            const int u = std::max(y - 1, 0), d = std::min(y + 1, size - 1);
            const float gx = plane[y * size + r] - plane[y * size + l];
            const float gy = plane[d * size + x] - plane[u * size + x];
            const float magnitude = std::sqrt(gx * gx + gy * gy);
            if (magnitude <= 0.0f)
                continue;
            float angle = std::atan2(gy, gx); // unsigned: fold onto [0, pi)
            if (angle < 0)
                angle += std::numbers::pi_v<float>;
            // Linear interpolation between the two nearest bins keeps small rotations smooth.
            const float position = angle * binsPerRadian - 0.5f;
            const float lower = std::floor(position);
            const float fraction = position - lower;
            const int b0 = (int(lower) + orientationBins) % orientationBins;
            const int b1 = (b0 + 1) % orientationBins;
            // Bilinear between the cells around each pixel, so that a frame shifted by a few
            // pixels moves energy gradually instead of across a hard cell border.
            const float cx = (float(x) + 0.5f) / cellSize - 0.5f;
            const float cy = (float(y) + 0.5f) / cellSize - 0.5f;
            const int x0 = int(std::floor(cx)), y0 = int(std::floor(cy));
            const float wx = cx - float(x0), wy = cy - float(y0);
            for (int dy = 0; dy < 2; ++dy)
                for (int dx = 0; dx < 2; ++dx) {
                    const int gx0 = std::clamp(x0 + dx, 0, grid - 1);
                    const int gy0 = std::clamp(y0 + dy, 0, grid - 1);
                    const float share = (dx ? wx : 1 - wx) * (dy ? wy : 1 - wy) * magnitude;
                    const std::size_t cell = (std::size_t(gy0) * grid + gx0) * orientationBins;
                    out[cell + b0] += share * (1.0f - fraction);
                    out[cell + b1] += share * fraction;
                }
        }
    // Square roots keep a few strong edges from outweighing the rest of the texture.
    for (float& v : out)
        v = std::sqrt(v);
    return out;
}

// A part of the coarse block at unit length, centred first where only its deviation from an even
// spread tells frames apart.
void append(std::vector<float>& to, std::vector<float> part, bool centre) {
    if (centre) {
        double mean = 0;
        for (float v : part)
            mean += v;
        mean /= double(part.size());
        for (float& v : part)
            v = float(v - mean);
    }
    normalise(part, 0.0f);
    to.insert(to.end(), part.begin(), part.end());
}

// Luminance ranks of a heavily blurred 4x4 layout: each cell a quarter of the frame's side, so a
// shift of a tenth of the frame moves little of it.
std::vector<float> coarseLuminance(std::vector<float> layout,
                                   const std::array<float, cells>& luma) {
    for (int i = 0; i < 3; ++i)
        smooth(layout, luminanceGrid);
    constexpr int factor = luminanceGrid / coarseLuminanceGrid;
    std::vector<float> coarse(std::size_t(coarseLuminanceGrid) * coarseLuminanceGrid, 0.0f);
    for (int y = 0; y < luminanceGrid; ++y)
        for (int x = 0; x < luminanceGrid; ++x)
            coarse[std::size_t(y / factor) * coarseLuminanceGrid + x / factor] +=
                layout[std::size_t(y) * luminanceGrid + x] / float(factor * factor);
    return rankLayout(coarse, luma);
}

} // namespace

// Chosen with bench/featureprint.sh on the development sets only (synthetic bursts of one group
// of photographs, and two real camera sequences): weights by the mean F0.5 at the look-alike
// threshold after calibrating each weighting (--sweep), ties broken by the widest range of
// equally good constants; the constant as the middle of that range (0.44 to 0.54). The
// orientation grid of 8 cells a side sees where an object moved in a still view, which a 4-cell
// grid averaged away. The coarse block carries hand-held shifts of 10-20 % that move every cell
// of the layouts; its weight is bounded by second views of one place (a camera circling an
// object), which it brings together too. Change a block and all of this must be measured again.
Weights calibratedWeights() {
    return Weights{{1.0f, 1.4f, 1.0f, 0.5f}, 0.49f};
}

Blocks computeBlocks(const ImageBuffer& thumbnail) {
    Blocks blocks{std::vector<float>(luminanceLength, 0.0f), std::vector<float>(chromaLength, 0.0f),
                  std::vector<float>(orientationLength, 0.0f),
                  std::vector<float>(coarseLength, 0.0f)};
    if (thumbnail.empty() || thumbnail.channels < 1 ||
        thumbnail.pixels.size() <
            std::size_t(thumbnail.width) * thumbnail.height * std::size_t(thumbnail.channels))
        return blocks;
    const Working w = downsample(thumbnail);

    std::vector<float> luma = pool(w.luma, luminanceGrid);
    smooth(luma, luminanceGrid);
    blocks.luminance = rankLayout(luma, w.luma);
    normalise(blocks.luminance, luminanceFloor);

    const std::vector<float> cb = pool(w.cb, chromaGrid);
    const std::vector<float> cr = pool(w.cr, chromaGrid);
    std::copy(cb.begin(), cb.end(), blocks.chroma.begin());
    std::copy(cr.begin(), cr.end(), blocks.chroma.begin() + cb.size());
    normalise(blocks.chroma, chromaFloor);

    std::vector<float> plane = logPlane(w.luma);
    smooth(plane, workingSize);
    blocks.orientation = orientationEnergy(plane, workingSize, orientationGrid);
    normalise(blocks.orientation, 0.0f);

    // The coarse block: what survives a hand-held shift of a tenth of the frame or more, which
    // moves every cell of the layouts above. Orientation histograms of the whole frame at two
    // scales, centred (an even spread says nothing), and the blurred 4x4 luminance ranks.
    std::vector<float> half = halve(logPlane(w.luma), workingSize);
    smooth(half, workingSize / 2);
    blocks.coarse.clear();
    append(blocks.coarse, orientationEnergy(plane, workingSize, 1), true);
    append(blocks.coarse, orientationEnergy(half, workingSize / 2, 1), true);
    append(blocks.coarse, coarseLuminance(luma, w.luma), false);
    normalise(blocks.coarse, 0.0f);
    return blocks;
}

std::vector<float> assemble(const Blocks& blocks, const Weights& weights) {
    std::vector<float> out;
    out.reserve(length);
    const std::array<const std::vector<float>*, blockCount> parts{
        &blocks.luminance, &blocks.chroma, &blocks.orientation, &blocks.coarse};
    double sum = 0, full = 0;
    for (std::size_t k = 0; k < blockCount; ++k) {
        for (float v : *parts[k]) {
            out.push_back(weights.block[k] * v);
            sum += double(out.back()) * out.back();
        }
        full += double(weights.block[k]) * weights.block[k];
    }
    // The constant keeps its share of the vector when a block fades (a grey photo has no
    // chroma), so cosine = (raw * S + c^2) / (S + c^2) with the raw cosine of the blocks present:
    // one calibration holds for colour and grey photos alike.
    // A featureless frame (flat, or too small to have a layout) is only the constant, so such
    // frames match each other and nothing else.
    const double constant =
        sum > 0 ? weights.constant * std::sqrt(sum / std::max(full, 1e-12)) : 1.0;
    out.push_back(float(constant));
    sum += constant * constant;
    // Rounded to the half precision the analysis cache stores, so that a photo answered from
    // the cache has exactly the vector a fresh analysis gives.
    const float scale = sum > 0 ? float(1.0 / std::sqrt(sum)) : 1.0f;
    for (float& v : out)
        v = roundToHalf(v * scale);
    return out;
}

} // namespace FeaturePrint

std::vector<float> computeFeaturePrint(const ImageBuffer& thumbnail) {
    return FeaturePrint::assemble(FeaturePrint::computeBlocks(thumbnail),
                                  FeaturePrint::calibratedWeights());
}

float featurePrintSimilarity(const std::vector<float>& a, const std::vector<float>& b) {
    if (a.size() != b.size() || a.empty())
        return 0.0f;
    float dot = 0, na = 0, nb = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        dot += a[i] * b[i];
        na += a[i] * a[i];
        nb += b[i] * b[i];
    }
    if (na <= 0 || nb <= 0)
        return 0.0f;
    return dot / (std::sqrt(na) * std::sqrt(nb));
}

} // namespace quorlix
