#pragma once

#include "engine/core/ScanResult.h"

#include <nlohmann/json.hpp>
#include <string>

namespace quorlix {

// The whole result as JSON: every group with its members' fields (not the embedding).
nlohmann::json resultJson(const ScanResult& result);

// The readable summary: counts, then exact groups, then look-alike groups.
std::string resultSummary(const ScanResult& result);

// "1.5 MB"-style size for people.
std::string humanBytes(std::int64_t bytes);

} // namespace quorlix
