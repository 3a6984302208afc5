#pragma once

#include "engine/core/PhotoRecord.h"
#include "engine/core/ScanResult.h"

#include <QString>
#include <vector>

namespace quorlix {

// Why a group's keeper stands out from the others, from what the scan recorded of every member and
// the image signals its scores were computed from. The scorecard's own verdicts are not kept with
// the result, so these are read back from the member's signals against the group's.
enum class KeeperReason {
    chosenByYou,  // the user's pick, not the automatic one
    firstCopy,    // identical bytes: the first by folder and name
    intact,       // the others include damaged files
    eyesOpen,     // eyes open where another member caught them closed
    sharpest,     // visibly the most detail
    bestExposed,  // the least clipping, where another member clips noticeably
    bestScore,    // the highest quality score of the group
    largest,      // the most pixels
    leastNoise,   // the least sensor noise
    mostPleasing, // the best aesthetics
    mostFaces,    // the most faces in the frame
};

class KeeperReasons {
public:
    // At most this many reasons are named; the strongest come first.
    static constexpr std::size_t maxNamed = 3;

    // The reasons `photo` is the keeper of `group`; nothing when it is not the keeper.
    static std::vector<KeeperReason> of(const ScanResult::Group& group, const PhotoRecord& photo);
    // The reason in the user's language ("sharpest", "largest").
    static QString text(KeeperReason reason);
    // "Kept because: largest, least noise"; empty when it is not the keeper.
    static QString sentence(const ScanResult::Group& group, const PhotoRecord& photo);
};

} // namespace quorlix
