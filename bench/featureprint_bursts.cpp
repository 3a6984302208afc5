// Makes the look-alike calibration sets from real photographs and real image sequences.
//
//   featureprint_bursts OUT_DIR
//
// Writes bursts (one scene, several frames: shifts and reframing, a slight rotation, exposure
// steps up to a clipping +-1 EV, a blurred frame, noise at the thumbnail's and at full
// resolution, recompression, other formats) and hard negatives (other halves
// of the same photograph, other photographs recoloured to match) into OUT_DIR, plus
// OUT_DIR/manifest.tsv, which featureprint_report reads. Two disjoint sets of photographs:
// "dev" chooses the constant, "report" is only measured. The "real-dev" and "real-test" sets
// hold frames of real camera footage. Also writes two large JPEGs for
// featureprint_speed. Deterministic: the same packages give the same files.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>
#include <vips/vips8>

namespace fs = std::filesystem;
using vips::VImage;

namespace {

const std::vector<std::string> devPhotos = {
    // mate-backgrounds
    "/usr/share/backgrounds/mate/nature/Aqua.jpg",
    "/usr/share/backgrounds/mate/nature/Blinds.jpg",
    "/usr/share/backgrounds/mate/nature/Dune.jpg",
    "/usr/share/backgrounds/mate/nature/FreshFlower.jpg",
    "/usr/share/backgrounds/mate/nature/Garden.jpg",
    "/usr/share/backgrounds/mate/nature/GreenMeadow.jpg",
    "/usr/share/backgrounds/mate/nature/LadyBird.jpg",
    "/usr/share/backgrounds/mate/nature/RainDrops.jpg",
    "/usr/share/backgrounds/mate/nature/Storm.jpg",
    "/usr/share/backgrounds/mate/nature/TwoWings.jpg",
    "/usr/share/backgrounds/mate/nature/Wood.jpg",
    "/usr/share/backgrounds/mate/nature/YellowFlower.jpg",
};

const std::vector<std::string> reportPhotos = {
    // plasma-workspace-wallpapers
    "/usr/share/wallpapers/BytheWater/contents/images/2560x1600.jpg",
    "/usr/share/wallpapers/ColdRipple/contents/images/2560x1600.jpg",
    "/usr/share/wallpapers/ColorfulCups/contents/images/2560x1600.jpg",
    "/usr/share/wallpapers/DarkestHour/contents/images/2560x1600.jpg",
    "/usr/share/wallpapers/EveningGlow/contents/images/2560x1600.jpg",
    "/usr/share/wallpapers/FallenLeaf/contents/images/2560x1600.jpg",
    "/usr/share/wallpapers/Grey/contents/images/2560x1600.jpg",
    "/usr/share/wallpapers/Kite/contents/images/2560x1600.jpg",
    "/usr/share/wallpapers/OneStandsOut/contents/images/2560x1600.jpg",
    "/usr/share/wallpapers/Path/contents/images/2560x1600.jpg",
    "/usr/share/wallpapers/Volna/contents/images/5120x2880.jpg",
    "/usr/share/wallpapers/summer_1am/contents/images/2560x1600.jpg",
    // lomiri-wallpapers-20.04
    "/usr/share/backgrounds/Kleiber_by_Lukas_Baubkus.jpg",
    "/usr/share/backgrounds/Infinite-Sea_by_Aury88.jpg",
};

// Real camera footage (visp-images-data): hand-held and robot-arm camera motion, a hand moving
// into a fixed view, an object moved in front of a cluttered background. Frames close in time
// are one burst; frames far apart are second views of the same place that must not link.
// Split in two sets: "real-dev" takes part in choosing the constant, "real-test" is only
// measured, so the report shows how far the operating point moves between footage too.
struct Sequence {
    std::string set;
    std::string name;
    std::string folder;
    std::string prefix; // file names are prefix + number + ".pgm"
    int digits;
    int first, last, stride;
    int positiveGap; // frames at most this far apart belong to one burst
    int negativeGap; // frames at least this far apart are other views (0: never)
};

const std::string vispRoot = "/usr/share/visp-images-data/ViSP-images/";
const std::vector<Sequence> sequences = {
    {"real-dev", "castel", "mbt-depth/castel/castel", "image_", 4, 0, 59, 3, 12, 0},
    {"real-dev", "mbt-cube", "mbt/cube", "image", 4, 0, 217, 6, 24, 120},
    {"real-test", "cube", "cube", "image.", 4, 0, 79, 3, 9, 45},
    {"real-test", "mire", "mire-2", "image.", 4, 1, 500, 12, 36, 250},
    // A hand-held camera sweeping over a paper shape on a dark desk: one shape, so far frames
    // are hard negatives of the same look.
    {"real-test", "ellipse", "ellipse-1", "image.", 4, 1, 50, 2, 2, 16},
    {"real-test", "line", "line", "image.", 4, 1, 33, 2, 2, 12},
};

// A small deterministic generator so that the sets do not depend on the standard library.
struct Random {
    std::uint64_t state;
    double uniform() {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return double(state >> 11) / double(1ULL << 53);
    }
    double range(double lo, double hi) { return lo + (hi - lo) * uniform(); }
    double sign() { return uniform() < 0.5 ? -1.0 : 1.0; }
};

struct Region {
    double x, y, w, h; // in source pixels
};

// Keeps a region inside the source by moving it, never by shrinking it.
Region clampInto(Region r, const VImage& source) {
    r.w = std::min(r.w, double(source.width()));
    r.h = std::min(r.h, double(source.height()));
    r.x = std::clamp(r.x, 0.0, source.width() - r.w);
    r.y = std::clamp(r.y, 0.0, source.height() - r.h);
    return r;
}

VImage cut(const VImage& source, Region r) {
    r = clampInto(r, source);
    return source.extract_area(int(r.x), int(r.y), int(r.w), int(r.h));
}

// Longer side of every written frame, as from a phone's reduced-size export.
constexpr int frameSide = 1600;

VImage toFrame(const VImage& image) {
    const double scale = double(frameSide) / std::max(image.width(), image.height());
    return scale < 1.0 ? image.resize(scale) : image;
}

// An exposure step: scale in linear light, clip, back to sRGB.
VImage expose(const VImage& image, double ev) {
    VImage linear = image.colourspace(VIPS_INTERPRETATION_scRGB);
    linear = linear * std::pow(2.0, ev);
    return linear.colourspace(VIPS_INTERPRETATION_sRGB).cast(VIPS_FORMAT_UCHAR);
}

VImage addNoise(const VImage& image, double sigma, int seed) {
    std::vector<VImage> bands;
    for (int b = 0; b < image.bands(); ++b)
        bands.push_back(VImage::gaussnoise(
            image.width(), image.height(),
            VImage::option()->set("sigma", sigma)->set("mean", 0.0)->set("seed", seed + b)));
    VImage noise = bands.size() == 1 ? bands[0] : VImage::bandjoin(bands);
    return (image + noise).cast(VIPS_FORMAT_UCHAR);
}

// Rotates about the centre and crops back inside the rotated frame so no corner is empty.
VImage rotateInside(const VImage& image, double degrees) {
    const double a = std::abs(degrees) * M_PI / 180.0;
    const double w = image.width(), h = image.height();
    const double shrink =
        std::min(w / (w * std::cos(a) + h * std::sin(a)), h / (h * std::cos(a) + w * std::sin(a)));
    VImage rotated = image.rotate(degrees);
    const int cw = int(w * shrink) - 2, ch = int(h * shrink) - 2;
    return rotated.extract_area((rotated.width() - cw) / 2, (rotated.height() - ch) / 2, cw, ch);
}

// Another photograph made to look like this one: Lab means and spreads matched band by band.
VImage matchColours(const VImage& image, const VImage& reference) {
    const VImage lab = image.colourspace(VIPS_INTERPRETATION_LAB);
    const VImage refLab = reference.colourspace(VIPS_INTERPRETATION_LAB);
    std::vector<double> scale, offset;
    for (int b = 0; b < 3; ++b) {
        const VImage band = lab.extract_band(b), refBand = refLab.extract_band(b);
        const double s = std::max(band.deviate(), 1e-3);
        const double k = refBand.deviate() / s;
        scale.push_back(k);
        offset.push_back(refBand.avg() - band.avg() * k);
    }
    return lab.linear(scale, offset).colourspace(VIPS_INTERPRETATION_sRGB).cast(VIPS_FORMAT_UCHAR);
}

void save(const VImage& image, const fs::path& file, int quality = 92) {
    const std::string ext = file.extension().string();
    if (ext == ".jpg")
        image.jpegsave(file.c_str(), VImage::option()->set("Q", quality)->set("strip", true));
    else if (ext == ".webp")
        image.webpsave(file.c_str(), VImage::option()->set("Q", quality)->set("strip", true));
    else if (ext == ".heic")
        image.heifsave(file.c_str(), VImage::option()
                                         ->set("Q", quality)
                                         ->set("strip", true)
                                         ->set("compression", VIPS_FOREIGN_HEIF_COMPRESSION_HEVC));
    else if (ext == ".png")
        image.pngsave(file.c_str(), VImage::option()->set("strip", true));
    else
        image.tiffsave(file.c_str(),
                       VImage::option()->set("compression", VIPS_FOREIGN_TIFF_COMPRESSION_LZW));
}

struct ManifestRow {
    std::string set, scene, content;
    int frame = -1, positiveGap = 0, negativeGap = 0;
    std::string file;
};

// One burst of a scene: `region` of `source`, which already carries the scene's colours.
void writeBurst(const VImage& source, Region region, const std::string& set,
                const std::string& scene, const std::string& content, const fs::path& folder,
                Random& rng, std::vector<ManifestRow>& rows) {
    fs::create_directories(folder);
    auto shifted = [&](double lo, double hi) {
        Region r = region;
        r.x += rng.sign() * rng.range(lo, hi) * region.w;
        r.y += rng.sign() * rng.range(lo, hi) * region.h;
        return r;
    };
    auto emit = [&](const VImage& image, const std::string& name, int quality = 92) {
        const fs::path file = folder / name;
        save(image, file, quality);
        rows.push_back({set, scene, content, -1, 0, 0, file.string()});
    };
    // HEIC frames are left out: encoding one takes x265 tens of seconds on a busy machine, and
    // its pixels differ from the JPEG's no more than a recompression does (the tests scan one).
    static const std::array<const char*, 3> formats = {".png", ".webp", ".tif"};
    static int formatTurn = 0;

    emit(toFrame(cut(source, region)), "0-base.jpg");
    emit(toFrame(cut(source, shifted(0.01, 0.06))), "1-shift.jpg");
    {
        Region r = region;
        const double z = rng.range(0.03, 0.08);
        r.x += region.w * (z / 2 + rng.range(-0.01, 0.01));
        r.y += region.h * (z / 2 + rng.range(-0.01, 0.01));
        r.w *= 1 - z;
        r.h *= 1 - z;
        emit(toFrame(cut(source, r)), "2-reframe.jpg");
    }
    emit(toFrame(rotateInside(cut(source, shifted(0.0, 0.02)), rng.sign() * rng.range(0.5, 2.0))),
         "3-rotate.jpg");
    emit(expose(toFrame(cut(source, shifted(0.0, 0.02))), rng.range(0.3, 0.7)), "4-brighter.jpg");
    emit(expose(toFrame(cut(source, shifted(0.0, 0.02))), -rng.range(0.3, 0.7)), "5-darker.jpg");
    {
        const VImage frame = toFrame(cut(source, shifted(0.0, 0.02)));
        const double sigma = rng.range(0.002, 0.004) * std::max(frame.width(), frame.height());
        emit(frame.gaussblur(sigma), "6-blurred.jpg");
    }
    emit(addNoise(toFrame(cut(source, shifted(0.0, 0.02))), rng.range(5, 10),
                  int(rng.uniform() * 1e6)),
         "7-noisy.jpg", 75);
    {
        const std::string ext = formats[formatTurn++ % formats.size()];
        emit(expose(toFrame(cut(source, shifted(0.01, 0.03))), rng.sign() * rng.range(0.1, 0.3)),
             std::string("8-format") + ext, 80);
    }
    {
        // A copy that went through a messenger: smaller, recompressed hard.
        const VImage frame = toFrame(cut(source, shifted(0.01, 0.04)));
        emit(frame.resize(0.6), "9-recompressed.jpg", 60);
    }
    // Full exposure steps: the brighter one clips its highlights, the darker one crushes
    // shadows.
    emit(expose(toFrame(cut(source, shifted(0.0, 0.02))), rng.range(0.8, 1.0)),
         "10-clipped-brighter.jpg");
    emit(expose(toFrame(cut(source, shifted(0.0, 0.02))), -rng.range(0.8, 1.0)), "11-darker.jpg");
    // Sensor noise as a camera stores it: added at the file's full resolution (the source's,
    // twice the other frames'), so the analysis thumbnail sees it only partly averaged away.
    emit(addNoise(cut(source, shifted(0.0, 0.02)), rng.range(3, 8), int(rng.uniform() * 1e6)),
         "12-noisy-full.jpg", 90);
}

VImage loadPhoto(const std::string& path) {
    VImage image = VImage::new_from_file(path.c_str());
    image = image.colourspace(VIPS_INTERPRETATION_sRGB);
    if (image.has_alpha())
        image = image.flatten();
    if (image.bands() > 3)
        image = image.extract_band(0, VImage::option()->set("n", 3));
    const double scale = 3200.0 / std::max(image.width(), image.height());
    if (scale < 1.0)
        image = image.resize(scale);
    return image.cast(VIPS_FORMAT_UCHAR).copy_memory();
}

// Per photograph: its left and right parts as two scenes (same light and colours, no shared
// content), and the left part of the next photograph recoloured to this one's right part.
void writePhotoSet(const std::string& set, const std::vector<std::string>& photos,
                   const fs::path& out, std::uint64_t seed, std::vector<ManifestRow>& rows) {
    std::vector<std::string> present;
    for (const auto& p : photos) {
        if (fs::exists(p))
            present.push_back(p);
        else
            std::cerr << "missing, skipped: " << p << "\n";
    }
    Random rng{seed};
    const std::size_t n = present.size();
    for (std::size_t i = 0; i < n; ++i) {
        const VImage photo = loadPhoto(present[i]);
        const VImage next = loadPhoto(present[(i + 1) % n]);
        const std::string id =
            fs::path(present[i]).parent_path().parent_path().filename() == "contents"
                ? fs::path(present[i]).parent_path().filename().string()
                : fs::path(present[i]).stem().string();
        const std::string tag = set + "-" + std::to_string(i);
        const std::string nextTag = set + "-" + std::to_string((i + 1) % n);
        const double w = photo.width(), h = photo.height();
        const Region left{0.0, 0.0, 0.46 * w, h};
        const Region right{0.54 * w, 0.0, 0.46 * w, h};
        writeBurst(photo, left, set, tag + "L", tag + "L", out / set / (tag + "L"), rng, rows);
        writeBurst(photo, right, set, tag + "R", tag + "R", out / set / (tag + "R"), rng, rows);
        const double nw = next.width(), nh = next.height();
        const Region nextLeft{0.0, 0.0, 0.46 * nw, nh};
        const VImage recoloured = matchColours(next, cut(photo, right)).copy_memory();
        writeBurst(recoloured, nextLeft, set, tag + "X", nextTag + "L", out / set / (tag + "X"),
                   rng, rows);
        std::cerr << set << " " << i + 1 << "/" << n << " " << present[i] << "\n";
    }
}

// The frames are stored as a camera would store them (JPEG): the scanner reads no PGM.
void writeSequences(const fs::path& out, std::vector<ManifestRow>& rows) {
    for (const auto& s : sequences) {
        fs::create_directories(out / s.set / s.name);
        for (int f = s.first; f <= s.last; f += s.stride) {
            std::string number = std::to_string(f);
            number.insert(0, std::size_t(std::max(0, s.digits - int(number.size()))), '0');
            const fs::path source = vispRoot + s.folder + "/" + s.prefix + number + ".pgm";
            if (!fs::exists(source)) {
                std::cerr << "missing, skipped: " << source << "\n";
                continue;
            }
            const fs::path file = out / s.set / s.name / (number + ".jpg");
            save(VImage::new_from_file(source.c_str()), file, 92);
            rows.push_back({s.set, s.name, s.name, f, s.positiveGap, s.negativeGap, file});
        }
    }
}

// Two camera-sized JPEGs (12 and 24 MP) for timing decodes against the descriptor.
void writeLargeFiles(const fs::path& out) {
    const std::string photo = devPhotos[0];
    if (!fs::exists(photo))
        return;
    fs::create_directories(out / "large");
    const VImage image = loadPhoto(photo);
    const std::array<std::array<int, 2>, 2> sizes = {std::array{4000, 3000},
                                                     std::array{6000, 4000}};
    for (const auto& [width, height] : sizes) {
        // Camera-like 4:3 and 3:2 frames with a little sensor noise, as a phone would store them.
        const double scale =
            std::max(double(width) / image.width(), double(height) / image.height());
        VImage big = image.resize(scale);
        big =
            big.extract_area((big.width() - width) / 2, (big.height() - height) / 2, width, height);
        const std::string name = std::to_string(width * height / 1000000) + "mp.jpg";
        save(addNoise(big, 3, width), out / "large" / name, 90);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: featureprint_bursts OUT_DIR\n";
        return 2;
    }
    if (VIPS_INIT(argv[0]) != 0)
        return 1;
    const fs::path out = argv[1];
    fs::create_directories(out);
    std::vector<ManifestRow> rows;
    try {
        writePhotoSet("dev", devPhotos, out, 17, rows);
        writePhotoSet("report", reportPhotos, out, 29, rows);
        writeSequences(out, rows);
        writeLargeFiles(out);
    } catch (const vips::VError& e) {
        std::cerr << "image error: " << e.what() << "\n";
        return 1;
    }
    std::ofstream manifest(out / "manifest.tsv");
    manifest << "set\tscene\tcontent\tframe\tpositive_gap\tnegative_gap\tfile\n";
    for (const auto& r : rows)
        manifest << r.set << '\t' << r.scene << '\t' << r.content << '\t' << r.frame << '\t'
                 << r.positiveGap << '\t' << r.negativeGap << '\t' << r.file << '\n';
    std::cout << rows.size() << " images listed in " << (out / "manifest.tsv").string() << "\n";
    return 0;
}
