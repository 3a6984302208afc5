#include "engine/analysis/ImageDecoder.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <chrono>
#include <fcntl.h>
#include <libraw/libraw.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vips/vips8>

namespace quorlix::ImageDecoder {

namespace {

using Clock = std::chrono::steady_clock;

// Loaders that may see a photo, and the format each reads. libvips can sniff many more (PDF,
// SVG, FITS, Matlab, OpenSlide, ImageMagick for everything it knows); none of them decodes a
// format we accept, and each is attack surface, so a file that sniffs as one of them is refused.
using ImageFormat::Loader;
constexpr std::array<std::pair<std::string_view, Loader>, 6> streamLoaders = {{
    {"VipsForeignLoadJpegSource", Loader::jpeg},
    {"VipsForeignLoadPngSource", Loader::png},
    {"VipsForeignLoadWebpSource", Loader::webp},
    {"VipsForeignLoadTiffSource", Loader::tiff},
    {"VipsForeignLoadHeifSource", Loader::heif},
    {"VipsForeignLoadNsgifSource", Loader::gif},
}};

struct Fd {
    int fd = -1;
    explicit Fd(int value) : fd(value) {}
    ~Fd() {
        if (fd >= 0)
            ::close(fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
};

bool fitsCap(std::int64_t width, std::int64_t height, std::int64_t cap) {
    return width > 0 && height > 0 && width <= cap && height <= cap && width * height <= cap;
}

// libvips calls this while it computes a pipeline; past the budget it stops the computation,
// which then fails like any decode error.
void stopWhenOverBudget(VipsImage* image, VipsProgress*, void* deadline) {
    if (Clock::now() > *static_cast<Clock::time_point*>(deadline))
        vips_image_set_kill(image, TRUE);
}

// 8-bit sRGB, three channels, transparency flattened onto white.
vips::VImage toSrgb8(vips::VImage image) {
    if (image.interpretation() != VIPS_INTERPRETATION_sRGB)
        image = image.colourspace(VIPS_INTERPRETATION_sRGB);
    if (image.has_alpha())
        image = image.flatten(vips::VImage::option()->set(
            "background", image.format() == VIPS_FORMAT_USHORT ? 65535.0 : 255.0));
    if (image.bands() > 3)
        image = image.extract_band(0, vips::VImage::option()->set("n", 3));
    if (image.bands() == 1)
        image = vips::VImage::bandjoin({image, image, image});
    if (image.bands() != 3)
        throw vips::VError("unexpected band count");
    if (image.format() == VIPS_FORMAT_USHORT)
        image = image / 257.0;
    if (image.format() != VIPS_FORMAT_UCHAR)
        image = image.cast(VIPS_FORMAT_UCHAR);
    return image;
}

std::optional<ImageBuffer> render(vips::VImage image, Clock::time_point deadline) {
    image = toSrgb8(image);
    VipsImage* raw = image.get_image();
    vips_image_set_progress(raw, TRUE);
    const gulong handler = g_signal_connect(raw, "eval", G_CALLBACK(stopWhenOverBudget), &deadline);
    std::size_t size = 0;
    void* memory = nullptr;
    try {
        memory = image.write_to_memory(&size);
    } catch (...) {
        g_signal_handler_disconnect(raw, handler);
        throw;
    }
    g_signal_handler_disconnect(raw, handler);
    std::unique_ptr<void, decltype(&g_free)> owned(memory, &g_free);
    ImageBuffer out;
    out.width = image.width();
    out.height = image.height();
    out.channels = 3;
    if (size != std::size_t(out.width) * std::size_t(out.height) * 3u)
        return std::nullopt;
    out.pixels.assign(static_cast<std::uint8_t*>(memory),
                      static_cast<std::uint8_t*>(memory) + size);
    if (out.empty())
        return std::nullopt;
    return out;
}

vips::VOption* thumbnailOptions(int maxPixelSize) {
    return vips::VImage::option()
        ->set("height", maxPixelSize)
        ->set("size", VIPS_SIZE_DOWN)
        ->set("fail_on", VIPS_FAIL_ON_ERROR);
}

enum class VipsRoute { any, notTiff };

// libvips from one open descriptor: sniff, read the header, check the pixel count, then let the
// thumbnailer shrink on load. HEIF goes through the loader directly, because the thumbnailer
// would take the file's embedded preview whenever that is large enough.
std::optional<Decoded> decodeWithVips(int fd, VipsRoute route, int maxPixelSize,
                                      Clock::time_point deadline) {
    vips::VSource source = vips::VSource::new_from_descriptor(fd);
    const char* found = vips_foreign_find_load_source(source.get_source());
    if (!found)
        return std::nullopt;
    const auto known = std::find_if(streamLoaders.begin(), streamLoaders.end(),
                                    [&](const auto& l) { return l.first == found; });
    if (known == streamLoaders.end())
        return std::nullopt;
    const Loader loader = known->second;
    // A raw file that LibRaw refused is not shown through its TIFF preview page either.
    if (route == VipsRoute::notTiff && loader == Loader::tiff)
        return std::nullopt;

    vips::VImage header = vips::VImage::new_from_source(source, "",
                                                        vips::VImage::option()
                                                            ->set("access", VIPS_ACCESS_SEQUENTIAL)
                                                            ->set("fail_on", VIPS_FAIL_ON_ERROR));
    Decoded out;
    out.storedWidth = header.width();
    out.storedHeight = header.height();
    const bool heif = loader == Loader::heif;
    if (!fitsCap(out.storedWidth, out.storedHeight, ImageFormat::maxPixels(loader)))
        return std::nullopt;

    vips::VImage thumb =
        heif ? header.thumbnail_image(maxPixelSize, thumbnailOptions(maxPixelSize))
             : vips::VImage::thumbnail_source(
                   source, maxPixelSize,
                   // The source thumbnailer hands its loader only this string, not `fail_on`.
                   thumbnailOptions(maxPixelSize)->set("option_string", "fail_on=error"));
    auto pixels = render(thumb, deadline);
    if (!pixels)
        return std::nullopt;
    out.thumbnail = std::move(*pixels);
    return out;
}

// BMP: libvips reads it only through ImageMagick, which has no streaming loader. ImageMagick is
// confined to this one format and runs under its system policy's resource limits.
std::optional<Decoded> decodeBmp(const std::filesystem::path& file, int maxPixelSize,
                                 Clock::time_point deadline) {
    const char* found = vips_foreign_find_load(file.c_str());
    if (!found || std::string_view(found) != "VipsForeignLoadMagickFile")
        return std::nullopt;
    vips::VImage header = vips::VImage::magickload(
        file.c_str(), vips::VImage::option()->set("access", VIPS_ACCESS_SEQUENTIAL));
    Decoded out;
    out.storedWidth = header.width();
    out.storedHeight = header.height();
    if (!fitsCap(out.storedWidth, out.storedHeight, ImageFormat::maxPixels(Loader::bmp)))
        return std::nullopt;
    auto pixels =
        render(header.thumbnail_image(maxPixelSize, thumbnailOptions(maxPixelSize)), deadline);
    if (!pixels)
        return std::nullopt;
    out.thumbnail = std::move(*pixels);
    return out;
}

int cancelOverBudget(void* deadline, LibRaw_progress, int, int) {
    return Clock::now() > *static_cast<Clock::time_point*>(deadline) ? 1 : 0;
}

void ignoreDataError(void*, const char*, const int) {}
void ignoreMemoryError(void*, const char*, const char*) {}

struct MemImageDeleter {
    void operator()(libraw_processed_image_t* image) const { LibRaw::dcraw_clear_mem(image); }
};

// Camera raws from their sensor data: LibRaw's half-size mode averages each colour quad into one
// pixel, which skips demosaicing and is still at least twice the thumbnail's size.
std::optional<Decoded> decodeWithLibRaw(const std::filesystem::path& file, int maxPixelSize,
                                        Clock::time_point deadline) {
    auto raw = std::make_unique<LibRaw>(LIBRAW_OPTIONS_NONE);
    raw->set_dataerror_handler(&ignoreDataError, nullptr);
    raw->set_memerror_handler(&ignoreMemoryError, nullptr);
    raw->set_progress_handler(&cancelOverBudget, &deadline);
    auto& params = raw->imgdata.params;
    params.half_size = 1;
    params.use_camera_wb = 1;
    params.output_bps = 8;
    params.user_flip = -1; // apply the camera's orientation

    if (raw->open_file(file.c_str()) != LIBRAW_SUCCESS)
        return std::nullopt;
    const auto& sizes = raw->imgdata.sizes;
    constexpr auto cap = ImageFormat::maxPixels(Loader::raw);
    if (!fitsCap(sizes.raw_width, sizes.raw_height, cap) ||
        !fitsCap(sizes.width, sizes.height, cap))
        return std::nullopt;
    Decoded out;
    out.storedWidth = sizes.width;
    out.storedHeight = sizes.height;
    if (raw->unpack() != LIBRAW_SUCCESS || raw->dcraw_process() != LIBRAW_SUCCESS)
        return std::nullopt;
    int error = 0;
    std::unique_ptr<libraw_processed_image_t, MemImageDeleter> image(
        raw->dcraw_make_mem_image(&error));
    if (!image || error != LIBRAW_SUCCESS || image->type != LIBRAW_IMAGE_BITMAP ||
        image->bits != 8 || (image->colors != 1 && image->colors != 3) ||
        std::size_t(image->width) * image->height * image->colors > image->data_size)
        return std::nullopt;
    vips::VImage full =
        vips::VImage::new_from_memory(image->data, image->data_size, image->width, image->height,
                                      image->colors, VIPS_FORMAT_UCHAR);
    full = full.copy(vips::VImage::option()->set(
        "interpretation", image->colors == 1 ? VIPS_INTERPRETATION_B_W : VIPS_INTERPRETATION_sRGB));
    auto pixels = render(
        full.thumbnail_image(maxPixelSize, thumbnailOptions(maxPixelSize)->set("no_rotate", true)),
        deadline);
    if (!pixels)
        return std::nullopt;
    out.thumbnail = std::move(*pixels);
    return out;
}

} // namespace

void ensureInitialised() {
    static std::once_flag once;
    std::call_once(once, [] {
#if defined(__GLIBC__)
        // Every decode builds a fresh pipeline whose line buffers (a few megabytes for a camera
        // photo) libvips allocates zeroed and frees at its end. With glibc's defaults they are
        // mapped and returned to the system each time, so every decode page-faults through all of
        // them again: a quarter of a decode's processor time. Keeping up to this much freed memory
        // in the heap instead reuses the pages.
        mallopt(M_MMAP_THRESHOLD, 16 << 20);
        mallopt(M_TRIM_THRESHOLD, 32 << 20);
#endif
        if (VIPS_INIT("quorlix") != 0)
            return;
        vips_cache_set_max(0);   // every file is decoded once; a cache only holds memory
        vips_concurrency_set(1); // the scan runs its own pool of analyses
        // Decoders warn about every damaged file on standard error; failures are reported by
        // return value instead.
        g_log_set_handler(
            "VIPS", GLogLevelFlags(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_MESSAGE),
            [](const gchar*, GLogLevelFlags, const gchar*, gpointer) {}, nullptr);
    });
}

bool isRawExtension(const std::filesystem::path& file) {
    const auto* format = ImageFormat::find(ImageFormat::lowerExtension(file.filename().native()));
    return format && format->loader == Loader::raw;
}

std::optional<Decoded> decode(const std::filesystem::path& file, int maxPixelSize) {
    ensureInitialised();
    if (maxPixelSize <= 0)
        return std::nullopt;
    const auto deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                             std::chrono::duration<double>(decodeBudgetSeconds));
    try {
        Fd handle(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
        struct stat info {};
        if (handle.fd < 0 || ::fstat(handle.fd, &info) != 0 || !S_ISREG(info.st_mode) ||
            info.st_size < 8)
            return std::nullopt;

        std::optional<Decoded> result;
        if (isRawExtension(file)) {
            result = decodeWithLibRaw(file, maxPixelSize, deadline);
            // A misnamed JPEG or PNG still decodes; a raw's TIFF preview page does not.
            if (!result)
                result = decodeWithVips(handle.fd, VipsRoute::notTiff, maxPixelSize, deadline);
        } else {
            char magic[2] = {};
            if (::pread(handle.fd, magic, 2, 0) == 2 && magic[0] == 'B' && magic[1] == 'M')
                result = decodeBmp(file, maxPixelSize, deadline);
            else
                result = decodeWithVips(handle.fd, VipsRoute::any, maxPixelSize, deadline);
        }
        vips_error_clear();
        return result;
    } catch (...) {
        // vips::VError, LibRaw's and the allocator's exceptions alike: the file is not decodable.
        vips_error_clear();
        return std::nullopt;
    }
}

std::optional<ImageBuffer> thumbnail(const std::filesystem::path& file, int maxPixelSize) {
    auto decoded = decode(file, maxPixelSize);
    if (!decoded)
        return std::nullopt;
    return std::move(decoded->thumbnail);
}

} // namespace quorlix::ImageDecoder
