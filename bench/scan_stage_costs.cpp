// Single-thread cost of each step a scan spends on one photo: the decode to the 1024 px
// thumbnail, the analysis proper (feature print, aesthetics, EXIF date), and the scoring steps
// (face pass, gray copy and its statistics), averaged over the JPEGs given. The decode includes
// the full-resolution band the noise is measured on; "band" is that band read again on its own
// (the decoder's second pass over the file) plus the noise measurement, to show what it costs.
//   scan_stage_costs PHOTO...
#include "engine/analysis/AestheticsScorer.h"
#include "engine/analysis/ExifDate.h"
#include "engine/analysis/FaceAnalyzer.h"
#include "engine/analysis/FeaturePrint.h"
#include "engine/analysis/ImageDecoder.h"
#include "engine/analysis/PhotoQualityScorecard.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>
#include <vips/vips8>

using namespace quorlix;
using Clock = std::chrono::steady_clock;

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: scan_stage_costs PHOTO...\n");
        return 2;
    }
    // --decode-only: nothing but the decodes, to compare their processor time with other decoders.
    if (std::string(argv[1]) == "--decode-only") {
        for (int i = 2; i < argc; ++i)
            if (!ImageDecoder::decode(argv[i], 1024))
                std::fprintf(stderr, "not decoded: %s\n", argv[i]);
        return 0;
    }
    FaceAnalyzer::shared().warmUp();
    double decode = 0, analysis = 0, faces = 0, gray = 0, band = 0;
    int n = 0, withFaces = 0;
    auto since = [](Clock::time_point t) {
        return std::chrono::duration<double>(Clock::now() - t).count();
    };
    for (int i = 1; i < argc; ++i) {
        auto t = Clock::now();
        const auto decoded = ImageDecoder::decode(argv[i], 1024);
        decode += since(t);
        if (!decoded)
            continue;
        ++n;
        t = Clock::now();
        const auto exif = ExifDate::read(argv[i]);
        const auto print = computeFeaturePrint(decoded->thumbnail);
        const auto aesthetics =
            AestheticsScorer::shared().scoreImage(decoded->thumbnail, exif.hasCameraMetadata);
        analysis += since(t);
        t = Clock::now();
        const auto found = FaceAnalyzer::shared().analyze(decoded->thumbnail);
        faces += since(t);
        withFaces += !found.empty();
        t = Clock::now();
        {
            const auto image = vips::VImage::new_from_file(
                argv[i], vips::VImage::option()->set("access", VIPS_ACCESS_SEQUENTIAL));
            const int w = std::min(image.width(), ImageDecoder::detailColumns);
            const int h = std::min(image.height(), ImageDecoder::detailRows);
            const vips::VImage strip =
                image.extract_area((image.width() - w) / 2, 0, w, h).copy_memory();
            if (strip.width() != decoded->detail.width ||
                PhotoQualityScorecard::noiseLevel(decoded->detail).value_or(0) < 0)
                std::fprintf(stderr, "odd band for %s\n", argv[i]);
        }
        band += since(t);
        t = Clock::now();
        const auto g = PhotoQualityScorecard::renderGray(decoded->thumbnail);
        const double sharp = PhotoQualityScorecard::laplacianVariance(*g);
        const auto clip = PhotoQualityScorecard::clipFractions(g->pixels);
        gray += since(t);
        if (print.empty() || !aesthetics || sharp < 0 || clip.first < 0)
            std::fprintf(stderr, "odd result for %s\n", argv[i]);
    }
    std::printf("photos %d (with faces %d)\nms/photo: decode %.1f  analysis %.1f  faces %.1f  "
                "band %.1f  gray %.1f\n",
                n, withFaces, decode / n * 1e3, analysis / n * 1e3, faces / n * 1e3, band / n * 1e3,
                gray / n * 1e3);
}
