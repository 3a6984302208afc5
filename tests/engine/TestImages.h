#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vips/vips8>

// Images that tests draw themselves with libvips, and EXIF written into them with Exiv2.
namespace quorlix::test {

// A photograph-like frame: smooth structure at several scales, hard edges, colour, fine grain.
vips::VImage photoLike(int width, int height, int seed = 1);

// A screenshot-like frame: flat panels, a title bar and lines of text.
vips::VImage screenshotLike(int width, int height);

// Writes the image in the format the extension names; false when libvips has no such saver.
bool save(const vips::VImage& image, const std::filesystem::path& file);

// Sets EXIF tags (key → value as Exiv2 reads text, e.g. "Exif.Image.Orientation" → "6").
void writeExif(const std::filesystem::path& file, const std::map<std::string, std::string>& tags);

// The same image with linear-light exposure scaled by `factor` (values clip at white).
vips::VImage exposed(const vips::VImage& image, double factor);

// The same image with Gaussian noise of `sigma` levels; saturated channels stay saturated.
vips::VImage noisy(const vips::VImage& image, double sigma, int seed = 3);

// A minimal camera raw: a DNG holding 16-bit RGGB sensor data of a grey scene with a bright block
// in the stored top-left quarter, and the given EXIF orientation.
std::string minimalDng(int width, int height, int orientation);

// A phone's photo: the JPEG `source` encoded as HEIC by libheif's encoder (libheif-examples).
bool heicFromJpeg(const std::filesystem::path& source, const std::filesystem::path& heic);

// Writes the capture time ("yyyy:MM:dd HH:mm:ss") and a camera make into the file with ExifTool
// (libimage-exiftool-perl), a writer that shares no code with ours.
bool dateWithExifTool(const std::filesystem::path& file, const std::string& dateTime);

// `path` as one single-quoted shell word.
std::string shellQuoted(const std::filesystem::path& path);
// Runs a shell command with its output discarded; true when it exited with 0.
bool runQuietly(const std::string& command);

} // namespace quorlix::test
