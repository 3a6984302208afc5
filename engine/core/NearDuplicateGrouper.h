#pragma once

#include "engine/core/LookAlikeRule.h"
#include "engine/core/PhotoRecord.h"
#include "engine/core/ScanContext.h"

#include <vector>

namespace quorlix {

// Clusters photos into look-alike bursts by single linkage: two photos are linked when the
// LookAlikeRule says so. Undated photos are compared only with each other, all against all. One
// instance per scan; `group` keeps no state between calls, so concurrent calls are safe.
class NearDuplicateGrouper {
public:
    explicit NearDuplicateGrouper(float threshold = 0.9f, double burstWindowSeconds = 120.0);

    float threshold() const { return rule_.threshold; }
    double burstWindowSeconds() const { return rule_.burstWindowSeconds; }

    // Every record lands in exactly one cluster (single-record clusters included), unchanged.
    // Records are ordered by capture time (undated last), then id; clusters by their first
    // record. The result does not depend on the input order. Throws ScanCancelled once a stop is
    // requested, checked for every row of comparisons.
    std::vector<std::vector<PhotoRecord>> group(std::vector<PhotoRecord> records,
                                                const ScanContext& context = {}) const;

private:
    LookAlikeRule rule_;
};

} // namespace quorlix
