#pragma once

#include "engine/core/AnalysisCache.h"
#include "engine/core/PhotoAnalyzer.h"

#include <atomic>
#include <memory>

namespace quorlix {

// An analyser that answers from the analysis cache what it can and asks the analyser it wraps
// for the rest, storing what that one computes. A hit is exactly what the wrapped analyser gave
// for the same version of the same file: results are stored only when the file is the same before
// and after the work, and scores are always computed, from cached signals where there are some.
// The wrapped analyser's scoring is made ready only once a photo is really analysed, so a rescan
// that finds everything cached never loads the face model.
class CachedPhotoAnalyzer : public PhotoAnalyzer {
public:
    CachedPhotoAnalyzer(std::shared_ptr<const PhotoAnalyzer> inner,
                        std::shared_ptr<AnalysisCache> cache);

    std::optional<PhotoAnalysis> analyze(const std::filesystem::path& file,
                                         ImageBuffer* thumbnail = nullptr) const override;
    std::optional<QualitySignals> measure(const ImageBuffer& image) const override;
    std::optional<QualitySignals> measureFile(const PhotoRecord& record) const override;
    double score(const PhotoRecord& record) const override;
    double score(const PhotoRecord& record, const QualitySignals& signals) const override;
    void prepareScoring() const override;
    std::string version() const override;

    const std::shared_ptr<AnalysisCache>& cache() const { return cache_; }
    // Analyses answered from the cache so far.
    std::int64_t hits() const { return hits_; }

private:
    void prepareOnce() const;

    std::shared_ptr<const PhotoAnalyzer> inner_;
    std::shared_ptr<AnalysisCache> cache_;
    mutable std::atomic<bool> scoringWanted_{false};
    mutable std::atomic<bool> scoringPrepared_{false};
    mutable std::atomic<std::int64_t> hits_{0};
};

} // namespace quorlix
