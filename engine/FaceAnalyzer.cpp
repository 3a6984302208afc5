// The only file that includes dlib: its headers are heavy, so everything else stays quick to build.
#include "engine/FaceAnalyzer.h"

#include "engine/GrayImage.h"
#include "engine/Log.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <dlib/image_processing.h>
#include <dlib/image_processing/frontal_face_detector.h>
#include <mutex>

#ifndef QUORLIX_DLIB_DATA_DIR
#define QUORLIX_DLIB_DATA_DIR "/usr/share/dlib"
#endif

namespace quorlix {

namespace {

// The HOG detector scans an 80 × 80 window. Detection runs on a copy scaled so that the smallest
// face that still counts for scoring (2 % of the image area) spans about this many pixels; larger
// copies find no more faces that matter and cost quadratically more time.
constexpr double detectionFacePixels = 90.0;
constexpr double significantFaceArea = 0.02;

// Capture quality, our own stand-in for a learned judgement, from the face box resampled to
// 64 × 64 and the landmarks:
//   sharp    = min(Laplacian variance of the crop / faceSharpnessFull, 1)
//   exposure = 1 inside mean luminance 96…160, falling linearly to 0 at 0 and 255
//              (1 − max(0, |mean − 128| − 32) / 96, clamped)
//   frontal  = min(dl, dr) / max(dl, dr), dl and dr the horizontal distances from the nose tip
//              (landmark 30) to the cheek contour (landmarks 2 and 14): 1 when facing the camera
//   quality  = 0.4 sharp + 0.3 exposure + 0.3 frontal
constexpr int faceCropSide = 64;
constexpr double faceSharpnessFull = 300.0;

using DlibGray = dlib::array2d<unsigned char>;

void toDlib(const GrayImage& gray, DlibGray& out) {
    out.set_size(gray.height, gray.width);
    for (int y = 0; y < gray.height; ++y)
        std::copy_n(gray.pixels.data() + std::size_t(y) * gray.width, gray.width, &out[y][0]);
}

double captureQuality(const GrayImage& gray, const dlib::rectangle& box,
                      const dlib::full_object_detection& shape) {
    const GrayImage crop = resampled(gray, box.left(), box.top(), box.width(), box.height(),
                                     faceCropSide, faceCropSide);
    if (crop.pixels.empty())
        return 0.0;
    const double sharp = std::min(
        laplacianVariance(crop.pixels.data(), crop.width, crop.height) / faceSharpnessFull, 1.0);
    double mean = 0;
    for (auto p : crop.pixels)
        mean += p;
    mean /= double(crop.pixels.size());
    const double exposure =
        std::clamp(1.0 - std::max(0.0, std::abs(mean - 128.0) - 32.0) / 96.0, 0.0, 1.0);
    const double nose = shape.part(30).x();
    const double dl = std::abs(nose - shape.part(2).x());
    const double dr = std::abs(shape.part(14).x() - nose);
    const double frontal = std::max(dl, dr) > 0 ? std::min(dl, dr) / std::max(dl, dr) : 0.0;
    return std::clamp(0.4 * sharp + 0.3 * exposure + 0.3 * frontal, 0.0, 1.0);
}

std::vector<NormalizedPoint> eyeContour(const dlib::full_object_detection& shape, unsigned first,
                                        const dlib::rectangle& box) {
    // One scale for both axes keeps the contour's aspect ratio that of the picture.
    const double side = std::max(1.0, (double(box.width()) + double(box.height())) / 2.0);
    std::vector<NormalizedPoint> points;
    for (unsigned i = first; i < first + 6; ++i)
        points.push_back(
            {(shape.part(i).x() - box.left()) / side, (shape.part(i).y() - box.top()) / side});
    return points;
}

} // namespace

struct FaceAnalyzer::Impl {
    std::mutex mutex;
    std::once_flag loadOnce;
    std::string loadError;
    std::optional<double> loadSeconds;
    dlib::frontal_face_detector detector;
    dlib::shape_predictor predictor;

    void load() {
        const auto start = std::chrono::steady_clock::now();
        try {
            const auto path = modelPath();
            if (!std::filesystem::is_regular_file(path))
                throw std::runtime_error("no file at " + path.string());
            detector = dlib::get_frontal_face_detector();
            dlib::deserialize(path.string()) >> predictor;
            if (predictor.num_parts() != 68)
                throw std::runtime_error("expected 68 landmarks, found " +
                                         std::to_string(predictor.num_parts()));
        } catch (const std::exception& e) {
            loadError = e.what();
            log::error(log::Category::quality,
                       "Face landmark model could not be loaded: " + loadError);
            return;
        }
        loadSeconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        log::info(log::Category::quality,
                  "face_model_loaded ms=" + std::to_string(std::lround(*loadSeconds * 1000.0)));
    }
};

FaceAnalyzer::FaceAnalyzer() : impl_(std::make_unique<Impl>()) {}
FaceAnalyzer::~FaceAnalyzer() = default;

FaceAnalyzer& FaceAnalyzer::shared() {
    static FaceAnalyzer instance;
    return instance;
}

std::filesystem::path FaceAnalyzer::modelPath() {
    return std::filesystem::path(QUORLIX_DLIB_DATA_DIR) / "shape_predictor_68_face_landmarks.dat";
}

std::optional<double> FaceAnalyzer::modelLoadSeconds() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->loadSeconds;
}

std::vector<FaceObservation> FaceAnalyzer::analyze(const ImageBuffer& image) {
    std::lock_guard lock(impl_->mutex);
    std::call_once(impl_->loadOnce, [this] { impl_->load(); });
    if (!impl_->loadSeconds)
        throw FaceAnalysisError("Face analysis is unavailable: " + impl_->loadError);

    const GrayImage gray = grayOf(image);
    if (gray.pixels.empty())
        return {};
    const double smallestFace = std::sqrt(significantFaceArea * gray.width * gray.height);
    const double scale = std::min(1.0, detectionFacePixels / smallestFace);
    DlibGray full, small;
    toDlib(gray, full);
    std::vector<dlib::rectangle> boxes;
    if (scale < 1.0) {
        toDlib(resampled(gray, std::max(1, int(gray.width * scale)),
                         std::max(1, int(gray.height * scale))),
               small);
        const double sx = double(gray.width) / small.nc();
        const double sy = double(gray.height) / small.nr();
        for (const auto& r : impl_->detector(small))
            boxes.emplace_back(std::lround(r.left() * sx), std::lround(r.top() * sy),
                               std::lround((r.right() + 1) * sx) - 1,
                               std::lround((r.bottom() + 1) * sy) - 1);
    } else {
        boxes = impl_->detector(full);
    }

    std::vector<FaceObservation> faces;
    const dlib::rectangle frame(0, 0, gray.width - 1, gray.height - 1);
    for (const auto& box : boxes) {
        const dlib::rectangle inside = box.intersect(frame);
        if (inside.is_empty())
            continue;
        const dlib::full_object_detection shape = impl_->predictor(full, box);
        FaceObservation face;
        face.x = double(inside.left()) / gray.width;
        face.y = double(inside.top()) / gray.height;
        face.width = double(inside.width()) / gray.width;
        face.height = double(inside.height()) / gray.height;
        face.captureQuality = float(captureQuality(gray, inside, shape));
        if (shape.num_parts() == 68) {
            face.rightEye = eyeContour(shape, 36, box);
            face.leftEye = eyeContour(shape, 42, box);
        }
        faces.push_back(std::move(face));
    }
    return faces;
}

} // namespace quorlix
