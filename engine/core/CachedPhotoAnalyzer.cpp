#include "engine/core/CachedPhotoAnalyzer.h"

namespace quorlix {

namespace {

std::optional<FileIdentity> identityOf(const PhotoRecord& record) {
    return record.identity ? record.identity : FileIdentity::ofPath(record.fileURL);
}

} // namespace

CachedPhotoAnalyzer::CachedPhotoAnalyzer(std::shared_ptr<const PhotoAnalyzer> inner,
                                         std::shared_ptr<AnalysisCache> cache)
    : inner_(std::move(inner)), cache_(std::move(cache)) {}

void CachedPhotoAnalyzer::prepareScoring() const {
    scoringWanted_ = true;
}

void CachedPhotoAnalyzer::prepareOnce() const {
    if (scoringWanted_ && !scoringPrepared_.exchange(true))
        inner_->prepareScoring();
}

std::string CachedPhotoAnalyzer::version() const {
    return inner_->version();
}

std::optional<PhotoAnalysis> CachedPhotoAnalyzer::analyze(const std::filesystem::path& file,
                                                          ImageBuffer* thumbnail) const {
    const auto before = FileIdentity::ofPath(file);
    if (before)
        if (auto cached = cache_->analysis(*before)) {
            ++hits_;
            return cached;
        }
    prepareOnce();
    auto analysis = inner_->analyze(file, thumbnail);
    if (analysis && before && FileIdentity::ofPath(file) == before)
        cache_->storeAnalysis(*before, *analysis);
    return analysis;
}

std::optional<QualitySignals> CachedPhotoAnalyzer::measure(const ImageBuffer& image) const {
    return inner_->measure(image);
}

double CachedPhotoAnalyzer::score(const PhotoRecord& record) const {
    const auto identity = identityOf(record);
    if (identity)
        if (const auto signals = cache_->signals(*identity))
            return inner_->score(record, *signals);
    // Measured from the analysis thumbnail, the signals can be kept; the wrapped analyser's own
    // scoring from the file gives the same score but not the signals.
    prepareOnce();
    ImageBuffer thumbnail;
    if (identity && inner_->analyze(record.fileURL, &thumbnail) && !thumbnail.empty())
        if (const auto signals = inner_->measure(thumbnail)) {
            if (FileIdentity::ofPath(record.fileURL) == identity)
                cache_->storeSignals(*identity, *signals);
            return inner_->score(record, *signals);
        }
    return inner_->score(record);
}

double CachedPhotoAnalyzer::score(const PhotoRecord& record, const QualitySignals& signals) const {
    const double value = inner_->score(record, signals);
    if (const auto identity = identityOf(record);
        identity && record.identity && FileIdentity::ofPath(record.fileURL) == identity)
        cache_->storeSignals(*identity, signals);
    return value;
}

} // namespace quorlix
