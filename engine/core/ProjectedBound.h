#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace quorlix {

// A cheap upper bound on the cosine similarity of two vectors, for skipping the pairs that cannot
// reach a threshold. Each vector u (taken to unit length) is split into its projection p onto a
// few orthonormal directions and the rest r; then u·v = p·q + r·s ≤ p·q + |r||s|. The directions
// are the strongest of a sample of the rows, so real feature prints leave little in r and the
// bound is close; any directions would keep it an upper bound. Projections are computed in double
// and compared in float; `margin` covers every rounding of this bound and of the exact similarity
// that the caller computes afterwards, with room to spare.
class ProjectedBound {
public:
    static constexpr float margin = 1e-3f;

    // `rows` point at `length` floats each (no alignment needed), finite and of a length that
    // neither overflows nor underflows in float. `dims` directions are kept, fewer when the rows
    // are shorter.
    ProjectedBound(const std::vector<const char*>& rows, std::size_t length, std::size_t dims,
                   int threads);

    std::size_t size() const { return count_; }

    // Calls `pair(i, j)` for the row pairs with i in [begin, end), i < j < size(), whose bound
    // reaches `cut`. Columns are swept in tiles that stay in the second-level cache.
    void candidates(std::size_t begin, std::size_t end, float cut,
                    const std::function<void(std::size_t, std::size_t)>& pair) const;

private:
    std::size_t count_ = 0;
    std::size_t dims_ = 0;
    std::size_t stride_ = 0;     // columns per direction in `columns_`, a multiple of 16
    std::vector<float> rowsP_;   // count × dims, row by row
    std::vector<float> columns_; // dims × stride, direction by direction
    std::vector<float> rest_;    // stride residual lengths, rounded up; 0 past `count_`
};

} // namespace quorlix
