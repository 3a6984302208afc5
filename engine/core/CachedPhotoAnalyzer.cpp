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

std::optional<QualitySignals> CachedPhotoAnalyzer::measureFile(const PhotoRecord& record) const {
    const auto identity = identityOf(record);
    if (identity)
        if (auto signals = cache_->signals(*identity))
            return signals;
    prepareOnce();
    auto signals = inner_->measureFile(record);
    if (signals && identity && FileIdentity::ofPath(record.fileURL) == identity)
        cache_->storeSignals(*identity, *signals);
    return signals;
}

double CachedPhotoAnalyzer::score(const PhotoRecord& record) const {
    if (const auto signals = measureFile(record))
        return inner_->score(record, *signals);
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
