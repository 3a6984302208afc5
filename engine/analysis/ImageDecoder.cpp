#include "engine/analysis/ImageDecoder.h"

#include "engine/core/RegularFile.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <chrono>
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

bool fitsCap(std::int64_t width, std::int64_t height, std::int64_t cap) {
    return width > 0 && height > 0 && width <= cap && height <= cap && width * height <= cap;
}

// Rows of the stored image a streaming pipeline holds at once, at most: the decoder's own
// buffers, the shrinkers' line caches and the thumbnail being made.
constexpr std::int64_t streamedRows = 256;

// The memory a libvips loader works in for this image: decoders that must expand the whole image
// before the first row comes out hold all of it, others a band of rows. Progressive JPEG keeps
// every DCT coefficient at 16 bits whatever the shrink.
std::int64_t workingBytes(Loader loader, const vips::VImage& header) {
    const std::int64_t width = header.width(), height = header.height();
    const std::int64_t sample = header.bands() * std::int64_t(vips_format_sizeof(header.format()));
    const bool interlaced = header.get_typeof("interlaced") != 0;
    if (loader == Loader::jpeg && interlaced)
        return width * height * header.bands() * 2;
    if (loader == Loader::gif) // one RGBA frame
        return width * height * 4;
    if (loader == Loader::heif) // the decoded planes and their interleaved copy
        return width * height * sample * 2;
    if (loader == Loader::png && interlaced)
        return width * height * sample;
    // Measured, not derived: a thumbnail of a large PNG peaks near 0.4 of its stored bytes.
    if (loader == Loader::png)
        return width * height * sample / 2;
    return width * sample * streamedRows;
}

// The bytes of a decode's stored image are within the cap, and its working memory is drawn from
// the shared budget; nothing when either can never be had.
std::optional<MemoryBudget::Admission> admitDecode(std::int64_t width, std::int64_t height,
                                                   std::int64_t sampleBytes, std::int64_t working) {
    if (width <= 0 || height <= 0 || sampleBytes <= 0 ||
        width * height > maxImageBytes / sampleBytes)
        return std::nullopt;
    return workingMemory().admit(working);
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

vips::VOption* thumbnailOptions(int maxPixelSize, VipsFailOn failOn = VIPS_FAIL_ON_ERROR) {
    return vips::VImage::option()
        ->set("height", maxPixelSize)
        ->set("size", VIPS_SIZE_DOWN)
        ->set("fail_on", failOn);
}

const char* failOnName(VipsFailOn failOn) {
    switch (failOn) {
    case VIPS_FAIL_ON_WARNING:
        return "warning";
    case VIPS_FAIL_ON_ERROR:
        return "error";
    case VIPS_FAIL_ON_TRUNCATED:
        return "truncated";
    default:
        return "none";
    }
}

// GIF's LZW data carries no checksum, and its decoder takes damaged data without a word: a
// flipped byte shifts every code after it, so the frame comes out with too many or too few
// pixels, which the decoder pads or cuts. This reads every frame's codes, without keeping a pixel,
// and tells whether each holds exactly its frame's pixels and the file ends where it should.
bool gifIsIntact(std::string_view gif) {
    std::size_t at = 0;
    const auto byte = [&](std::size_t i) {
        return static_cast<unsigned char>(gif[i]);
    };
    const auto u16 = [&](std::size_t i) {
        return unsigned(byte(i)) | unsigned(byte(i + 1)) << 8;
    };
    if (gif.size() < 13)
        return false;
    at = 13;
    if (byte(10) & 0x80)
        at += 3u << ((byte(10) & 7) + 1);
    // The data of one block's sub-blocks, concatenated; false when they run past the end.
    const auto subBlocks = [&](std::string* data) {
        while (at < gif.size()) {
            const std::size_t n = byte(at++);
            if (n == 0)
                return true;
            if (at + n > gif.size())
                return false;
            if (data)
                data->append(gif.substr(at, n));
            at += n;
        }
        return false;
    };
    while (at < gif.size()) {
        const unsigned char kind = byte(at++);
        if (kind == 0x3b)
            return true;
        if (kind == 0x21) {
            if (at >= gif.size() || (++at, !subBlocks(nullptr)))
                return false;
            continue;
        }
        if (kind != 0x2c || at + 10 > gif.size())
            return false;
        const std::uint64_t pixels = std::uint64_t(u16(at + 4)) * u16(at + 6);
        const unsigned char flags = byte(at + 8);
        at += 9;
        if (flags & 0x80)
            at += 3u << ((flags & 7) + 1);
        if (at >= gif.size())
            return false;
        const unsigned minimum = byte(at++);
        std::string data;
        if (minimum < 2 || minimum > 8 || !subBlocks(&data))
            return false;
        // Lengths of the table's strings are all a count needs.
        const unsigned clear = 1u << minimum, end = clear + 1;
        std::array<std::uint32_t, 4096> length{};
        std::fill(length.begin(), length.begin() + clear, 1u);
        unsigned width = minimum + 1, next = end + 1;
        int previous = -1;
        std::uint64_t produced = 0;
        for (std::size_t bit = 0; bit + width <= data.size() * 8;) {
            unsigned code = 0;
            for (unsigned k = 0; k < width; ++k, ++bit)
                code |= unsigned((static_cast<unsigned char>(data[bit / 8]) >> (bit % 8)) & 1u)
                        << k;
            if (code == clear) {
                width = minimum + 1;
                next = end + 1;
                previous = -1;
                continue;
            }
            if (code == end)
                break;
            std::uint32_t size = 0;
            if (code < clear || (code > end && code < next && previous >= 0))
                size = length[code];
            else if (code == next && previous >= 0)
                size = length[std::size_t(previous)] + 1;
            else
                return false;
            if (previous >= 0 && next < 4096) {
                length[next] = length[std::size_t(previous)] + 1;
                if (++next == (1u << width) && width < 12)
                    ++width;
            }
            produced += size;
            if (produced > pixels)
                return false;
            previous = int(code);
        }
        if (produced != pixels)
            return false;
    }
    return false; // no trailer
}

// Whether the GIF open as `fd` is intact, read whole when it is of a size worth reading; one too
// large to read is taken as intact.
bool gifIsIntact(int fd) {
    struct stat st {};
    constexpr off_t largest = 64 << 20;
    if (::fstat(fd, &st) != 0 || st.st_size > largest)
        return true;
    std::string bytes(std::size_t(st.st_size), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pread(fd, bytes.data() + done, bytes.size() - done, off_t(done));
        if (n <= 0)
            return false;
        done += std::size_t(n);
    }
    return gifIsIntact(bytes);
}

// The EXIF block the loader attached; an empty one when it found none.
std::string exifOf(const vips::VImage& image) {
    VipsImage* raw = image.get_image();
    if (vips_image_get_typeof(raw, VIPS_META_EXIF_NAME) == 0)
        return {};
    const void* data = nullptr;
    std::size_t size = 0;
    if (vips_image_get_blob(raw, VIPS_META_EXIF_NAME, &data, &size) != 0 || !data)
        return {};
    return std::string(static_cast<const char*>(data), size);
}

// The full-resolution band of an image whose pixels are still to be decoded; read straight after
// the thumbnail from the same source, so a streamed loader stops after the band's rows.
GrayImage detailOf(const vips::VImage& image, Clock::time_point deadline) {
    const int width = std::min(image.width(), detailColumns);
    const int height = std::min(image.height(), detailRows);
    auto band = render(image.extract_area((image.width() - width) / 2, 0, width, height), deadline);
    return band ? grayOf(*band) : GrayImage{};
}

enum class VipsRoute { any, notTiff };

// libvips from one open descriptor: sniff, read the header, check the pixel count and the bytes,
// draw the working memory, then let the thumbnailer shrink on load. HEIF goes through the loader
// directly, because the thumbnailer would take the file's embedded preview whenever that is
// large enough. Decoders stop at what `failOn` names.
std::optional<Decoded> decodeWithVips(int fd, VipsRoute route, int maxPixelSize,
                                      Clock::time_point deadline, VipsFailOn failOn) {
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

    vips::VImage header = vips::VImage::new_from_source(
        source, "",
        vips::VImage::option()->set("access", VIPS_ACCESS_SEQUENTIAL)->set("fail_on", failOn));
    Decoded out;
    out.storedWidth = header.width();
    out.storedHeight = header.height();
    // libvips reads no EXIF out of a TIFF's own directories; Exiv2 then reads the file itself.
    if (loader != Loader::tiff)
        out.exif = exifOf(header);
    const bool heif = loader == Loader::heif;
    if (!fitsCap(out.storedWidth, out.storedHeight, ImageFormat::maxPixels(loader)))
        return std::nullopt;
    const auto admission =
        admitDecode(out.storedWidth, out.storedHeight,
                    header.bands() * std::int64_t(vips_format_sizeof(header.format())),
                    workingBytes(loader, header));
    if (!admission)
        return std::nullopt;

    const std::string loaderOptions = std::string("fail_on=") + failOnName(failOn);
    vips::VImage thumb =
        heif ? header.thumbnail_image(maxPixelSize, thumbnailOptions(maxPixelSize, failOn))
             : vips::VImage::thumbnail_source(
                   source, maxPixelSize,
                   // The source thumbnailer hands its loader only this string, not `fail_on`.
                   thumbnailOptions(maxPixelSize, failOn)
                       ->set("option_string", loaderOptions.c_str()));
    auto pixels = render(thumb, deadline);
    if (!pixels)
        return std::nullopt;
    out.thumbnail = std::move(*pixels);
    out.damaged = loader == Loader::gif && !gifIsIntact(fd);
    try {
        // A HEIF image is decoded whole and held by its loader, so its band costs no second
        // decode; the streamed formats are opened once more on the same descriptor and read only
        // as far as the band.
        out.detail = detailOf(
            heif ? header
                 : vips::VImage::new_from_source(source, "",
                                                 vips::VImage::option()
                                                     ->set("access", VIPS_ACCESS_SEQUENTIAL)
                                                     ->set("fail_on", VIPS_FAIL_ON_ERROR)),
            deadline);
    } catch (const vips::VError&) {
        // The thumbnail stands; only the noise measurement is missing.
        vips_error_clear();
    }
    return out;
}

// BMP: libvips reads it only through ImageMagick, which has no streaming loader. ImageMagick is
// confined to this one format and runs under its system policy's resource limits.
// ImageMagick opens by name, so it is handed the name of the descriptor already checked.
std::optional<Decoded> decodeBmp(const RegularFile& file, int maxPixelSize,
                                 Clock::time_point deadline) {
    const std::string name = file.procPath();
    const char* found = vips_foreign_find_load(name.c_str());
    if (!found || std::string_view(found) != "VipsForeignLoadMagickFile")
        return std::nullopt;
    vips::VImage header = vips::VImage::magickload(
        name.c_str(), vips::VImage::option()->set("access", VIPS_ACCESS_SEQUENTIAL));
    Decoded out;
    out.storedWidth = header.width();
    out.storedHeight = header.height();
    out.exif.emplace(); // BMP has no EXIF
    if (!fitsCap(out.storedWidth, out.storedHeight, ImageFormat::maxPixels(Loader::bmp)))
        return std::nullopt;
    // ImageMagick holds the whole image, four 16-bit channels a pixel.
    const auto admission =
        admitDecode(out.storedWidth, out.storedHeight,
                    header.bands() * std::int64_t(vips_format_sizeof(header.format())),
                    std::int64_t(out.storedWidth) * out.storedHeight * 8);
    if (!admission)
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

// LibRaw reports damaged sensor data here and carries on with what it could read.
void noteDataError(void* damaged, const char*, const int) {
    *static_cast<bool*>(damaged) = true;
}
void ignoreMemoryError(void*, const char*, const char*) {}

struct MemImageDeleter {
    void operator()(libraw_processed_image_t* image) const { LibRaw::dcraw_clear_mem(image); }
};

// Camera raws from their sensor data: LibRaw's half-size mode averages each colour quad into one
// pixel, which skips demosaicing and is still at least twice the thumbnail's size. LibRaw opens by
// name, so it is handed the name of the descriptor already checked.
std::optional<Decoded> decodeWithLibRaw(const RegularFile& file, int maxPixelSize,
                                        Clock::time_point deadline) {
    bool damaged = false;
    auto raw = std::make_unique<LibRaw>(LIBRAW_OPTIONS_NONE);
    raw->set_dataerror_handler(&noteDataError, &damaged);
    raw->set_memerror_handler(&ignoreMemoryError, nullptr);
    raw->set_progress_handler(&cancelOverBudget, &deadline);
    auto& params = raw->imgdata.params;
    params.half_size = 1;
    params.use_camera_wb = 1;
    params.output_bps = 8;
    params.user_flip = -1; // apply the camera's orientation

    if (raw->open_file(file.procPath().c_str()) != LIBRAW_SUCCESS)
        return std::nullopt;
    const auto& sizes = raw->imgdata.sizes;
    constexpr auto cap = ImageFormat::maxPixels(Loader::raw);
    if (!fitsCap(sizes.raw_width, sizes.raw_height, cap) ||
        !fitsCap(sizes.width, sizes.height, cap))
        return std::nullopt;
    // The 16-bit sensor data, then the half-size image at four 16-bit channels and its 8-bit copy.
    const std::int64_t half = std::int64_t(sizes.width / 2 + 1) * (sizes.height / 2 + 1);
    const auto admission =
        admitDecode(sizes.raw_width, sizes.raw_height, 2,
                    std::int64_t(sizes.raw_width) * sizes.raw_height * 2 + half * (8 + 3));
    if (!admission)
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
    out.damaged = damaged;
    return out;
}

// A decode that stops at the first warning; when that fails, one that tolerates what the decoder
// repairs (but still not an error or a truncation), whose result is then marked damaged. Intact
// files decode once.
std::optional<Decoded> decodeWithVipsNoting(int fd, VipsRoute route, int maxPixelSize,
                                            Clock::time_point deadline) {
    try {
        return decodeWithVips(fd, route, maxPixelSize, deadline, VIPS_FAIL_ON_WARNING);
    } catch (const vips::VError&) {
        vips_error_clear();
    }
    if (Clock::now() > deadline)
        return std::nullopt;
    auto result = decodeWithVips(fd, route, maxPixelSize, deadline, VIPS_FAIL_ON_ERROR);
    if (result)
        result->damaged = true;
    return result;
}

} // namespace

MemoryBudget& workingMemory() {
    static MemoryBudget budget(workingMemoryBytes);
    return budget;
}

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
        const auto handle = RegularFile::open(file);
        if (!handle || handle->identity().size < 8)
            return std::nullopt;

        std::optional<Decoded> result;
        if (isRawExtension(file)) {
            result = decodeWithLibRaw(*handle, maxPixelSize, deadline);
            // A misnamed JPEG or PNG still decodes; a raw's TIFF preview page does not.
            if (!result)
                result =
                    decodeWithVipsNoting(handle->fd(), VipsRoute::notTiff, maxPixelSize, deadline);
        } else {
            char magic[2] = {};
            if (::pread(handle->fd(), magic, 2, 0) == 2 && magic[0] == 'B' && magic[1] == 'M')
                result = decodeBmp(*handle, maxPixelSize, deadline);
            else
                result = decodeWithVipsNoting(handle->fd(), VipsRoute::any, maxPixelSize, deadline);
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
