#include "engine/core/HalfFloat.h"

#include <bit>
#include <cmath>

namespace quorlix {

std::uint16_t toHalf(float value) {
    const auto bits = std::bit_cast<std::uint32_t>(value);
    const auto sign = std::uint32_t(bits >> 16 & 0x8000u);
    const std::uint32_t exponent = bits >> 23 & 0xffu;
    std::uint32_t mantissa = bits & 0x7fffffu;
    if (exponent == 0xff) // infinity, or a NaN kept quiet
        return std::uint16_t(sign | (mantissa ? 0x7e00u : 0x7c00u));
    if (exponent > 142) // 2^16 and beyond
        return std::uint16_t(sign | 0x7c00u);
    std::uint32_t result = 0, shift = 13;
    if (exponent >= 113) { // a normal half
        result = (exponent - 112) << 10 | mantissa >> 13;
    } else if (exponent >= 102) { // a subnormal half, in units of 2^-24
        mantissa |= 0x800000u;
        shift = 126 - exponent;
        result = mantissa >> shift;
    } else { // below half the smallest subnormal
        return std::uint16_t(sign);
    }
    const std::uint32_t rest = mantissa & ((1u << shift) - 1), tie = 1u << (shift - 1);
    if (rest > tie || (rest == tie && (result & 1u)))
        ++result; // a carry moves on to the next exponent, past the largest to infinity
    return std::uint16_t(sign | result);
}

float fromHalf(std::uint16_t half) {
    const std::uint32_t sign = std::uint32_t(half & 0x8000u) << 16;
    const std::uint32_t exponent = half >> 10 & 0x1fu, mantissa = half & 0x3ffu;
    if (exponent == 0) {
        const float magnitude = std::ldexp(float(mantissa), -24);
        return sign ? -magnitude : magnitude;
    }
    if (exponent == 0x1f)
        return std::bit_cast<float>(sign | 0x7f800000u | mantissa << 13);
    return std::bit_cast<float>(sign | (exponent + 112) << 23 | mantissa << 13);
}

} // namespace quorlix
