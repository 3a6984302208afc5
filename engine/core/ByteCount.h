#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quorlix {

// How a byte amount is shown to people, in the window and by the headless scanner alike: decimal
// megabytes with one decimal, or gigabytes with two from the point where megabytes would round to
// 1000; trailing zeros are dropped ("0 MB", "12.3 MB", "1 GB", "1.25 GB").
struct ByteCount {
    bool negative = false;
    double magnitude = 0; // in `unit`
    int decimals = 1;     // at most; trailing zeros are dropped
    std::string_view unit;

    static ByteCount of(std::int64_t bytes);
    // With "." as the decimal point.
    std::string text() const;
};

} // namespace quorlix
