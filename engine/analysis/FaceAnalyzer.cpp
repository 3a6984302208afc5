// With CompactLandmarkModel.cpp, the only files that include dlib: its headers are heavy, so
// everything else stays quick to build.
#include "engine/analysis/FaceAnalyzer.h"

#include "engine/analysis/CompactLandmarkModel.h"
#include "engine/core/GrayImage.h"
#include "engine/core/Log.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <dlib/image_processing.h>
#include <dlib/image_processing/frontal_face_detector.h>
#include <fstream>
#include <mutex>
#include <streambuf>
#include <thread>

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

// The predictor places landmarks on whole pixels. On a face 100 px wide an eye spans about 20 px,
// so its height-to-width ratio would move in steps of 0.05, a third of the closed-eye threshold.
// It therefore runs on a chip, resampled from the thumbnail, in which the face box is this wide,
// and the landmarks are mapped back with sub-pixel precision.
constexpr double landmarkFaceSide = 320.0;
constexpr double landmarkMargin = 0.25; // of the face box, on every side of the chip

using DlibGray = dlib::array2d<unsigned char>;

void toDlib(const GrayImage& gray, DlibGray& out) {
    out.set_size(gray.height, gray.width);
    for (int y = 0; y < gray.height; ++y)
        std::copy_n(gray.pixels.data() + std::size_t(y) * gray.width, gray.width, &out[y][0]);
}

// 68 landmarks in thumbnail pixel coordinates; empty when the predictor gave another count.
std::vector<dlib::dpoint> landmarks(const GrayImage& gray, const dlib::rectangle& box,
                                    const dlib::shape_predictor& predictor) {
    const double side = (double(box.width()) + double(box.height())) / 2.0;
    const double margin = landmarkMargin * side;
    const double x0 = std::max(0.0, box.left() - margin);
    const double y0 = std::max(0.0, box.top() - margin);
    const double x1 = std::min(double(gray.width), box.right() + 1 + margin);
    const double y1 = std::min(double(gray.height), box.bottom() + 1 + margin);
    if (x1 <= x0 || y1 <= y0)
        return {};
    const double k = landmarkFaceSide / side;
    const int chipWidth = std::max(1, int(std::lround((x1 - x0) * k)));
    const int chipHeight = std::max(1, int(std::lround((y1 - y0) * k)));
    const double sx = chipWidth / (x1 - x0);
    const double sy = chipHeight / (y1 - y0);
    DlibGray chip;
    toDlib(resampled(gray, x0, y0, x1 - x0, y1 - y0, chipWidth, chipHeight), chip);
    const dlib::rectangle chipBox(std::lround((box.left() - x0) * sx),
                                  std::lround((box.top() - y0) * sy),
                                  std::lround((box.right() + 1 - x0) * sx) - 1,
                                  std::lround((box.bottom() + 1 - y0) * sy) - 1);
    const dlib::full_object_detection shape = predictor(chip, chipBox);
    if (shape.num_parts() != 68)
        return {};
    std::vector<dlib::dpoint> points;
    for (unsigned i = 0; i < 68; ++i)
        points.emplace_back(x0 + (shape.part(i).x() + 0.5) / sx,
                            y0 + (shape.part(i).y() + 0.5) / sy);
    return points;
}

double captureQuality(const GrayImage& gray, const dlib::rectangle& box,
                      const std::vector<dlib::dpoint>& shape) {
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
    double frontal = 0;
    if (shape.size() == 68) {
        const double nose = shape[30].x();
        const double dl = std::abs(nose - shape[2].x());
        const double dr = std::abs(shape[14].x() - nose);
        frontal = std::max(dl, dr) > 0 ? std::min(dl, dr) / std::max(dl, dr) : 0.0;
    }
    return std::clamp(0.4 * sharp + 0.3 * exposure + 0.3 * frontal, 0.0, 1.0);
}

std::vector<NormalizedPoint> eyeContour(const std::vector<dlib::dpoint>& shape, unsigned first,
                                        const dlib::rectangle& box) {
    // One scale for both axes keeps the contour's aspect ratio that of the picture.
    const double side = std::max(1.0, (double(box.width()) + double(box.height())) / 2.0);
    std::vector<NormalizedPoint> points;
    for (unsigned i = first; i < first + 6; ++i)
        points.push_back({(shape[i].x() - box.left()) / side, (shape[i].y() - box.top()) / side});
    return points;
}

// Reads through another stream buffer and ends the stream early once `stop` is set, so that a
// model load still running when the process winds down gives up within one buffer.
class StoppableBuffer : public std::streambuf {
public:
    StoppableBuffer(std::streambuf& source, const std::atomic<bool>& stop)
        : source_(source), stop_(stop) {}

protected:
    int_type underflow() override {
        if (stop_)
            return traits_type::eof();
        const auto n = source_.sgetn(buffer_, sizeof buffer_);
        if (n <= 0)
            return traits_type::eof();
        setg(buffer_, buffer_, buffer_ + n);
        return traits_type::to_int_type(buffer_[0]);
    }

private:
    std::streambuf& source_;
    const std::atomic<bool>& stop_;
    char buffer_[1 << 16];
};

} // namespace

struct FaceAnalyzer::Impl {
    std::mutex mutex;
    std::once_flag loadOnce;
    std::once_flag backgroundOnce;
    std::atomic<bool> abandon{false};
    std::atomic<bool> ready{false};
    std::atomic<bool> keepCompact{false}; // read from the shipped file, not written yet
    std::string loadError;
    std::optional<double> loadSeconds;
    dlib::frontal_face_detector detector;
    dlib::shape_predictor predictor;
    std::thread loader; // joined before anything above is destroyed

    Impl() : detector(dlib::get_frontal_face_detector()) {}

    ~Impl() {
        abandon = true;
        if (loader.joinable())
            loader.join();
    }

    void loadOnceOnly() {
        std::call_once(loadOnce, [this] {
            std::lock_guard lock(mutex);
            keepCompact = load();
            ready = true;
        });
        // Outside the once: callers waiting for the model go on while one of them writes.
        if (keepCompact.exchange(false) && !abandon) {
            const auto compact = CompactLandmarkModel::defaultPath();
            if (!CompactLandmarkModel::write(predictor, compact, modelPath()))
                log::error(log::Category::quality,
                           "Cannot keep a fast-loading landmark model at " + compact.string());
        }
    }

    // Whether the model was read from the shipped file (rather than its compact form).
    bool load() {
        const auto start = std::chrono::steady_clock::now();
        bool slow = false;
        try {
            const auto path = modelPath();
            if (!CompactLandmarkModel::read(CompactLandmarkModel::defaultPath(), path, predictor)) {
                slow = true;
                loadShipped(path);
            }
            if (predictor.num_parts() != 68)
                throw std::runtime_error("expected 68 landmarks, found " +
                                         std::to_string(predictor.num_parts()));
        } catch (const std::exception& e) {
            loadError = e.what();
            if (abandon) // the process is ending; nobody will ask for faces any more
                return false;
            log::error(log::Category::quality,
                       "Face landmark model could not be loaded: " + loadError);
            return false;
        }
        loadSeconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        log::info(log::Category::quality,
                  "face_model_loaded ms=" + std::to_string(std::lround(*loadSeconds * 1000.0)) +
                      (slow ? " from=shipped" : " from=compact"));
        return slow;
    }

    void loadShipped(const std::filesystem::path& path) {
        if (!std::filesystem::is_regular_file(path))
            throw std::runtime_error("no file at " + path.string());
        std::ifstream file(path, std::ios::binary);
        if (!file)
            throw std::runtime_error("cannot open " + path.string());
        StoppableBuffer buffer(*file.rdbuf(), abandon);
        std::istream in(&buffer);
        dlib::deserialize(predictor, in);
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

void FaceAnalyzer::warmUp() {
    impl_->loadOnceOnly();
}

bool FaceAnalyzer::isReady() const {
    return impl_->ready;
}

void FaceAnalyzer::warmUpInBackground() {
    std::call_once(impl_->backgroundOnce,
                   [this] { impl_->loader = std::thread([this] { impl_->loadOnceOnly(); }); });
}

std::vector<FaceObservation> FaceAnalyzer::analyze(const ImageBuffer& image) {
    auto faces = run(image, true);
    return faces ? std::move(*faces) : std::vector<FaceObservation>();
}

std::optional<std::vector<FaceObservation>>
FaceAnalyzer::analyzeWithoutWaiting(const ImageBuffer& image) {
    return run(image, false);
}

std::optional<std::vector<FaceObservation>> FaceAnalyzer::run(const ImageBuffer& image, bool wait) {
    // The detector keeps scratch buffers while it scans, so every thread scans with a copy of its
    // own (a few kilobytes of filters); the landmark predictor is only read and is shared.
    thread_local std::unique_ptr<dlib::frontal_face_detector> ownDetector;
    if (!ownDetector)
        ownDetector = std::make_unique<dlib::frontal_face_detector>(impl_->detector);
    auto& detector = *ownDetector;

    const GrayImage gray = grayOf(image);
    if (gray.pixels.empty())
        return {};
    const double smallestFace = std::sqrt(significantFaceArea * gray.width * gray.height);
    const double scale = std::min(1.0, detectionFacePixels / smallestFace);
    DlibGray detectionImage;
    std::vector<dlib::rectangle> boxes;
    if (scale < 1.0) {
        toDlib(resampled(gray, std::max(1, int(gray.width * scale)),
                         std::max(1, int(gray.height * scale))),
               detectionImage);
        const double sx = double(gray.width) / detectionImage.nc();
        const double sy = double(gray.height) / detectionImage.nr();
        for (const auto& r : detector(detectionImage))
            boxes.emplace_back(std::lround(r.left() * sx), std::lround(r.top() * sy),
                               std::lround((r.right() + 1) * sx) - 1,
                               std::lround((r.bottom() + 1) * sy) - 1);
    } else {
        toDlib(gray, detectionImage);
        boxes = detector(detectionImage);
    }

    std::vector<FaceObservation> faces;
    if (boxes.empty())
        return faces;
    if (!wait && !impl_->ready) {
        warmUpInBackground();
        return std::nullopt;
    }
    impl_->loadOnceOnly();
    if (!impl_->loadSeconds)
        throw FaceAnalysisError("Face analysis is unavailable: " + impl_->loadError);
    const dlib::rectangle frame(0, 0, gray.width - 1, gray.height - 1);
    for (const auto& box : boxes) {
        const dlib::rectangle inside = box.intersect(frame);
        if (inside.is_empty())
            continue;
        const std::vector<dlib::dpoint> shape = landmarks(gray, box, impl_->predictor);
        FaceObservation face;
        face.x = double(inside.left()) / gray.width;
        face.y = double(inside.top()) / gray.height;
        face.width = double(inside.width()) / gray.width;
        face.height = double(inside.height()) / gray.height;
        face.captureQuality = float(captureQuality(gray, inside, shape));
        if (shape.size() == 68) {
            face.rightEye = eyeContour(shape, 36, box);
            face.leftEye = eyeContour(shape, 42, box);
        }
        faces.push_back(std::move(face));
    }
    return faces;
}

} // namespace quorlix
