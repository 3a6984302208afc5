#include "engine/core/ScoringPrefetch.h"

#include "engine/core/GrayImage.h"

#include <algorithm>
#include <cmath>

namespace quorlix {

namespace {

std::vector<double> unitVector(const std::vector<float>& embedding) {
    double squares = 0;
    for (float v : embedding)
        squares += double(v) * double(v);
    const double norm = std::sqrt(squares);
    if (!(norm > 0) || !std::isfinite(norm))
        return {};
    std::vector<double> out(embedding.size());
    for (std::size_t i = 0; i < embedding.size(); ++i)
        out[i] = double(embedding[i]) / norm;
    return out;
}

} // namespace

ScoringPrefetch::ScoringPrefetch(Measure measure, float threshold, double burstWindowSeconds,
                                 std::size_t recentCapacity)
    : measure_(std::move(measure)), rule_{threshold, burstWindowSeconds},
      recentCapacity_(std::max<std::size_t>(1, recentCapacity)) {}

bool ScoringPrefetch::alike(const Recent& a, const Recent& b) const {
    if (a.unit.empty() || a.unit.size() != b.unit.size() || !rule_.timesMatch(a.date, b.date))
        return false;
    double dot = 0;
    for (std::size_t i = 0; i < a.unit.size(); ++i)
        dot += a.unit[i] * b.unit[i];
    return rule_.similar(dot);
}

void ScoringPrefetch::add(const std::string& path, const PhotoAnalysis& analysis,
                          const ImageBuffer& thumbnail) {
    Recent photo;
    photo.path = path;
    photo.unit = unitVector(analysis.embedding);
    photo.date = analysis.dateOriginal;
    GrayImage gray = grayOf(thumbnail);
    if (gray.pixels.empty())
        return;
    photo.gray.width = gray.width;
    photo.gray.height = gray.height;
    photo.gray.channels = 1;
    photo.gray.pixels = std::move(gray.pixels);

    // The photo joins the recent ones before it looks for look-alikes, so of two frames analysed
    // at the same time the later to arrive still finds the other.
    std::vector<std::pair<std::string, ImageBuffer>> toMeasure;
    {
        std::lock_guard lock(mutex_);
        recent_.push_back(std::move(photo));
        Recent& self = recent_.back();
        bool found = false;
        for (auto& other : recent_) {
            if (&other == &self || !alike(self, other))
                continue;
            found = true;
            if (!other.gray.empty())
                toMeasure.emplace_back(other.path, std::move(other.gray));
            other.gray = {};
        }
        if (found) {
            toMeasure.emplace_back(self.path, std::move(self.gray));
            self.gray = {};
        }
        while (recent_.size() > recentCapacity_)
            recent_.pop_front();
    }
    measureAll(std::move(toMeasure));
}

void ScoringPrefetch::measureAll(std::vector<std::pair<std::string, ImageBuffer>> images) {
    for (auto& [path, image] : images) {
        // One expression that returns on both paths: with the optional assigned inside a try,
        // GCC 12 at -O2 was seen to read a stale "has a value" flag after a throw, and keep a
        // measurement that never happened.
        const std::optional<QualitySignals> signals =
            [this, &frame = image]() -> std::optional<QualitySignals> {
            try {
                return measure_(frame);
            } catch (...) {
                // Left to the scoring, which decodes the photo again and meets the problem itself.
                return std::nullopt;
            }
        }();
        std::lock_guard lock(mutex_);
        if (signals) {
            signals_.emplace(path, *signals);
            continue;
        }
        // Not now: the copy goes back, for a later look-alike to try again while it is recent.
        const auto it =
            std::find_if(recent_.begin(), recent_.end(),
                         [&wanted = path](const Recent& r) { return r.path == wanted; });
        if (it != recent_.end() && it->gray.empty())
            it->gray = std::move(image);
    }
}

std::optional<QualitySignals> ScoringPrefetch::find(const std::string& path) const {
    std::lock_guard lock(mutex_);
    const auto it = signals_.find(path);
    if (it == signals_.end())
        return std::nullopt;
    return it->second;
}

std::size_t ScoringPrefetch::measuredCount() const {
    std::lock_guard lock(mutex_);
    return signals_.size();
}

} // namespace quorlix
