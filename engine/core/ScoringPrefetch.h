#pragma once

#include "engine/core/ImageBuffer.h"
#include "engine/core/LookAlikeRule.h"
#include "engine/core/PhotoAnalysis.h"
#include "engine/core/QualitySignals.h"

#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace quorlix {

// Lets best-shot scoring reuse the decodes of the analysing phase. Which photos get scored is
// known only once every photo is analysed and grouped, and keeping every thumbnail until then
// would cost memory in proportion to the folder. So each analysed photo is compared with the few
// analysed just before it: one with a look-alike among them is very likely to be scored, and its
// image signals are measured at once from the thumbnail in hand, its look-alikes' from the gray
// copies kept of those last few photos. A photo missed here is simply decoded again when it is
// scored, so no score depends on what was caught. One per scan; thread-safe.
class ScoringPrefetch {
public:
    // The image signals of a thumbnail, or of its one-channel gray copy (the two must agree);
    // nothing when they cannot be taken now.
    using Measure = std::function<std::optional<QualitySignals>(const ImageBuffer&)>;

    // `threshold` and `burstWindowSeconds` as the look-alike grouper's; `recentCapacity` photos
    // keep a gray copy (about 0.8 MB each for a 1024 px thumbnail).
    ScoringPrefetch(Measure measure, float threshold, double burstWindowSeconds,
                    std::size_t recentCapacity = 16);

    // After the analysis of the photo at `path`, with the thumbnail it was analysed on. May
    // measure this photo and some of the recent ones on the calling thread.
    void add(const std::string& path, const PhotoAnalysis& analysis, const ImageBuffer& thumbnail);

    // The signals measured for the photo at `path`, if any.
    std::optional<QualitySignals> find(const std::string& path) const;
    std::size_t measuredCount() const;

private:
    struct Recent {
        std::string path;
        std::vector<double> unit; // the embedding scaled to length 1; empty when it has none
        std::optional<double> date;
        ImageBuffer gray; // empty once taken for measuring
    };

    bool alike(const Recent& a, const Recent& b) const;
    void measureAll(std::vector<std::pair<std::string, ImageBuffer>> images);

    Measure measure_;
    LookAlikeRule rule_;
    std::size_t recentCapacity_;
    mutable std::mutex mutex_;
    std::deque<Recent> recent_;
    std::unordered_map<std::string, QualitySignals> signals_;
};

} // namespace quorlix
