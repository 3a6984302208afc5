#pragma once

#include "engine/analysis/ScoreReason.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorlix {

// The scorecard's verdict on one photo.
struct PhotoQuality {
    std::string recordId;
    float aesthetics = 0; // the record's raw aesthetics score, 0 when it has none
    bool isUtility = false;
    std::optional<float> faceQuality;
    std::optional<bool> eyesOpen;
    float sharpness = 0;    // 0…1
    float exposureClip = 0; // shadow plus highlight clipping, at most 1
    float score = 0;        // 0…100
    std::vector<ScoreReason> reasons;
    double computedAt = 0; // seconds since 1970

    friend bool operator==(const PhotoQuality&, const PhotoQuality&) = default;
};

// One JSON object whose keys are the field names; absent optionals are left out.
std::string toJson(const PhotoQuality& quality);
// Accepts absent or null optionals. Nothing when the text is not such an object.
std::optional<PhotoQuality> photoQualityFromJson(std::string_view json);

} // namespace quorlix
