#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

// Capture time and camera facts from a file's EXIF, through Exiv2. Thread-safe.
namespace quorlix::ExifDate {

// What the EXIF of one file tells the analysis.
struct Facts {
    // Exif.Photo.DateTimeOriginal as seconds since 1970, the local time read as UTC.
    std::optional<double> dateOriginal;
    // The file names a camera or an exposure (make, model, exposure time, aperture, ISO).
    bool hasCameraMetadata = false;
};

// Parses exactly "yyyy:MM:dd HH:mm:ss" (four-digit year, two digits for every other field) as
// UTC, independent of the machine's time zone. Out-of-range fields ("0000:00:00 00:00:00",
// 31 April, 24:00:00) and any other text are rejected.
std::optional<double> parse(std::string_view text);

// Reads the EXIF of any container Exiv2 knows (JPEG, TIFF, PNG eXIf, WebP, HEIC/AVIF, raws).
// A file without EXIF, damaged or not an image gives empty facts; nothing is thrown.
Facts read(const std::filesystem::path& file);

// The same from an EXIF block already in memory, as a decoder hands it over: a TIFF structure,
// optionally behind the "Exif\0\0" marker of JPEG's APP1 or HEIF's four-byte header offset.
// An empty, unrecognised or damaged block gives empty facts; nothing is thrown.
Facts fromBlock(std::string_view block);

// Sets Exiv2 up once per process (quiet log, thread-safe XMP toolkit, ISO-BMFF support).
void ensureInitialised();

} // namespace quorlix::ExifDate
