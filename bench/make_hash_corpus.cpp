// Writes a folder of photo files for the exact-duplicate benchmark: unique photos of many sizes,
// copies and triples, same-size files that differ only past both sampled ends or inside the
// head, empty images, hidden entries, non-images and a symbolic link.
//   make_hash_corpus OUT_DIR [UNIQUE_COUNT] [SCALE]
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>
#include <vips/vips8>

namespace fs = std::filesystem;

namespace {

std::string jpegOfSize(int width, int height, std::uint32_t seed) {
    // Smooth noise with a gradient reads like a photo to an encoder: a megabyte or two per frame.
    vips::VImage noise = vips::VImage::gaussnoise(
        width / 8, height / 8,
        vips::VImage::option()->set("sigma", 40.0)->set("mean", 128.0)->set("seed", int(seed)));
    vips::VImage bands = noise.bandjoin({noise.rot180().flip(VIPS_DIRECTION_HORIZONTAL) * 0.7 + 30,
                                         noise.flip(VIPS_DIRECTION_VERTICAL) * 0.5 + 60});
    vips::VImage image =
        bands.resize(8.0, vips::VImage::option()->set("kernel", VIPS_KERNEL_CUBIC));
    vips::VImage grain = vips::VImage::gaussnoise(
        image.width(), image.height(),
        vips::VImage::option()->set("sigma", 6.0)->set("seed", int(seed + 7)));
    image = (image + grain).cast(VIPS_FORMAT_UCHAR);
    void* buffer = nullptr;
    std::size_t size = 0;
    image.write_to_buffer(".jpg", &buffer, &size, vips::VImage::option()->set("Q", 88));
    std::string out(static_cast<char*>(buffer), size);
    g_free(buffer);
    return out;
}

// A JPEG with a comment segment of `commentBytes` right after the start marker: still a valid
// photo, and a cheap way to make many distinct files and sizes from one encoded frame.
std::string withComment(const std::string& jpeg, std::size_t commentBytes, std::mt19937& rng) {
    std::string segment = "\xff\xfe";
    const std::size_t length = commentBytes + 2;
    segment += char(length >> 8);
    segment += char(length & 0xff);
    for (std::size_t i = 0; i < commentBytes; ++i)
        segment += char('a' + rng() % 26);
    return jpeg.substr(0, 2) + segment + jpeg.substr(2);
}

void write(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "Usage: make_hash_corpus OUT_DIR [UNIQUE_COUNT] [SCALE]\n");
        return 2;
    }
    if (VIPS_INIT(argv[0]) != 0)
        return 1;
    const fs::path out = argv[1];
    const int uniques = argc > 2 ? std::stoi(argv[2]) : 2000;
    const double scale = argc > 3 ? std::stod(argv[3]) : 1.0;
    std::mt19937 rng(20261207);

    std::vector<std::string> bases;
    for (int i = 0; i < 48; ++i) {
        const int w = int((1200 + (i * 97) % 2800) * scale);
        const int h = int(w * (i % 3 == 0 ? 1.0 : 0.75));
        bases.push_back(jpegOfSize(w, h, std::uint32_t(i + 1)));
    }
    std::size_t files = 0, bytes = 0;
    auto put = [&](const fs::path& rel, const std::string& data) {
        write(out / rel, data);
        ++files;
        bytes += data.size();
    };
    auto folderFor = [](int i) {
        return fs::path("year" + std::to_string(2018 + i % 6)) / ("event" + std::to_string(i % 37));
    };
    std::size_t comment = 1;
    auto uniquePhoto = [&](int i) {
        return withComment(bases[std::size_t(i) % bases.size()], comment++, rng);
    };

    for (int i = 0; i < uniques; ++i)
        put(folderFor(i) / ("IMG_" + std::to_string(10000 + i) + (i % 9 == 0 ? ".PNG" : ".jpg")),
            uniquePhoto(i));
    for (int i = 0; i < uniques / 13; ++i) { // copies and triples in other folders
        const auto photo = uniquePhoto(i + 7);
        put(folderFor(i) / ("copy_" + std::to_string(i) + ".jpg"), photo);
        put(fs::path("backup") / folderFor(i + 3) / ("copy_" + std::to_string(i) + ".jpg"), photo);
        if (i % 3 == 0)
            put(fs::path("export") / ("copy_" + std::to_string(i) + " (2).jpeg"), photo);
    }
    for (int i = 0; i < uniques / 20; ++i) { // same size, differ only past both sampled ends
        auto a = uniquePhoto(i + 11);
        auto b = a;
        b[b.size() / 2] = char(b[b.size() / 2] ^ 0x55);
        put(fs::path("edited") / ("mid_" + std::to_string(i) + "_a.jpg"), a);
        put(fs::path("edited") / ("mid_" + std::to_string(i) + "_b.jpg"), b);
    }
    for (int i = 0; i < uniques / 20; ++i) { // same size, differ inside the head
        auto a = uniquePhoto(i + 13);
        auto b = a;
        b[10] = char(b[10] == 'a' ? 'b' : 'a');
        put(fs::path("edited") / ("head_" + std::to_string(i) + "_a.jpg"), a);
        put(fs::path("edited") / ("head_" + std::to_string(i) + "_b.jpg"), b);
    }
    for (int i = 0; i < 6; ++i)
        put(fs::path("empty") / ("zero_" + std::to_string(i) + ".jpg"), "");
    put(".hidden/secret.jpg", bases[0]);
    put("year2019/.thumb.jpg", bases[1]);
    put("notes/readme.txt", "not a photo");
    put("notes/clip.mp4", bases[2]);
    std::error_code ec;
    fs::create_symlink(out / "year2018/event0/IMG_10000.jpg", out / "link_to_photo.jpg", ec);
    std::printf("%zu files, %.2f GB in %s\n", files, double(bytes) / 1e9, out.c_str());
    vips_shutdown();
    return 0;
}
