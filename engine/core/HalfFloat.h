#pragma once

#include <cstdint>

namespace quorlix {

// IEEE 754 half precision (binary16), the stored form of feature prints: half the bytes of a
// float at a relative precision of 2^-11.

// Rounds to nearest, ties to even; beyond the largest half (65504) to infinity; NaN stays NaN.
std::uint16_t toHalf(float value);
// Exact.
float fromHalf(std::uint16_t half);
// The nearest half, as a float.
inline float roundToHalf(float value) {
    return fromHalf(toHalf(value));
}

} // namespace quorlix
