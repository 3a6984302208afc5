#include "app/ByteCountFormat.h"

#include "app/StringCatalogue.h"

#include <cmath>

namespace quorlix {

QString formatByteCount(std::int64_t bytes, const QLocale& locale) {
    const bool negative = bytes < 0;
    const double magnitude = std::abs(double(bytes));
    // Gigabytes from the point where megabytes would round to 1000.
    const bool giga = magnitude >= 999.95e6;
    const double value = magnitude / (giga ? 1e9 : 1e6);
    const int decimals = giga ? 2 : 1;
    QString number = locale.toString(value, 'f', decimals);
    // Trailing zeros say nothing: "12 MB", not "12.0 MB".
    const QString point = locale.decimalPoint();
    if (number.contains(point)) {
        while (number.endsWith(locale.zeroDigit()))
            number.chop(locale.zeroDigit().size());
        if (number.endsWith(point))
            number.chop(point.size());
    }
    if (negative && number != locale.zeroDigit())
        number.prepend(locale.negativeSign());
    return number + (giga ? QStringLiteral(" GB") : QStringLiteral(" MB"));
}

QString formatByteCount(std::int64_t bytes) {
    return formatByteCount(bytes, StringCatalogue::shared().locale());
}

} // namespace quorlix
