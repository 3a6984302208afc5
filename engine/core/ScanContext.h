#pragma once

#include "engine/core/ScanProgress.h"

#include <cstdint>
#include <stop_token>

namespace quorlix {

// What every step of a scan runs with: the stop it must honour and where its progress goes.
// Steps check `checkpoint` often enough that a stop is honoured within 0.2 s, also inside one
// long read or one long comparison loop.
class ScanContext {
public:
    ScanContext() = default;
    ScanContext(std::stop_token stop, ProgressCallback progress);

    bool stopRequested() const { return stop_.stop_requested(); }
    const std::stop_token& stopToken() const { return stop_; }
    // Throws ScanCancelled once a stop is requested.
    void checkpoint() const;
    // Reports on the calling thread; callers report one at a time and in order. Never blocks.
    void report(ScanProgress::Phase phase, std::int64_t current, std::int64_t total) const;

private:
    std::stop_token stop_;
    ProgressCallback progress_;
};

} // namespace quorlix
