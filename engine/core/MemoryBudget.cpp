#include "engine/core/MemoryBudget.h"

#include <algorithm>
#include <utility>

namespace quorlix {

MemoryBudget::Admission::Admission(Admission&& other) noexcept
    : budget_(std::exchange(other.budget_, nullptr)), bytes_(std::exchange(other.bytes_, 0)) {}

MemoryBudget::Admission::~Admission() {
    if (budget_)
        budget_->release(bytes_);
}

std::optional<MemoryBudget::Admission> MemoryBudget::admit(std::int64_t bytes) {
    bytes = std::max<std::int64_t>(bytes, 0);
    if (bytes > capacity_)
        return std::nullopt;
    std::unique_lock lock(mutex_);
    released_.wait(lock, [&] { return inUse_ + bytes <= capacity_; });
    inUse_ += bytes;
    peak_ = std::max(peak_, inUse_);
    return Admission(this, bytes);
}

std::int64_t MemoryBudget::inUse() const {
    std::lock_guard lock(mutex_);
    return inUse_;
}

std::int64_t MemoryBudget::peak() const {
    std::lock_guard lock(mutex_);
    return peak_;
}

void MemoryBudget::release(std::int64_t bytes) {
    {
        std::lock_guard lock(mutex_);
        inUse_ -= bytes;
    }
    released_.notify_all();
}

} // namespace quorlix
