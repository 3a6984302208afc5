#include "engine/analysis/ScoreReason.h"

namespace quorlix {

std::string_view toString(ScoreReason reason) {
    switch (reason) {
    case ScoreReason::eyesClosed:
        return "eyesClosed";
    case ScoreReason::blurry:
        return "blurry";
    case ScoreReason::underexposed:
        return "underexposed";
    case ScoreReason::overexposed:
        return "overexposed";
    case ScoreReason::lowAesthetics:
        return "lowAesthetics";
    case ScoreReason::utility:
        return "utility";
    case ScoreReason::sharp:
        return "sharp";
    case ScoreReason::eyesOpen:
        return "eyesOpen";
    case ScoreReason::goodExposure:
        return "goodExposure";
    case ScoreReason::goodAesthetics:
        return "goodAesthetics";
    }
    return "";
}

std::optional<ScoreReason> scoreReasonFromString(std::string_view text) {
    for (ScoreReason reason : allScoreReasons)
        if (toString(reason) == text)
            return reason;
    return std::nullopt;
}

} // namespace quorlix
