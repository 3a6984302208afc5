// Checks that the aesthetics score ranks the clean frame of a burst above its degraded siblings.
// Each real photograph is brought to a 12-megapixel-like frame (4000 px wide), and libvips makes
// its siblings at full size: a Gaussian blur, +1.5 stops or more until a tenth of the frame is
// burnt white, −2 stops, and sensor-like noise (a milder set too). Every frame goes through the
// whole decode path as a JPEG.
//   aesthetics_ordering [PHOTO...]   (default: the photographs of the MATE and UKUI wallpapers)
#include "engine/analysis/AestheticsScorer.h"
#include "engine/analysis/ImageDecoder.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>
#include <vips/vips8>

using namespace quorlix;
using vips::VImage;

namespace {

std::vector<std::string> defaultPhotos() {
    std::vector<std::string> out;
    const std::string nature = "/usr/share/backgrounds/mate/nature";
    std::error_code ec;
    if (std::filesystem::is_directory(nature, ec))
        for (const auto& e : std::filesystem::directory_iterator(nature))
            out.push_back(e.path().string());
    for (const char* p : {"/usr/share/backgrounds/Kleiber_by_Lukas_Baubkus.jpg",
                          "/usr/share/backgrounds/mate/abstract/Elephants_5640x3172.jpg"})
        if (std::filesystem::exists(p, ec))
            out.push_back(p);
    std::sort(out.begin(), out.end());
    return out;
}

VImage exposure(const VImage& in, double factor) {
    return (in.colourspace(VIPS_INTERPRETATION_scRGB) * factor)
        .colourspace(VIPS_INTERPRETATION_sRGB);
}

VImage noisy(const VImage& in, double sigma, int seed) {
    // Luminance-heavy noise with some chroma, as a raised ISO gives.
    VImage lumaNoise = VImage::gaussnoise(
        in.width(), in.height(),
        VImage::option()->set("sigma", sigma)->set("mean", 0.0)->set("seed", seed));
    VImage chroma = VImage::gaussnoise(
        in.width(), in.height(),
        VImage::option()->set("sigma", sigma * 0.5)->set("mean", 0.0)->set("seed", seed + 1));
    VImage noise = VImage::bandjoin({lumaNoise, lumaNoise + chroma, lumaNoise - chroma});
    // A saturated photosite stays saturated whatever the noise.
    VImage out = (in.cast(VIPS_FORMAT_FLOAT) + noise).cast(VIPS_FORMAT_UCHAR);
    return (in >= 254.0).ifthenelse(in, out);
}

// At least +1.5 stops, more until a tenth of the frame is burnt to white.
VImage overExposed(const VImage& in) {
    for (double factor : {2.83, 4.0, 5.66, 8.0, 11.3}) {
        VImage out = exposure(in, factor);
        const double burnt = (out.colourspace(VIPS_INTERPRETATION_B_W) >= 250.0).avg() / 255.0;
        if (burnt >= 0.10 || factor > 11.0)
            return out;
    }
    return in;
}

double score(const VImage& frame, const std::filesystem::path& file, AestheticsSignals* out) {
    frame.jpegsave(file.c_str(), VImage::option()->set("Q", 90));
    auto decoded = ImageDecoder::decode(file, 1024);
    if (!decoded)
        return -9;
    auto s = AestheticsScorer::measure(decoded->thumbnail, true);
    if (!s)
        return -9;
    *out = *s;
    return s->result.overallScore;
}

} // namespace

int main(int argc, char** argv) {
    ImageDecoder::ensureInitialised();
    std::vector<std::string> photos(argv + 1, argv + argc);
    if (photos.empty())
        photos = defaultPhotos();
    const auto dir = std::filesystem::temp_directory_path() / "quorlix-aesthetics-bench";
    std::filesystem::create_directories(dir);

    const char* names[] = {"clean",   "blur3",   "overclip", "under2", "noise10",
                           "blur1.5", "over0.7", "under1",   "noise5"};
    int violations[9] = {};
    int compared = 0;
    std::printf("%-28s", "photo");
    for (const char* nm : names)
        std::printf(" %8s", nm);
    std::printf("\n");
    for (const auto& photo : photos) {
        VImage base = VImage::new_from_file(photo.c_str());
        if (base.has_alpha())
            base = base.flatten();
        base = base.colourspace(VIPS_INTERPRETATION_sRGB);
        if (base.bands() > 3)
            base = base.extract_band(0, VImage::option()->set("n", 3));
        base = base.resize(4000.0 / base.width(),
                           VImage::option()->set("kernel", VIPS_KERNEL_LANCZOS3));
        base = base.copy_memory();
        std::vector<VImage> frames = {
            base,
            base.gaussblur(3.0),
            overExposed(base),
            exposure(base, 0.25),
            noisy(base, 10.0, 7),
            base.gaussblur(1.5),
            exposure(base, 1.62),
            exposure(base, 0.5),
            noisy(base, 5.0, 11),
        };
        std::vector<double> scores;
        std::vector<AestheticsSignals> signals(frames.size());
        for (std::size_t i = 0; i < frames.size(); ++i)
            scores.push_back(
                score(frames[i], dir / ("f" + std::to_string(i) + ".jpg"), &signals[i]));
        std::printf("%-28s",
                    std::filesystem::path(photo).filename().string().substr(0, 28).c_str());
        for (double v : scores)
            std::printf(" %8.3f", v);
        std::printf("\n");
        for (std::size_t i = 1; i < scores.size(); ++i)
            violations[i] += scores[i] >= scores[0];
        ++compared;
        if (std::getenv("QUORLIX_BENCH_VERBOSE"))
            for (std::size_t i = 0; i < frames.size(); ++i) {
                const auto& s = signals[i];
                std::printf(
                    "   %-8s detail %.3f noise %.2f stops %+.2f head %.2f clipH %.3f clipL %.3f "
                    "range %.2f colour %.3f | dQ %.3f eQ %.3f nQ %.3f | flat %.3f pal %d "
                    "steps %.4f util %.2f\n",
                    names[i], s.detail, s.noiseSigma, s.medianStops, s.headroomStops, s.clipHigh,
                    s.clipLow, s.range, s.colourfulness, s.detailQuality, s.exposureQuality,
                    s.noiseQuality, s.flatFraction, s.paletteSize, s.stepFraction,
                    s.utilityEvidence);
            }
    }
    std::printf("\nsibling scored >= clean frame (of %d photos):", compared);
    for (int i = 1; i < 9; ++i)
        std::printf(" %s %d", names[i], violations[i]);
    std::printf("\n");
    std::filesystem::remove_all(dir);
    return 0;
}
