// ExifDate on arbitrary bytes: the whole input as a file for Exiv2, and as the text of a date.
#include "FuzzFolder.h"
#include "engine/analysis/ExifDate.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string_view>

namespace {

// A parsed date must print back to exactly the text it came from, less the terminators that
// EXIF ASCII values may carry.
void checkDateRoundTrip(std::string_view text) {
    const auto seconds = quorlix::ExifDate::parse(text);
    if (!seconds)
        return;
    while (!text.empty() && text.back() == '\0')
        text.remove_suffix(1);
    if (std::trunc(*seconds) != *seconds)
        std::abort();
    const std::time_t t = std::time_t(*seconds);
    std::tm fields{};
    if (!::gmtime_r(&t, &fields))
        std::abort();
    char printed[32];
    const int n = std::snprintf(printed, sizeof printed, "%04d:%02d:%02d %02d:%02d:%02d",
                                fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday,
                                fields.tm_hour, fields.tm_min, fields.tm_sec);
    if (n != int(text.size()) || text != std::string_view(printed, std::size_t(n)))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    checkDateRoundTrip(std::string_view(reinterpret_cast<const char*>(data), size));
    const auto file = quorlix::fuzz::writeScratch("input", data, size);
    const auto facts = quorlix::ExifDate::read(file);
    if (facts.dateOriginal && std::trunc(*facts.dateOriginal) != *facts.dateOriginal)
        std::abort();
    std::filesystem::remove(file);
    return 0;
}
