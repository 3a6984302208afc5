#pragma once

#include <optional>

namespace quorlix {

// When two photos are look-alikes: their embeddings are nearly parallel (cosine similarity at least
// `threshold`) and, when both are dated, their capture times are at most `burstWindowSeconds`
// apart; an undated photo meets only undated ones. The grouper and the scoring prefetch both ask
// this rule.
struct LookAlikeRule {
    float threshold = 0.9f;
    double burstWindowSeconds = 120.0;

    // A NaN capture time cannot be ordered, so it counts as none.
    static bool isDated(const std::optional<double>& date) { return date && *date == *date; }

    // Whether the capture times allow a link.
    bool timesMatch(const std::optional<double>& a, const std::optional<double>& b) const {
        if (isDated(a) != isDated(b))
            return false;
        return !isDated(a) || (*a > *b ? *a - *b : *b - *a) <= burstWindowSeconds;
    }

    // Whether a cosine similarity is close enough; false for NaN.
    bool similar(double cosine) const { return double(threshold) <= cosine; }
};

} // namespace quorlix
