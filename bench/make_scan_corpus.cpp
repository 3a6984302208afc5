// Writes a folder of camera-sized JPEGs for the whole-scan benchmark: bursts of look-alike
// frames cut from real photographs, byte-identical copies and single photos, all dated.
//   make_scan_corpus OUT_DIR PHOTO_COUNT [MEGAPIXELS] SOURCE_IMAGE...
#include <cmath>
#include <cstdio>
#include <ctime>
#include <exiv2/exiv2.hpp>
#include <filesystem>
#include <random>
#include <string>
#include <vector>
#include <vips/vips8>

namespace fs = std::filesystem;

namespace {

std::string exifTime(std::time_t t) {
    char text[32];
    std::tm tm{};
    gmtime_r(&t, &tm);
    std::strftime(text, sizeof text, "%Y:%m:%d %H:%M:%S", &tm);
    return text;
}

void setCaptureTime(const fs::path& file, std::time_t t) {
    auto image = Exiv2::ImageFactory::open(file.native());
    image->readMetadata();
    Exiv2::ExifData exif = image->exifData();
    exif["Exif.Photo.DateTimeOriginal"] = exifTime(t);
    exif["Exif.Image.Make"] = "Quorlix Bench";
    image->setExifData(exif);
    image->writeMetadata();
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr,
                     "Usage: make_scan_corpus OUT_DIR PHOTO_COUNT MEGAPIXELS SOURCE_IMAGE...\n");
        return 2;
    }
    if (VIPS_INIT(argv[0]) != 0)
        return 1;
    Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
    const fs::path out = argv[1];
    const int count = std::stoi(argv[2]);
    const double megapixels = std::stod(argv[3]);
    std::vector<vips::VImage> sources;
    for (int i = 4; i < argc; ++i) {
        try {
            sources.push_back(vips::VImage::new_from_file(argv[i])
                                  .colourspace(VIPS_INTERPRETATION_sRGB)
                                  .extract_band(0, vips::VImage::option()->set("n", 3)));
        } catch (const vips::VError&) {
        }
    }
    if (sources.empty())
        return 1;
    const int width = int(std::sqrt(megapixels * 1e6 * 4.0 / 3.0));
    const int height = width * 3 / 4;
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    fs::create_directories(out);

    int written = 0, scene = 0;
    std::time_t clock = 1'600'000'000;
    while (written < count) {
        const auto& src = sources[std::size_t(scene) % sources.size()];
        // A scene: a random 60 % window of a source photograph.
        const double frac = 0.6;
        const int cw = int(src.width() * frac),
                  ch = int(cw * 0.75) < src.height() ? int(cw * 0.75) : src.height();
        const int x0 = int(unit(rng) * (src.width() - cw)),
                  y0 = int(unit(rng) * (src.height() - ch));
        const double roll = unit(rng);
        const int frames = roll < 0.35 ? 2 + int(unit(rng) * 4) : 1; // bursts of 2-5
        std::string first;
        for (int f = 0; f < frames && written < count; ++f) {
            const int dx = f == 0 ? 0 : int((unit(rng) - 0.5) * 0.04 * cw);
            const int dy = f == 0 ? 0 : int((unit(rng) - 0.5) * 0.04 * ch);
            const int x = std::clamp(x0 + dx, 0, src.width() - cw),
                      y = std::clamp(y0 + dy, 0, src.height() - ch);
            vips::VImage frame = src.extract_area(x, y, cw, ch).resize(double(width) / cw);
            if (f > 0)
                frame = frame * (1.0 + (unit(rng) - 0.5) * 0.3);
            frame = frame
                        .extract_area(0, 0, std::min(width, frame.width()),
                                      std::min(height, frame.height()))
                        .cast(VIPS_FORMAT_UCHAR);
            const fs::path file = out / ("day" + std::to_string(scene / 40)) /
                                  ("IMG_" + std::to_string(100000 + written) + ".jpg");
            fs::create_directories(file.parent_path());
            frame.jpegsave(file.c_str(), vips::VImage::option()->set("Q", 90));
            setCaptureTime(file, clock + f);
            ++written;
            if (f == 0)
                first = file.native();
        }
        // Now and then a copy of the scene's first frame elsewhere.
        if (written < count && unit(rng) < 0.08) {
            const fs::path copy = out / "backup" / (std::to_string(written) + ".jpg");
            fs::create_directories(copy.parent_path());
            fs::copy_file(first, copy);
            ++written;
        }
        clock += 3600 + int(unit(rng) * 7200);
        ++scene;
    }
    std::printf("%d photos of %dx%d in %s\n", written, width, height, out.c_str());
    vips_shutdown();
    return 0;
}
