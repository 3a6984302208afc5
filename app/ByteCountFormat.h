#pragma once

#include <QLocale>
#include <QString>
#include <cstdint>

namespace quorlix {

// A byte amount for display in decimal megabytes or gigabytes only ("0 MB", "12.3 MB",
// "1.25 GB" in English), numbers written in `locale`.
QString formatByteCount(std::int64_t bytes, const QLocale& locale);
// The same in the locale of the chosen interface language.
QString formatByteCount(std::int64_t bytes);

} // namespace quorlix
