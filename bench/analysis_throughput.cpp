// Single-thread throughput of the whole photo analysis (one decode to the 1024 px thumbnail, the
// feature print, the aesthetics score, the EXIF date) against `vipsthumbnail` making the same
// 1024 px thumbnails of the same files in the same run, also on one thread.
//   analysis_throughput [ROUNDS]
// Frames: real photographs (MATE and UKUI wallpapers) enlarged to 12 and 24 megapixels, or
// photo-like images drawn by libvips where those packages are missing; JPEG quality 90, with
// camera EXIF. Figures: best round of each.
#include "engine/analysis/AestheticsScorer.h"
#include "engine/analysis/FeaturePrint.h"
#include "engine/analysis/FeaturePrintEmbedder.h"
#include "engine/analysis/ImageDecoder.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exiv2/exiv2.hpp>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>
#include <vips/vips8>

using namespace quorlix;
using vips::VImage;
using Clock = std::chrono::steady_clock;

namespace {

std::vector<std::string> sources() {
    std::vector<std::string> out;
    for (const char* dir : {"/usr/share/backgrounds/mate/nature", "/usr/share/backgrounds"}) {
        std::error_code ec;
        if (!std::filesystem::is_directory(dir, ec))
            continue;
        for (const auto& e : std::filesystem::directory_iterator(dir, ec))
            if (e.path().extension() == ".jpg")
                out.push_back(e.path().string());
    }
    std::sort(out.begin(), out.end());
    if (out.size() > 6)
        out.resize(6);
    return out;
}

VImage drawn(int seed) {
    VImage n = VImage::gaussnoise(
        400, 300, VImage::option()->set("sigma", 60.0)->set("mean", 128.0)->set("seed", seed));
    n = VImage::bandjoin({n, n.rot90(), n}).crop(0, 0, 300, 300).gaussblur(1.5);
    return n.cast(VIPS_FORMAT_UCHAR)
        .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
}

void addExif(const std::string& file, int i) {
    auto image = Exiv2::ImageFactory::open(file);
    image->readMetadata();
    image->exifData()["Exif.Image.Make"] = "Bench";
    image->exifData()["Exif.Photo.DateTimeOriginal"] =
        "2024:05:0" + std::to_string(1 + i % 9) + " 10:00:00";
    image->writeMetadata();
}

double seconds(Clock::time_point from) {
    return std::chrono::duration<double>(Clock::now() - from).count();
}

} // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    ImageDecoder::ensureInitialised();
    const auto dir = std::filesystem::temp_directory_path() / "quorlix-analysis-bench";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "thumbs");

    // Make the frames: half 12 MP (4000 × 3000), half 24 MP (6000 × 4000).
    std::vector<std::string> files;
    const auto photos = sources();
    const int count = 8;
    for (int i = 0; i < count; ++i) {
        VImage base = photos.empty()
                          ? drawn(i + 1)
                          : VImage::new_from_file(photos[std::size_t(i) % photos.size()].c_str());
        if (base.has_alpha())
            base = base.flatten();
        base = base.colourspace(VIPS_INTERPRETATION_sRGB);
        if (base.bands() > 3)
            base = base.extract_band(0, VImage::option()->set("n", 3));
        const int w = i % 2 ? 6000 : 4000, h = i % 2 ? 4000 : 3000;
        base = base.thumbnail_image(w, VImage::option()
                                           ->set("height", h)
                                           ->set("size", VIPS_SIZE_BOTH)
                                           ->set("crop", VIPS_INTERESTING_CENTRE));
        const std::string file = (dir / ("frame" + std::to_string(i) + ".jpg")).string();
        base.jpegsave(file.c_str(), VImage::option()->set("Q", 90));
        addExif(file, i);
        files.push_back(file);
    }
    // Warm the page cache so both sides read from memory.
    std::size_t bytes = 0;
    for (const auto& f : files) {
        std::ifstream in(f, std::ios::binary);
        std::string s((std::istreambuf_iterator<char>(in)), {});
        bytes += s.size();
    }

    std::string command = "VIPS_CONCURRENCY=1 vipsthumbnail --size 1024 -o '" +
                          (dir / "thumbs").string() + "/%s.jpg'";
    for (const auto& f : files)
        command += " '" + f + "'";

    double bestVips = 1e9, bestAnalysis = 1e9, bestDecode = 1e9, bestScore = 1e9, bestPrint = 1e9;
    int analysed = 0;
    for (int r = 0; r < rounds; ++r) {
        auto start = Clock::now();
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "vipsthumbnail failed\n");
            return 1;
        }
        bestVips = std::min(bestVips, seconds(start));

        start = Clock::now();
        analysed = 0;
        for (const auto& f : files)
            analysed += FeaturePrintEmbedder::shared().analyze(f).has_value();
        bestAnalysis = std::min(bestAnalysis, seconds(start));

        // Where the time goes: decode alone, then the two measurements on ready thumbnails.
        std::vector<ImageBuffer> thumbs;
        start = Clock::now();
        for (const auto& f : files)
            thumbs.push_back(ImageDecoder::decode(f, 1024)->thumbnail);
        bestDecode = std::min(bestDecode, seconds(start));
        start = Clock::now();
        for (const auto& t : thumbs)
            AestheticsScorer::shared().scoreImage(t, true);
        bestScore = std::min(bestScore, seconds(start));
        start = Clock::now();
        for (const auto& t : thumbs)
            computeFeaturePrint(t);
        bestPrint = std::min(bestPrint, seconds(start));
    }

    const double n = double(files.size());
    std::printf("frames: %zu JPEGs (12 and 24 MP, %.1f MB), %s, best of %d rounds, one thread\n",
                files.size(), bytes / 1e6, photos.empty() ? "drawn" : "real photographs", rounds);
    std::printf("vipsthumbnail --size 1024         %6.2f images/s\n", n / bestVips);
    std::printf("FeaturePrintEmbedder::analyze     %6.2f images/s  (%d analysed)\n",
                n / bestAnalysis, analysed);
    std::printf("  ratio analysis / vipsthumbnail  %6.2f\n", bestVips / bestAnalysis);
    std::printf("  of which: decode %.1f ms, aesthetics %.1f ms, feature print %.1f ms per image\n",
                1000 * bestDecode / n, 1000 * bestScore / n, 1000 * bestPrint / n);
    std::filesystem::remove_all(dir);
    return 0;
}
