#pragma once

#include "engine/core/ImageBuffer.h"
#include "engine/core/PhotoAnalysis.h"
#include "engine/core/PhotoRecord.h"
#include "engine/core/QualitySignals.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

namespace quorlix {

// What a whole scan asks of the image analysis. The shared analyser lives in the image analysis
// library, loaded from beside the engine's core on first use; tests put their own in its place to
// drive a scan without decoding. Every member may be called from several threads at once.
class PhotoAnalyzer {
public:
    virtual ~PhotoAnalyzer() = default;

    // Nothing when the photo cannot be analysed. With `thumbnail`, the decoded analysis
    // thumbnail is moved into it on success, so later steps on the same photo need not decode
    // it again.
    virtual std::optional<PhotoAnalysis> analyze(const std::filesystem::path& file,
                                                 ImageBuffer* thumbnail = nullptr) const = 0;

    // The image signals of an analysis thumbnail or of its one-channel gray copy (the two must
    // agree); nothing when they cannot be taken now, and then the photo is scored from its file.
    virtual std::optional<QualitySignals> measure(const ImageBuffer& image) const = 0;

    // The signals `measure` would take of the photo's analysis thumbnail, decoded from its file
    // and waiting for whatever the face pass needs; nothing when they cannot be taken apart from
    // scoring, and then the photo is scored from its file. Throws when the face pass cannot run.
    virtual std::optional<QualitySignals> measureFile(const PhotoRecord&) const {
        return std::nullopt;
    }

    // Quality score 0…100 from the photo's file; throws when it cannot be scored.
    virtual double score(const PhotoRecord& record) const = 0;
    // The same score from the signals `measure` took of the photo's thumbnail.
    virtual double score(const PhotoRecord& record, const QualitySignals& signals) const = 0;

    // Called when the analyses start, so that what scoring needs is made ready alongside them.
    // Returns at once.
    virtual void prepareScoring() const {}

    // Names the descriptor and the scorer behind the results, and changes whenever either would
    // compute a different value for the same file: cached results of another version are not used.
    virtual std::string version() const { return {}; }

    // The shared analyser. Throws AnalysisUnavailable when the library cannot be loaded; a later
    // call tries again.
    static std::shared_ptr<const PhotoAnalyzer> shared();
};

// The image analysis library is missing or broken; the text is one sentence for the user and
// the cause is on the scan log.
class AnalysisUnavailable : public std::runtime_error {
public:
    AnalysisUnavailable() : std::runtime_error("The image analysis library could not be loaded.") {}
};

} // namespace quorlix

// The image analysis library's one entry point: the shared analyser, made once.
extern "C" const quorlix::PhotoAnalyzer* quorlixPhotoAnalyzer();
