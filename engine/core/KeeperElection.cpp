#include "engine/core/KeeperElection.h"

#include <cmath>

namespace quorlix {

std::optional<std::string>
KeeperElection::pickKeeper(const std::vector<std::pair<std::string, double>>& scores) {
    if (scores.empty())
        return std::nullopt;
    // A score that is not a number loses to every number, so it can never hold the lead by
    // comparing false against everything after it.
    const std::pair<std::string, double>* best = &scores.front();
    for (const auto& candidate : scores) {
        const bool nanBest = std::isnan(best->second), nanCandidate = std::isnan(candidate.second);
        if ((nanBest && !nanCandidate) || candidate.second > best->second ||
            (candidate.second == best->second && candidate.first < best->first) ||
            (nanBest && nanCandidate && candidate.first < best->first))
            best = &candidate;
    }
    return best->first;
}

} // namespace quorlix
