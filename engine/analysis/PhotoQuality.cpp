#include "engine/analysis/PhotoQuality.h"

#include <nlohmann/json.hpp>

namespace quorlix {

std::string toJson(const PhotoQuality& q) {
    nlohmann::ordered_json j;
    j["recordId"] = q.recordId;
    j["aesthetics"] = q.aesthetics;
    j["isUtility"] = q.isUtility;
    if (q.faceQuality)
        j["faceQuality"] = *q.faceQuality;
    if (q.eyesOpen)
        j["eyesOpen"] = *q.eyesOpen;
    j["sharpness"] = q.sharpness;
    j["exposureClip"] = q.exposureClip;
    j["score"] = q.score;
    auto reasons = nlohmann::ordered_json::array();
    for (ScoreReason r : q.reasons)
        reasons.push_back(std::string(toString(r)));
    j["reasons"] = std::move(reasons);
    j["computedAt"] = q.computedAt;
    return j.dump();
}

std::optional<PhotoQuality> photoQualityFromJson(std::string_view json) {
    const auto j = nlohmann::json::parse(json, nullptr, /*allow_exceptions=*/false);
    if (!j.is_object())
        return std::nullopt;
    try {
        PhotoQuality q;
        q.recordId = j.at("recordId").get<std::string>();
        q.aesthetics = j.at("aesthetics").get<float>();
        q.isUtility = j.at("isUtility").get<bool>();
        if (auto it = j.find("faceQuality"); it != j.end() && !it->is_null())
            q.faceQuality = it->get<float>();
        if (auto it = j.find("eyesOpen"); it != j.end() && !it->is_null())
            q.eyesOpen = it->get<bool>();
        q.sharpness = j.at("sharpness").get<float>();
        q.exposureClip = j.at("exposureClip").get<float>();
        q.score = j.at("score").get<float>();
        for (const auto& r : j.at("reasons")) {
            const auto reason = scoreReasonFromString(r.get<std::string>());
            if (!reason)
                return std::nullopt;
            q.reasons.push_back(*reason);
        }
        q.computedAt = j.at("computedAt").get<double>();
        return q;
    } catch (const nlohmann::json::exception&) {
        return std::nullopt;
    }
}

} // namespace quorlix
