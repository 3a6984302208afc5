#pragma once

#include "engine/ImageBuffer.h"

#include <vector>

namespace quorlix {

// The look-alike descriptor of an analysis thumbnail: a fixed-length vector whose cosine
// similarity with another photo's is at least the look-alike threshold for frames of one burst.
// Deterministic; the same length for every image.
std::vector<float> computeFeaturePrint(const ImageBuffer& thumbnail);

} // namespace quorlix
