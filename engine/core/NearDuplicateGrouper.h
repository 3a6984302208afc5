#pragma once

#include "engine/core/PhotoRecord.h"

#include <vector>

namespace quorlix {

// Clusters photos into look-alike bursts by single linkage: two photos are linked when their
// embeddings have a cosine similarity of at least `threshold` and, when both are dated, their
// capture times are at most `burstWindowSeconds` apart. Undated photos are compared only with
// each other, all against all. One instance per scan; `group` keeps no state between calls, so
// concurrent calls are safe.
class NearDuplicateGrouper {
public:
    explicit NearDuplicateGrouper(float threshold = 0.9f, double burstWindowSeconds = 120.0);

    float threshold() const { return threshold_; }
    double burstWindowSeconds() const { return burstWindowSeconds_; }

    // Every record lands in exactly one cluster (single-record clusters included), unchanged.
    // Records are ordered by capture time (undated last), then id; clusters by their first
    // record. The result does not depend on the input order.
    std::vector<std::vector<PhotoRecord>> group(std::vector<PhotoRecord> records) const;

private:
    float threshold_;
    double burstWindowSeconds_;
};

} // namespace quorlix
