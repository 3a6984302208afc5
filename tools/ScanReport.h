#pragma once

#include "engine/core/ScanResult.h"

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

namespace quorlix {

// The whole result as JSON: every group with its members' fields (not the embedding).
nlohmann::json resultJson(const ScanResult& result);

// The readable summary: counts, then exact groups, then look-alike groups.
std::string resultSummary(const ScanResult& result);

// A file name as a terminal may show it: control characters (C0, DEL and C1, which start escape
// sequences), bytes that are not UTF-8 and the backslash itself are written as \xNN, so no name
// can move the cursor, recolour or retitle the terminal, or pass for another name.
std::string printable(std::string_view bytes);

// "1.5 MB"-style size for people.
std::string humanBytes(std::int64_t bytes);

} // namespace quorlix
