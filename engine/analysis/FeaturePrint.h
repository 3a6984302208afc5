#pragma once

#include "engine/core/ImageBuffer.h"

#include <array>
#include <cstddef>
#include <vector>

namespace quorlix {

// The look-alike descriptor of an analysis thumbnail: a fixed-length vector whose cosine
// similarity with another photo's is at least the look-alike threshold for frames of one burst.
// Deterministic; the same length for every image, never NaN, unit length to within the half
// precision every component is rounded to.
//
// Hand-made and global: four separately normalised blocks (a rank-transformed luminance layout,
// a chroma layout around neutral grey, gradient-orientation energy on a coarse grid, and a
// shift-tolerant block of whole-frame orientation histograms and a blurred 4x4 luminance
// layout), weighted, plus one constant component that places the burst/other-scene boundary at the
// look-alike threshold. A learned model can replace it behind the same call as long as it keeps a
// fixed length and is recalibrated with the burst benchmark in bench/.
namespace FeaturePrint {

// Changes with anything that moves a photo's vector; stored vectors are comparable only within
// one version.
inline constexpr int version = 5;

inline constexpr int luminanceGrid = 16;
inline constexpr int chromaGrid = 8;
inline constexpr int orientationGrid = 8;
inline constexpr int orientationBins = 8;

inline constexpr std::size_t luminanceLength = luminanceGrid * luminanceGrid;
inline constexpr std::size_t chromaLength = 2 * chromaGrid * chromaGrid;
inline constexpr std::size_t orientationLength =
    orientationGrid * orientationGrid * orientationBins;

// The blocks in vector order, then the constant component.
inline constexpr int coarseLuminanceGrid = 4;
// Two whole-frame orientation histograms, then the coarse luminance layout.
inline constexpr std::size_t coarseLength =
    2 * orientationBins + coarseLuminanceGrid * coarseLuminanceGrid;

inline constexpr std::size_t blockCount = 4;
inline constexpr std::size_t length =
    luminanceLength + chromaLength + orientationLength + coarseLength + 1;

// The unweighted blocks, each of unit length at most (a block with little signal, such as the
// chroma of a grey photo, fades towards zero). Exposed so that the calibration benchmark can
// sweep weights and the constant without recomputing the images.
struct Blocks {
    std::vector<float> luminance;   // luminanceLength values
    std::vector<float> chroma;      // chromaLength values
    std::vector<float> orientation; // orientationLength values
    std::vector<float> coarse;      // coarseLength values
};

struct Weights {
    std::array<float, blockCount> block; // luminance, chroma, orientation, coarse
    float constant;
};

// The calibrated weights the product uses.
Weights calibratedWeights();

Blocks computeBlocks(const ImageBuffer& thumbnail);
std::vector<float> assemble(const Blocks& blocks, const Weights& weights);

} // namespace FeaturePrint

inline constexpr std::size_t featurePrintLength = FeaturePrint::length;

// computeBlocks + assemble with the calibrated weights.
std::vector<float> computeFeaturePrint(const ImageBuffer& thumbnail);

// Cosine similarity in 32-bit floats as the look-alike grouping computes it; 0 when either
// vector is zero or their lengths differ.
float featurePrintSimilarity(const std::vector<float>& a, const std::vector<float>& b);

} // namespace quorlix
