#include "app/ByteCountFormat.h"

#include "app/StringCatalogue.h"
#include "engine/core/ByteCount.h"

#include <cmath>

namespace quorlix {

QString formatByteCount(std::int64_t bytes, const QLocale& locale) {
    const ByteCount count = ByteCount::of(bytes);
    QString number = locale.toString(count.magnitude, 'f', count.decimals);
    // Trailing zeros say nothing: "12 MB", not "12.0 MB".
    const QString point = locale.decimalPoint();
    if (number.contains(point)) {
        while (number.endsWith(locale.zeroDigit()))
            number.chop(locale.zeroDigit().size());
        if (number.endsWith(point))
            number.chop(point.size());
    }
    if (count.negative && number != locale.zeroDigit())
        number.prepend(locale.negativeSign());
    return number + QLatin1Char(' ') +
           QLatin1String(count.unit.data(), qsizetype(count.unit.size()));
}

QString formatByteCount(std::int64_t bytes) {
    return formatByteCount(bytes, StringCatalogue::shared().locale());
}

QString formatByteCount(double bytes) {
    // QML numbers are doubles; anything a file system reports fits them exactly.
    return formatByteCount(std::isfinite(bytes) ? std::int64_t(std::llround(bytes)) : 0);
}

} // namespace quorlix
