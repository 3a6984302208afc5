#include "engine/analysis/ExifDate.h"

#include "engine/core/RegularFile.h"

#include <algorithm>
#include <cstdint>
#include <exiv2/exiv2.hpp>
#include <mutex>

namespace quorlix::ExifDate {

namespace {

// Days from 1970-01-01 to a proleptic Gregorian date (Howard Hinnant's days_from_civil): pure
// arithmetic, so the machine's time zone and the C library's tables never enter.
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + std::int64_t(doe) - 719468;
}

bool isLeap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysInMonth(int y, int m) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeap(y) ? 29 : days[m - 1];
}

std::mutex xmpMutex;

void lockXmp(void* data, bool lock) {
    auto* mutex = static_cast<std::mutex*>(data);
    if (lock)
        mutex->lock();
    else
        mutex->unlock();
}

bool hasAny(const Exiv2::ExifData& exif, std::initializer_list<const char*> keys) {
    for (const char* key : keys) {
        const auto it = exif.findKey(Exiv2::ExifKey(key));
        if (it != exif.end() && it->count() > 0) {
            const std::string text = it->toString();
            if (text.find_first_not_of(" \t\r\n", 0) != std::string::npos)
                return true;
        }
    }
    return false;
}

Facts factsOf(const Exiv2::ExifData& exif) {
    Facts facts;
    if (exif.empty())
        return facts;
    const auto it = exif.findKey(Exiv2::ExifKey("Exif.Photo.DateTimeOriginal"));
    if (it != exif.end() && it->typeId() == Exiv2::asciiString)
        facts.dateOriginal = parse(it->toString());
    facts.hasCameraMetadata =
        hasAny(exif, {"Exif.Image.Make", "Exif.Image.Model", "Exif.Photo.ExposureTime",
                      "Exif.Photo.FNumber", "Exif.Photo.ISOSpeedRatings"});
    return facts;
}

bool isTiffHeader(std::string_view block) {
    return block.size() >= 8 && (block.substr(0, 4) == std::string_view("II*\0", 4) ||
                                 block.substr(0, 4) == std::string_view("MM\0*", 4));
}

// The TIFF structure inside a block. Loaders differ in what they put before it: JPEG keeps its
// APP1 marker, HEIF its offset to the header (which may itself be followed by the marker), PNG
// and WebP usually nothing.
std::string_view tiffOf(std::string_view block) {
    const std::string_view marker("Exif\0\0", 6);
    for (int hop = 0; hop < 2; ++hop) {
        if (isTiffHeader(block))
            return block;
        if (block.substr(0, marker.size()) == marker) {
            block.remove_prefix(marker.size());
            continue;
        }
        if (block.size() < 4)
            return {};
        const auto* b = reinterpret_cast<const unsigned char*>(block.data());
        const std::uint32_t offset =
            std::uint32_t(b[0]) << 24 | std::uint32_t(b[1]) << 16 | std::uint32_t(b[2]) << 8 | b[3];
        if (offset > block.size() - 4)
            return {};
        block.remove_prefix(4 + std::size_t(offset));
    }
    return isTiffHeader(block) ? block : std::string_view{};
}

} // namespace

std::optional<double> parse(std::string_view text) {
    // Exiv2 may hand over the ASCII value's terminator with it.
    while (!text.empty() && text.back() == '\0')
        text.remove_suffix(1);
    if (text.size() != 19)
        return std::nullopt;
    const auto digits = [&](std::size_t from, std::size_t count, int& value) {
        value = 0;
        for (std::size_t i = from; i < from + count; ++i) {
            if (text[i] < '0' || text[i] > '9')
                return false;
            value = value * 10 + (text[i] - '0');
        }
        return true;
    };
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (!digits(0, 4, year) || text[4] != ':' || !digits(5, 2, month) || text[7] != ':' ||
        !digits(8, 2, day) || text[10] != ' ' || !digits(11, 2, hour) || text[13] != ':' ||
        !digits(14, 2, minute) || text[16] != ':' || !digits(17, 2, second))
        return std::nullopt;
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month) ||
        hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    const std::int64_t days = daysFromCivil(year, unsigned(month), unsigned(day));
    return double(days * 86400 + hour * 3600 + minute * 60 + second);
}

void ensureInitialised() {
    static std::once_flag once;
    std::call_once(once, [] {
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        Exiv2::LogMsg::setHandler(nullptr);
        Exiv2::XmpParser::initialize(&lockXmp, &xmpMutex);
#ifdef EXV_ENABLE_BMFF
        Exiv2::enableBMFF(true);
#endif
    });
}

Facts read(const std::filesystem::path& file) {
    ensureInitialised();
    Facts facts;
    try {
        // Exiv2 opens by name, so it is handed the name of a descriptor already checked.
        const auto handle = RegularFile::open(file);
        if (!handle || handle->identity().size == 0)
            return facts;
        auto image = Exiv2::ImageFactory::open(handle->procPath());
        if (!image.get())
            return facts;
        image->readMetadata();
        facts = factsOf(image->exifData());
    } catch (...) {
        // Exiv2::AnyError, std::bad_alloc and whatever a damaged file provokes: no facts.
        return Facts{};
    }
    return facts;
}

Facts fromBlock(std::string_view block) {
    ensureInitialised();
    const std::string_view tiff = tiffOf(block);
    if (tiff.empty())
        return {};
    try {
        Exiv2::ExifData exif;
        Exiv2::ExifParser::decode(exif, reinterpret_cast<const Exiv2::byte*>(tiff.data()),
                                  std::uint32_t(std::min<std::size_t>(tiff.size(), UINT32_MAX)));
        return factsOf(exif);
    } catch (...) {
        // A damaged block: no facts rather than half-read ones.
        return {};
    }
}

} // namespace quorlix::ExifDate
