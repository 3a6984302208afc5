#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>

namespace quorlix {

// Bytes that several threads draw on for their largest allocations, so that their sum stays
// under the capacity however many threads run: a draw waits until enough is given back. A draw
// larger than the whole capacity is refused at once, since it could never be granted.
// Thread-safe.
class MemoryBudget {
public:
    explicit MemoryBudget(std::int64_t capacity) : capacity_(capacity) {}
    MemoryBudget(const MemoryBudget&) = delete;
    MemoryBudget& operator=(const MemoryBudget&) = delete;

    // Gives its bytes back when it ends.
    class Admission {
    public:
        Admission(Admission&& other) noexcept;
        Admission& operator=(Admission&&) = delete;
        Admission(const Admission&) = delete;
        Admission& operator=(const Admission&) = delete;
        ~Admission();

        std::int64_t bytes() const { return bytes_; }

    private:
        friend class MemoryBudget;
        Admission(MemoryBudget* budget, std::int64_t bytes) : budget_(budget), bytes_(bytes) {}
        MemoryBudget* budget_;
        std::int64_t bytes_;
    };

    // Waits until `bytes` fit beside those admitted already; nothing when they exceed the capacity.
    std::optional<Admission> admit(std::int64_t bytes);

    std::int64_t capacity() const { return capacity_; }
    std::int64_t inUse() const;
    // The most that was ever admitted at once.
    std::int64_t peak() const;

private:
    void release(std::int64_t bytes);

    const std::int64_t capacity_;
    mutable std::mutex mutex_;
    std::condition_variable released_;
    std::int64_t inUse_ = 0;
    std::int64_t peak_ = 0;
};

} // namespace quorlix
