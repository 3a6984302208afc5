// How often a scan keeps the right photo: bursts cut from real photographs, each with one clean
// frame and deliberately worse siblings (blurred, over-exposed with clipped highlights,
// under-exposed, noisy), scanned with the real analysers; reports which frame each look-alike
// group elects.
//   keeper_quality OUT_DIR SOURCE_IMAGE...
#include "engine/analysis/AestheticsScorer.h"
#include "engine/analysis/ImageDecoder.h"
#include "engine/analysis/PhotoQualityScorecard.h"
#include "engine/core/ScanCoordinator.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
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

// Exposure steps are taken in linear light, as a camera's would be: values past white clip.
vips::VImage exposed(const vips::VImage& frame, double stops) {
    return (frame.colourspace(VIPS_INTERPRETATION_scRGB) * std::exp2(stops))
        .colourspace(VIPS_INTERPRETATION_sRGB);
}

// Fraction of the frame burnt to white.
double burnt(const vips::VImage& frame) {
    return (frame.colourspace(VIPS_INTERPRETATION_B_W) >= 250.0).avg() / 255.0;
}

// Zero-mean luminance noise with some chroma, added at full size before the JPEG encoding, as a
// sensor gives; a saturated photosite stays saturated.
vips::VImage withNoise(const vips::VImage& frame, double sigma, int seed) {
    const auto noise = [&](double s, int k) {
        return vips::VImage::gaussnoise(
            frame.width(), frame.height(),
            vips::VImage::option()->set("sigma", s)->set("mean", 0.0)->set("seed", seed + k));
    };
    const vips::VImage luma = noise(sigma, 0), chroma = noise(sigma * 0.5, 1);
    const vips::VImage out = frame.cast(VIPS_FORMAT_FLOAT) +
                             vips::VImage::bandjoin({luma, luma + chroma, luma - chroma});
    return (frame >= 254.0).ifthenelse(frame, out.cast(VIPS_FORMAT_UCHAR));
}

vips::VImage degrade(const vips::VImage& clean, const std::string& kind, std::mt19937& rng) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    if (kind == "blurred")
        return clean.gaussblur(2.0 + 2.0 * unit(rng));
    if (kind == "overexposed") {
        // +1.5 to +2 EV; a dark scene that this leaves unclipped gets half stops more until
        // highlights burn, since a clipped frame is what this sibling stands for.
        double stops = 1.5 + 0.5 * unit(rng);
        vips::VImage out = exposed(clean, stops);
        while (burnt(out) < 0.05 && stops < 4.0)
            out = exposed(clean, stops += 0.5);
        return out;
    }
    if (kind == "underexposed") // −1.5 to −2 EV
        return exposed(clean, -1.5 - 0.5 * unit(rng));
    if (kind == "noisy") // a raised ISO: grain plain at 100 %, nearly gone in a thumbnail
        return withNoise(clean, 3.0 + 5.0 * unit(rng), int(rng() & 0xffffff));
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
    // Frames of a burst come from a camera, and say so.
    exif["Exif.Image.Make"] = std::string("Quorlix");
    exif["Exif.Image.Model"] = std::string("Burst bench");
    image->setExifData(exif);
    image->writeMetadata();
}

// Every signal behind one group's election, frame by frame.
void printBreakdown(const ScanResult::Group& g, std::map<std::string, std::string>& kindOf) {
    std::printf("%s (%zu frames), keeper %s\n",
                fs::path(g.members.front().fileURL).parent_path().filename().c_str(),
                g.members.size(), g.keeper() ? kindOf[g.keeper()->fileURL].c_str() : "-");
    for (const auto& m : g.members) {
        const auto score = g.bestShotScores.find(m.id);
        std::optional<PhotoQuality> q;
        try {
            q = PhotoQualityScorecard::shared().evaluate(m);
        } catch (...) {
        }
        std::optional<AestheticsSignals> s;
        if (const auto thumb = ImageDecoder::thumbnail(m.fileURL, 1024))
            s = AestheticsScorer::measure(*thumb, true);
        std::printf(
            "  %-12s score %5.1f | full-res noise %.2f | aes %+.3f sharp %.2f clip %.3f"
            " face %.2f eyes %d |",
            kindOf[m.fileURL].c_str(), score == g.bestShotScores.end() ? -1.0 : score->second,
            m.noiseLevel.value_or(-1), m.aestheticScore.value_or(-9), q ? q->sharpness : -1.0,
            q ? q->exposureClip : -1.0, q && q->faceQuality ? *q->faceQuality : -1.0,
            q && q->eyesOpen ? int(*q->eyesOpen) : -1);
        if (s)
            std::printf(
                " det %.3f noise %.2f stops %+.2f head %.2f clipH %.3f clipL %.3f range %.2f "
                "col %.3f | dQ %.2f eQ %.2f nQ %.2f",
                s->detail, s->noiseSigma, s->medianStops, s->headroomStops, s->clipHigh, s->clipLow,
                s->range, s->colourfulness, s->detailQuality, s->exposureQuality, s->noiseQuality);
        std::printf("\n");
    }
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
                src = vips::VImage::new_from_file(argv[i]);
                if (src.has_alpha()) // transparent wallpapers, as a desktop would show them
                    src = src.flatten(vips::VImage::option()->set(
                        "background", std::vector<double>{40.0, 60.0, 90.0}));
                src = src.colourspace(VIPS_INTERPRETATION_sRGB);
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
                // Every frame carries the sensor's base noise; wallpapers are noise-free renders.
                withNoise(degrade(clean, order[f], rng).cast(VIPS_FORMAT_UCHAR), 1.5,
                          int(rng() & 0xffffff))
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

    const bool verbose = std::getenv("QUORLIX_BENCH_VERBOSE") != nullptr;
    const ScanResult result = ScanCoordinator().scan(out, nullptr);
    // Judged per burst, in the look-alike group that holds its clean frame: that group's
    // keeper is what the user keeps of the scene.
    std::map<std::string, int> elected;
    int grouped = 0, complete = 0;
    for (const auto& g : result.nearGroups()) {
        const auto clean =
            std::find_if(g.members.begin(), g.members.end(),
                         [&](const PhotoRecord& m) { return kindOf[m.fileURL] == "clean"; });
        if (clean == g.members.end())
            continue;
        ++grouped;
        complete += g.members.size() == kinds.size();
        if (const auto keeper = g.keeper())
            ++elected[kindOf[keeper->fileURL]];
        if (verbose)
            printBreakdown(g, kindOf);
    }
    std::printf(
        "bursts %d; clean frame in a look-alike group in %d (all five frames together in %d); "
        "look-alike groups %zu\n",
        bursts, grouped, complete, result.nearGroups().size());
    for (const auto& k : kinds)
        std::printf("  keeper is %-13s %4d  (%.1f %% of grouped bursts)\n", k.c_str(), elected[k],
                    100.0 * elected[k] / std::max(grouped, 1));
    const int bad = elected["blurred"] + elected["overexposed"] + elected["noisy"];
    std::printf("clean elected %.1f %%, noisy, blurred or clipped elected %.1f %%\n",
                100.0 * elected["clean"] / std::max(grouped, 1),
                100.0 * bad / std::max(grouped, 1));
    vips_shutdown();
    return 0;
}
