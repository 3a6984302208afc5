// The face pass on real photographs: model load time, detection time per image, and per face the
// box, our capture quality (also for blurred and darkened copies of the same photo) and the two
// eye-openness ratios against the closed-eye threshold. The baseline for the face pass is the
// rest of the scoring of the same thumbnail (gray rendering, sharpness, clipping).
//   face_quality_bench [--save DIR] IMAGE...

#include "engine/analysis/FaceAnalyzer.h"
#include "engine/analysis/ImageDecoder.h"
#include "engine/analysis/PhotoQualityScorecard.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vips/vips8>

using namespace quorlix;
using Scorecard = PhotoQualityScorecard;

namespace {

double since(std::chrono::steady_clock::time_point t) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}

// Three passes of a (2r+1)-wide box blur approximate a Gaussian of sigma ≈ r.
ImageBuffer blurred(const ImageBuffer& in, int r) {
    ImageBuffer a = in, b = in;
    const int c = in.channels;
    for (int pass = 0; pass < 3; ++pass)
        for (int axis = 0; axis < 2; ++axis) {
            for (int y = 0; y < in.height; ++y)
                for (int x = 0; x < in.width; ++x)
                    for (int k = 0; k < c; ++k) {
                        int sum = 0, n = 0;
                        for (int d = -r; d <= r; ++d) {
                            const int xx = axis == 0 ? x + d : x, yy = axis == 1 ? y + d : y;
                            if (xx < 0 || yy < 0 || xx >= in.width || yy >= in.height)
                                continue;
                            sum += a.pixels[(std::size_t(yy) * in.width + xx) * c + k];
                            ++n;
                        }
                        b.pixels[(std::size_t(y) * in.width + x) * c + k] = std::uint8_t(sum / n);
                    }
            std::swap(a, b);
        }
    return a;
}

ImageBuffer scaled(const ImageBuffer& in, double gain) {
    ImageBuffer out = in;
    for (auto& p : out.pixels)
        p = std::uint8_t(std::min(255.0, p * gain));
    return out;
}

std::string faceLine(const FaceObservation& f) {
    char buf[256];
    const auto l = Scorecard::eyeOpenness(f.leftEye);
    const auto r = Scorecard::eyeOpenness(f.rightEye);
    std::snprintf(buf, sizeof buf, "area %.3f%s quality %.3f eyes L %.3f R %.3f -> %s",
                  f.width * f.height, Scorecard::isSignificantFace(f) ? "" : " (ignored)",
                  double(f.captureQuality.value_or(-1)), l.value_or(-1), r.value_or(-1),
                  (l && r) ? ((*l < Scorecard::eyeClosedRatio && *r < Scorecard::eyeClosedRatio)
                                  ? "closed"
                                  : "open")
                           : "unmeasured");
    return buf;
}

// Paints each eye shut: the eye contour, grown by a third, filled with the skin just above the
// brow-side lid, and a thin dark lash line from corner to corner. No real closed-eye photographs
// ship in the packages we may use, so this shows what the landmarks give for an eye without an
// aperture.
ImageBuffer eyesPaintedShut(const ImageBuffer& in, const std::vector<FaceObservation>& faces) {
    ImageBuffer out = in;
    const int c = in.channels;
    auto px = [&](int x, int y) {
        return out.pixels.data() + (std::size_t(y) * in.width + x) * c;
    };
    for (const auto& f : faces) {
        const double side = (f.width * in.width + f.height * in.height) / 2.0;
        for (const auto* eye : {&f.leftEye, &f.rightEye}) {
            if (!*eye)
                continue;
            double x0 = 1e9, x1 = -1e9, y0 = 1e9, y1 = -1e9;
            for (const auto& p : **eye) {
                const double x = f.x * in.width + p.x * side, y = f.y * in.height + p.y * side;
                x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y),
                y1 = std::max(y1, y);
            }
            const double w = x1 - x0, cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
            const double rx = w * 0.65, ry = std::max(y1 - y0, w * 0.25) * 0.9 + 2;
            // skin colour: mean of a band above the eye
            double skin[4] = {0, 0, 0, 0};
            int n = 0;
            for (int y = int(cy - ry - 4); y < int(cy - ry - 1); ++y)
                for (int x = int(cx - rx / 2); x < int(cx + rx / 2); ++x)
                    if (x >= 0 && y >= 0 && x < in.width && y < in.height) {
                        for (int k = 0; k < c; ++k)
                            skin[k] += px(x, y)[k];
                        ++n;
                    }
            if (!n)
                continue;
            for (int y = int(cy - ry); y <= int(cy + ry); ++y)
                for (int x = int(cx - rx); x <= int(cx + rx); ++x) {
                    if (x < 0 || y < 0 || x >= in.width || y >= in.height)
                        continue;
                    const double dx = (x - cx) / rx, dy = (y - cy) / ry;
                    if (dx * dx + dy * dy > 1)
                        continue;
                    const bool lash = std::abs(y - (cy + ry * 0.2)) < std::max(1.0, w * 0.04) &&
                                      std::abs(dx) < 0.8;
                    for (int k = 0; k < c; ++k)
                        px(x, y)[k] = std::uint8_t(lash ? skin[k] / n * 0.35 : skin[k] / n);
                }
        }
    }
    return out;
}

// Both ratios of every face, in the order (left, right).
struct EyeStats {
    std::vector<double> eyes;
    std::vector<std::pair<double, double>> faces;

    void add(const FaceObservation& f) {
        const auto l = Scorecard::eyeOpenness(f.leftEye), r = Scorecard::eyeOpenness(f.rightEye);
        if (!l || !r)
            return;
        eyes.push_back(*l);
        eyes.push_back(*r);
        faces.emplace_back(*l, *r);
    }
    int closedAt(double threshold) const {
        return int(std::count_if(faces.begin(), faces.end(), [&](const auto& f) {
            return f.first < threshold && f.second < threshold;
        }));
    }
    void print(const char* what) {
        if (eyes.empty())
            return;
        std::sort(eyes.begin(), eyes.end());
        std::printf("%s: %zu faces, eye ratio min %.3f, 5th percentile %.3f, median %.3f, "
                    "max %.3f; faces judged closed at 0.16: %d, 0.18: %d, 0.20: %d, 0.22: %d\n",
                    what, faces.size(), eyes.front(), eyes[eyes.size() / 20], eyes[eyes.size() / 2],
                    eyes.back(), closedAt(0.16), closedAt(0.18), closedAt(0.20), closedAt(0.22));
    }
};

double median(std::vector<double> v) {
    if (v.empty())
        return NAN;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

const FaceObservation* largest(const std::vector<FaceObservation>& faces) {
    const FaceObservation* best = nullptr;
    for (const auto& f : faces)
        if (!best || f.width * f.height > best->width * best->height)
            best = &f;
    return best;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: face_quality_bench IMAGE...\n");
        return 2;
    }
    std::string saveDir;
    int first = 1;
    if (argc > 2 && std::string(argv[1]) == "--save") {
        saveDir = argv[2];
        first = 3;
    }
    auto& analyzer = FaceAnalyzer::shared();
    double faceTime = 0, restTime = 0;
    int timed = 0;
    EyeStats open, shutStats;
    // Capture quality of each photo's largest face: original, blurred r2 and r4, darker, brighter.
    std::vector<double> quality[5];
    for (int i = first; i < argc; ++i) {
        const auto thumb = ImageDecoder::thumbnail(argv[i], Scorecard::thumbnailMaxPixelSize);
        if (!thumb) {
            std::printf("%s: not decodable\n", argv[i]);
            continue;
        }
        auto t = std::chrono::steady_clock::now();
        auto faces = analyzer.analyze(*thumb);
        const double firstCall = since(t);
        if (i == first && analyzer.modelLoadSeconds())
            std::printf("landmark model load %.3f s (first analysis %.3f s in all)\n",
                        *analyzer.modelLoadSeconds(), firstCall);
        t = std::chrono::steady_clock::now();
        faces = analyzer.analyze(*thumb);
        const double face = since(t);
        t = std::chrono::steady_clock::now();
        const auto gray = Scorecard::renderGray(*thumb);
        const double sharp = Scorecard::laplacianVariance(*gray);
        const auto clip = Scorecard::clipFractions(gray->pixels);
        const double rest = since(t);
        faceTime += face;
        restTime += rest;
        ++timed;
        std::printf("%s %dx%d: %zu faces, face pass %.3f s, gray+stats %.4f s, sharpness %.0f, "
                    "clip %.3f/%.3f\n",
                    argv[i], thumb->width, thumb->height, faces.size(), face, rest, sharp,
                    clip.first, clip.second);
        for (const auto& f : faces) {
            std::printf("    %s\n", faceLine(f).c_str());
            open.add(f);
        }
        if (const FaceObservation* big = largest(faces)) {
            std::printf("    largest face quality: original %.3f", double(*big->captureQuality));
            quality[0].push_back(*big->captureQuality);
            int variant = 1;
            for (int r : {2, 4}) {
                const auto b = analyzer.analyze(blurred(*thumb, r));
                if (const auto* f = largest(b)) {
                    std::printf(", blur r%d %.3f", r, double(*f->captureQuality));
                    quality[variant].push_back(*f->captureQuality);
                } else {
                    std::printf(", blur r%d lost", r);
                }
                ++variant;
            }
            for (double g : {0.35, 1.8}) {
                const auto d = analyzer.analyze(scaled(*thumb, g));
                if (const auto* f = largest(d)) {
                    std::printf(", gain %.2f %.3f", g, double(*f->captureQuality));
                    quality[variant].push_back(*f->captureQuality);
                } else {
                    std::printf(", gain %.2f lost", g);
                }
                ++variant;
            }
            std::printf("\n");
        }
        if (!faces.empty()) {
            const ImageBuffer shut = eyesPaintedShut(*thumb, faces);
            if (!saveDir.empty()) // for a look at what the landmarks were given
                vips::VImage::new_from_memory(const_cast<std::uint8_t*>(shut.pixels.data()),
                                              shut.pixels.size(), shut.width, shut.height,
                                              shut.channels, VIPS_FORMAT_UCHAR)
                    .write_to_file((saveDir + "/shut_" + std::to_string(i) + ".png").c_str());
            for (const auto& f : analyzer.analyze(shut)) {
                std::printf("    eyes painted shut: %s\n", faceLine(f).c_str());
                shutStats.add(f);
            }
        }
        const auto signals = Scorecard::faceSignals(faces);
        std::printf("    faceQuality %s eyesOpen %s\n",
                    signals.faceQuality ? std::to_string(*signals.faceQuality).c_str() : "absent",
                    signals.eyesOpen ? (*signals.eyesOpen ? "true" : "false") : "absent");
    }
    if (timed)
        std::printf("mean over %d images: face pass %.3f s, gray rendering and statistics %.4f s\n",
                    timed, faceTime / timed, restTime / timed);
    open.print("eyes as photographed");
    shutStats.print("eyes painted shut");
    if (!quality[0].empty())
        std::printf(
            "largest-face capture quality, median (faces still found): original %.3f (%zu), "
            "blur r2 %.3f (%zu), blur r4 %.3f (%zu), gain 0.35 %.3f (%zu), gain 1.8 %.3f "
            "(%zu)\n",
            median(quality[0]), quality[0].size(), median(quality[1]), quality[1].size(),
            median(quality[2]), quality[2].size(), median(quality[3]), quality[3].size(),
            median(quality[4]), quality[4].size());
    return 0;
}
