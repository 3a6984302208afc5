#pragma once

#include "engine/core/ImageBuffer.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace quorlix {

struct NormalizedPoint {
    double x = 0;
    double y = 0;
};

// One face as the scorecard needs it.
struct FaceObservation {
    // The face box in coordinates normalised to the image (0…1, origin top left).
    double x = 0, y = 0, width = 0, height = 0;
    // Our own judgement of how well the face was captured, 0…1, higher is better.
    std::optional<float> captureQuality;
    // Eye contours (six points each), normalised to the detector's square face box, so their
    // height-to-width ratio is the one seen in the picture. Left and right are the subject's.
    std::optional<std::vector<NormalizedPoint>> leftEye;
    std::optional<std::vector<NormalizedPoint>> rightEye;
};

// The face pass failed as a whole (the landmark model is missing or unreadable).
class FaceAnalysisError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Faces, eye contours and capture quality, from dlib's HOG frontal face detector and its
// 68-point shape predictor. The detector is built in; the predictor's model (100 MB, seconds to
// read) is loaded once, when the first face is found, so photos without faces never wait for it.
class FaceAnalyzer {
public:
    static FaceAnalyzer& shared();

    // Faces in detector order. Throws FaceAnalysisError when the image has faces and the model
    // cannot be loaded.
    std::vector<FaceObservation> analyze(const ImageBuffer& image);
    // The same, except that an image with faces gets nothing while the model is not loaded yet;
    // its load is then started in the background.
    std::optional<std::vector<FaceObservation>> analyzeWithoutWaiting(const ImageBuffer& image);

    // Loads the model now if it is not loaded yet, so that a caller can pay the few seconds it
    // takes off the critical path (for instance on a worker thread when a scan starts). Never
    // throws; a failure is reported by the next analysis.
    void warmUp();
    // The same on a thread of the analyser's own, returning at once. An analysis that starts
    // before the load is done waits for it; results are the same as without warming up. A load
    // still running when the process ends is abandoned.
    void warmUpInBackground();
    // Whether the model's load has finished (well or not), so that an analysis would not wait.
    bool isReady() const;

    // Seconds the landmark model took to load; nothing before the first analysis.
    std::optional<double> modelLoadSeconds() const;
    static std::filesystem::path modelPath();

    ~FaceAnalyzer();
    FaceAnalyzer(const FaceAnalyzer&) = delete;
    FaceAnalyzer& operator=(const FaceAnalyzer&) = delete;

private:
    FaceAnalyzer();
    std::optional<std::vector<FaceObservation>> run(const ImageBuffer& image, bool wait);
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace quorlix
