#pragma once

#include <QLocale>
#include <QString>
#include <cstdint>

namespace quorlix {

// A byte amount as ByteCount shows it ("0 MB", "12.3 MB", "1.25 GB" in English), numbers written
// in `locale`.
QString formatByteCount(std::int64_t bytes, const QLocale& locale);
// The same in the locale of the chosen interface language.
QString formatByteCount(std::int64_t bytes);
// The same for an amount that came through QML as a number; nothing finite counts as 0.
QString formatByteCount(double bytes);

} // namespace quorlix
