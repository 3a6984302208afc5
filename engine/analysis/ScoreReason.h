#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace quorlix {

// Why a photo scored as it did; the stored text of each case is its name.
enum class ScoreReason {
    eyesClosed,
    blurry,
    underexposed,
    overexposed,
    lowAesthetics,
    utility,
    sharp,
    eyesOpen,
    goodExposure,
    goodAesthetics,
};

// Every case, in declaration order.
inline constexpr std::array<ScoreReason, 10> allScoreReasons = {
    ScoreReason::eyesClosed,     ScoreReason::blurry,        ScoreReason::underexposed,
    ScoreReason::overexposed,    ScoreReason::lowAesthetics, ScoreReason::utility,
    ScoreReason::sharp,          ScoreReason::eyesOpen,      ScoreReason::goodExposure,
    ScoreReason::goodAesthetics,
};

std::string_view toString(ScoreReason reason);
// Nothing for a text that names no case.
std::optional<ScoreReason> scoreReasonFromString(std::string_view text);

} // namespace quorlix
