#pragma once

#include <cstdint>
#include <functional>

namespace quorlix {

struct ScanProgress {
    enum class Phase { enumerating, hashing, analyzing, grouping, scoring };

    Phase phase = Phase::enumerating;
    std::int64_t current = 0;
    std::int64_t total = 0; // 0 until the phase knows its size

    friend bool operator==(const ScanProgress&, const ScanProgress&) = default;
};

// Stable lower-case name, for logs and the headless scanner.
const char* phaseName(ScanProgress::Phase phase);

using ProgressCallback = std::function<void(const ScanProgress&)>;

} // namespace quorlix
