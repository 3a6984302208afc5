#include "engine/core/ScanProgress.h"

namespace quorlix {

const char* phaseName(ScanProgress::Phase phase) {
    switch (phase) {
    case ScanProgress::Phase::enumerating:
        return "enumerating";
    case ScanProgress::Phase::hashing:
        return "hashing";
    case ScanProgress::Phase::analyzing:
        return "analyzing";
    case ScanProgress::Phase::grouping:
        return "grouping";
    case ScanProgress::Phase::scoring:
        return "scoring";
    }
    return "unknown";
}

} // namespace quorlix
