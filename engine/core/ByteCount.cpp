#include "engine/core/ByteCount.h"

#include <cmath>
#include <cstdio>

namespace quorlix {

ByteCount ByteCount::of(std::int64_t bytes) {
    ByteCount out;
    out.negative = bytes < 0;
    const double magnitude = std::abs(double(bytes));
    const bool giga = magnitude >= 999.95e6;
    out.magnitude = magnitude / (giga ? 1e9 : 1e6);
    out.decimals = giga ? 2 : 1;
    out.unit = giga ? "GB" : "MB";
    return out;
}

std::string ByteCount::text() const {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, magnitude);
    std::string number(buffer);
    if (number.find('.') != std::string::npos) {
        while (number.back() == '0')
            number.pop_back();
        if (number.back() == '.')
            number.pop_back();
    }
    if (negative && number != "0")
        number.insert(0, "-");
    return number + " " + std::string(unit);
}

} // namespace quorlix
