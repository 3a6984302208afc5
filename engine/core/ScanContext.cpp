#include "engine/core/ScanContext.h"

#include "engine/core/ScanCancelled.h"

#include <utility>

namespace quorlix {

ScanContext::ScanContext(std::stop_token stop, ProgressCallback progress)
    : stop_(std::move(stop)), progress_(std::move(progress)) {}

void ScanContext::checkpoint() const {
    if (stop_.stop_requested())
        throw ScanCancelled();
}

void ScanContext::report(ScanProgress::Phase phase, std::int64_t current,
                         std::int64_t total) const {
    if (progress_)
        progress_({phase, current, total});
}

} // namespace quorlix
