#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quorlix {

// The keeper rule reads scores only, no pixels, so electing keepers never needs the image
// libraries.
class KeeperElection {
public:
    // The best-scored id, ties to the smaller id, NaN below every number; nothing for an empty
    // list.
    static std::optional<std::string>
    pickKeeper(const std::vector<std::pair<std::string, double>>& scores);
};

} // namespace quorlix
