// How often a scan keeps the right photo: bursts cut from real photographs, each with one clean
// frame and deliberately worse siblings (blurred, over-exposed with clipped highlights,
// under-exposed, noisy), scanned with the real analysers; reports which frame each look-alike
// group elects.
//   keeper_quality OUT_DIR SOURCE_IMAGE...
#include "engine/ScanCoordinator.h"

#include <cstdio>
#include <exiv2/exiv2.hpp>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>
#include <vips/vips8>

namespace fs = std::filesystem;
using namespace quorlix;

namespace {

const std::vector<std::string> kinds = {"clean", "blurred", "overexposed", "underexposed", "noisy"};

vips::VImage degrade(const vips::VImage& clean, const std::string& kind, std::mt19937& rng) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    if (kind == "blurred")
        return clean.gaussblur(2.0 + 2.0 * unit(rng));
    if (kind == "overexposed") // +1 to +1.3 EV: highlights burn out
        return clean * (2.0 + 0.5 * unit(rng));
    if (kind == "underexposed")
        return clean * (0.4 + 0.1 * unit(rng));
    if (kind == "noisy")
        return clean + vips::VImage::gaussnoise(clean.width(), clean.height(),
                                                vips::VImage::option()
                                                    ->set("sigma", 14.0 + 8.0 * unit(rng))
                                                    ->set("seed", int(rng())));
    return clean;
}

void setCaptureTime(const fs::path& file, int second) {
    auto image = Exiv2::ImageFactory::open(file.native());
    image->readMetadata();
    Exiv2::ExifData exif = image->exifData();
    char text[32];
    std::snprintf(text, sizeof text, "2024:05:%02d 12:%02d:%02d", 1 + second / 3600 % 28,
                  second / 60 % 60, second % 60);
    exif["Exif.Photo.DateTimeOriginal"] = std::string(text);
    image->setExifData(exif);
    image->writeMetadata();
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "Usage: keeper_quality OUT_DIR SOURCE_IMAGE...\n");
        return 2;
    }
    if (VIPS_INIT(argv[0]) != 0)
        return 1;
    Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
    const fs::path out = argv[1];
    std::mt19937 rng(42);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::map<std::string, std::string> kindOf; // file path -> kind
    int bursts = 0;
    if (!fs::exists(out)) {
        for (int i = 2; i < argc; ++i) {
            vips::VImage src;
            try {
                src = vips::VImage::new_from_file(argv[i]).colourspace(VIPS_INTERPRETATION_sRGB);
                src = src.extract_band(0, vips::VImage::option()->set("n", 3));
            } catch (const vips::VError&) {
                continue;
            }
            const int cw = std::min(src.width(), src.height() * 4 / 3);
            const int ch = cw * 3 / 4;
            const vips::VImage clean =
                src.extract_area((src.width() - cw) / 2, (src.height() - ch) / 2, cw, ch)
                    .resize(2400.0 / cw);
            std::vector<std::string> order = kinds;
            std::shuffle(order.begin(), order.end(), rng);
            for (std::size_t f = 0; f < order.size(); ++f) {
                const fs::path file = out / ("burst" + std::to_string(bursts)) /
                                      ("IMG_" + std::to_string(f) + ".jpg");
                fs::create_directories(file.parent_path());
                degrade(clean, order[f], rng)
                    .cast(VIPS_FORMAT_UCHAR)
                    .jpegsave(file.c_str(), vips::VImage::option()->set("Q", 92));
                setCaptureTime(file, bursts * 3600 + int(f));
                kindOf[file.native()] = order[f];
            }
            ++bursts;
        }
    }
    // The manifest names each frame's kind; frames are shuffled so order cannot decide.
    const fs::path manifest = out / ".manifest.tsv";
    if (!kindOf.empty()) {
        std::ofstream m(manifest);
        for (const auto& [path, kind] : kindOf)
            m << path << "\t" << kind << "\n";
    } else {
        std::ifstream m(manifest);
        std::string path, kind;
        while (std::getline(m, path, '\t') && std::getline(m, kind))
            kindOf[path] = kind;
        bursts = int(kindOf.size() / kinds.size());
    }

    const ScanResult result = ScanCoordinator().scan(out, nullptr);
    std::map<std::string, int> elected;
    int groups = 0, complete = 0;
    for (const auto& g : result.nearGroups()) {
        ++groups;
        complete += g.members.size() == kinds.size();
        for (const auto& m : g.members)
            if (m.id == g.keeperId)
                ++elected[kindOf[m.fileURL]];
    }
    std::printf("bursts %d, look-alike groups %d (%d with all five frames)\n", bursts, groups,
                complete);
    for (const auto& k : kinds)
        std::printf("  keeper is %-13s %4d  (%.1f %% of bursts)\n", k.c_str(), elected[k],
                    100.0 * elected[k] / std::max(bursts, 1));
    const int bad = elected["blurred"] + elected["overexposed"];
    std::printf("clean elected %.1f %%, blurred or clipped elected %.1f %%\n",
                100.0 * elected["clean"] / std::max(bursts, 1), 100.0 * bad / std::max(bursts, 1));
    vips_shutdown();
    return 0;
}
