// Built with floating-point contraction on: the bound is allowed any rounding its margin covers,
// and fused multiply-adds double the sweep's speed.
#include "engine/core/ProjectedBound.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <thread>

namespace quorlix {

namespace {

// Not under ThreadSanitizer: the clone resolver runs during relocation, before its runtime is up.
#if defined(__x86_64__) && defined(__linux__) && (defined(__GNUC__) || defined(__clang__)) &&      \
    !defined(__SANITIZE_THREAD__)
#define QUORLIX_KERNEL __attribute__((target_clones("arch=x86-64-v3", "default")))
#else
#define QUORLIX_KERNEL
#endif

constexpr std::size_t tileColumns = 1024; // dims × 4 bytes each: 256 KiB at 64 directions
constexpr std::size_t chunk = 16;

void unitRow(const char* data, std::size_t length, double* out) {
    double sum = 0;
    for (std::size_t l = 0; l < length; ++l) {
        float x;
        std::memcpy(&x, data + l * sizeof(float), sizeof x);
        out[l] = x;
        sum += out[l] * out[l];
    }
    const double inverse = 1.0 / std::sqrt(sum);
    for (std::size_t l = 0; l < length; ++l)
        out[l] *= inverse;
}

// Modified Gram-Schmidt, twice over, on `count` vectors of `length`; a vector that collapses is
// replaced by a fresh pseudo-random one, so the result is always orthonormal.
void orthonormalize(std::vector<double>& v, std::size_t count, std::size_t length,
                    std::uint64_t& seed) {
    auto random = [&] {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        return double(std::int64_t(seed >> 11) - (std::int64_t(1) << 52)) / double(1ULL << 52);
    };
    for (std::size_t d = 0; d < count; ++d) {
        double* x = v.data() + d * length;
        for (int attempt = 0;; ++attempt) {
            for (int pass = 0; pass < 2; ++pass)
                for (std::size_t e = 0; e < d; ++e) {
                    const double* y = v.data() + e * length;
                    double dot = 0;
                    for (std::size_t l = 0; l < length; ++l)
                        dot += x[l] * y[l];
                    for (std::size_t l = 0; l < length; ++l)
                        x[l] -= dot * y[l];
                }
            double norm = 0;
            for (std::size_t l = 0; l < length; ++l)
                norm += x[l] * x[l];
            norm = std::sqrt(norm);
            if (norm > 1e-6 || attempt > 8) {
                for (std::size_t l = 0; l < length; ++l)
                    x[l] /= norm;
                break;
            }
            for (std::size_t l = 0; l < length; ++l)
                x[l] = random();
        }
    }
}

#if defined(__GNUC__) || defined(__clang__)

typedef float Lanes __attribute__((vector_size(8 * sizeof(float))));

inline void load(Lanes& v, const float* p) {
    std::memcpy(&v, p, sizeof v);
}

// Into `a`, by reference: vectors returned by value would tie the baseline clone to AVX.
inline void raise(Lanes& a, const Lanes& b) {
    a = a > b ? a : b;
}

// Four rows against the columns [j0, j1) in chunks of 16: marks in `hit` every chunk where some
// pair's bound reaches `cut`, and returns how many were marked.
QUORLIX_KERNEL std::size_t sweep(const float* rows, const float rest[4], const float* columns,
                                 std::size_t stride, const float* columnRest, std::size_t dims,
                                 std::size_t j0, std::size_t j1, float cut, std::uint32_t* hit) {
    std::size_t hits = 0;
    for (std::size_t j = j0; j < j1; j += chunk) {
        Lanes s00{}, s01{}, s10{}, s11{}, s20{}, s21{}, s30{}, s31{}, c0, c1;
        const float* column = columns + j;
        for (std::size_t d = 0; d < dims; ++d, column += stride) {
            load(c0, column);
            load(c1, column + 8);
            const float a0 = rows[d], a1 = rows[dims + d], a2 = rows[2 * dims + d],
                        a3 = rows[3 * dims + d];
            s00 += a0 * c0;
            s01 += a0 * c1;
            s10 += a1 * c0;
            s11 += a1 * c1;
            s20 += a2 * c0;
            s21 += a2 * c1;
            s30 += a3 * c0;
            s31 += a3 * c1;
        }
        load(c0, columnRest + j);
        load(c1, columnRest + j + 8);
        s00 += rest[0] * c0;
        s01 += rest[0] * c1;
        s10 += rest[1] * c0;
        s11 += rest[1] * c1;
        s20 += rest[2] * c0;
        s21 += rest[2] * c1;
        s30 += rest[3] * c0;
        s31 += rest[3] * c1;
        raise(s00, s01);
        raise(s10, s11);
        raise(s20, s21);
        raise(s30, s31);
        raise(s00, s10);
        raise(s20, s30);
        raise(s00, s20);
        const Lanes& top = s00;
        bool any = false;
        for (int k = 0; k < 8; ++k)
            any |= top[k] >= cut;
        if (any)
            hit[hits++] = std::uint32_t(j);
    }
    return hits;
}

#else

std::size_t sweep(const float* rows, const float rest[4], const float* columns, std::size_t stride,
                  const float* columnRest, std::size_t dims, std::size_t j0, std::size_t j1,
                  float cut, std::uint32_t* hit) {
    std::size_t hits = 0;
    for (std::size_t j = j0; j < j1; j += chunk) {
        bool any = false;
        for (std::size_t r = 0; r < 4; ++r)
            for (std::size_t c = 0; c < chunk; ++c) {
                float s = rest[r] * columnRest[j + c];
                for (std::size_t d = 0; d < dims; ++d)
                    s += rows[r * dims + d] * columns[d * stride + j + c];
                any |= s >= cut;
            }
        if (any)
            hit[hits++] = std::uint32_t(j);
    }
    return hits;
}

#endif

} // namespace

ProjectedBound::ProjectedBound(const std::vector<const char*>& rows, std::size_t length,
                               std::size_t dims, int threads)
    : count_(rows.size()), dims_(std::min(dims, length)) {
    const std::size_t n = count_;
    const std::size_t k = dims_;
    stride_ = (n + chunk - 1) / chunk * chunk;
    rowsP_.assign(n * k, 0.0f);
    columns_.assign(k * stride_, 0.0f);
    rest_.assign(stride_, 0.0f);
    if (n == 0 || k == 0)
        return;

    // The strongest directions of an even sample: subspace iteration on its second moments.
    const std::size_t samples = std::min<std::size_t>(n, 2048);
    std::vector<double> moments(length * length, 0.0);
    std::vector<double> u(length);
    for (std::size_t s = 0; s < samples; ++s) {
        unitRow(rows[s * n / samples], length, u.data());
        for (std::size_t a = 0; a < length; ++a) {
            double* m = moments.data() + a * length;
            const double ua = u[a];
            for (std::size_t b = a; b < length; ++b)
                m[b] += ua * u[b];
        }
    }
    for (std::size_t a = 0; a < length; ++a)
        for (std::size_t b = 0; b < a; ++b)
            moments[a * length + b] = moments[b * length + a];

    std::uint64_t seed = 2026;
    std::vector<double> basis(k * length);
    for (auto& x : basis) {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        x = double(std::int64_t(seed >> 11) - (std::int64_t(1) << 52)) / double(1ULL << 52);
    }
    orthonormalize(basis, k, length, seed);
    std::vector<double> next(k * length);
    for (int iteration = 0; iteration < 6; ++iteration) {
        std::fill(next.begin(), next.end(), 0.0);
        for (std::size_t d = 0; d < k; ++d)
            for (std::size_t a = 0; a < length; ++a) {
                const double x = basis[d * length + a];
                const double* m = moments.data() + a * length;
                double* out = next.data() + d * length;
                for (std::size_t b = 0; b < length; ++b)
                    out[b] += x * m[b];
            }
        orthonormalize(next, k, length, seed);
        basis.swap(next);
    }

    // Direction-minor copy, so that one row's projection is a sweep over contiguous memory.
    std::vector<double> across(length * k);
    for (std::size_t d = 0; d < k; ++d)
        for (std::size_t l = 0; l < length; ++l)
            across[l * k + d] = basis[d * length + l];

    auto project = [&](std::size_t begin, std::size_t end) {
        std::vector<double> unit(length), p(k);
        for (std::size_t r = begin; r < end; ++r) {
            unitRow(rows[r], length, unit.data());
            std::fill(p.begin(), p.end(), 0.0);
            double whole = 0;
            for (std::size_t l = 0; l < length; ++l) {
                const double x = unit[l];
                whole += x * x;
                const double* b = across.data() + l * k;
                for (std::size_t d = 0; d < k; ++d)
                    p[d] += x * b[d];
            }
            double inside = 0;
            for (std::size_t d = 0; d < k; ++d) {
                inside += p[d] * p[d];
                rowsP_[r * k + d] = float(p[d]);
                columns_[d * stride_ + r] = float(p[d]);
            }
            // Rounded up: the float copies and the orthonormality of the basis are off by far less.
            rest_[r] = float(std::sqrt(std::max(0.0, whole - inside)) + 1e-6);
        }
    };
    const std::size_t workers = std::max<std::size_t>(1, std::min<std::size_t>(threads, n / 256));
    std::vector<std::jthread> pool;
    for (std::size_t t = 0; t < workers; ++t)
        pool.emplace_back(project, n * t / workers, n * (t + 1) / workers);
}

void ProjectedBound::candidates(std::size_t begin, std::size_t end, float cut,
                                const std::function<void(std::size_t, std::size_t)>& pair) const {
    const std::size_t n = count_;
    const std::size_t k = dims_;
    end = std::min(end, n);
    if (begin >= end)
        return;
    std::vector<float> quad(4 * k);
    std::vector<std::uint32_t> hit(tileColumns / chunk);
    const std::size_t firstTile = (begin + 1) / tileColumns * tileColumns;
    for (std::size_t tile = firstTile; tile < n; tile += tileColumns) {
        const std::size_t tileEnd = std::min(stride_, tile + tileColumns);
        for (std::size_t i0 = begin; i0 < end; i0 += 4) {
            const std::size_t from = std::max(tile, (i0 + 1) / chunk * chunk);
            if (from >= tileEnd)
                continue;
            float rest[4];
            for (std::size_t r = 0; r < 4; ++r) {
                const std::size_t i = std::min(i0 + r, n - 1);
                std::memcpy(quad.data() + r * k, rowsP_.data() + i * k, k * sizeof(float));
                rest[r] = rest_[i];
            }
            const std::size_t hits = sweep(quad.data(), rest, columns_.data(), stride_,
                                           rest_.data(), k, from, tileEnd, cut, hit.data());
            // The pairs of a marked chunk are bounded again one by one; any rounding of the bound
            // is as safe as the sweep's.
            for (std::size_t h = 0; h < hits; ++h)
                for (std::size_t r = 0; r < 4 && i0 + r < end; ++r) {
                    const std::size_t i = i0 + r;
                    const float* p = rowsP_.data() + i * k;
                    for (std::size_t j = std::max<std::size_t>(hit[h], i + 1);
                         j < std::min(n, hit[h] + chunk); ++j) {
                        float s = rest_[i] * rest_[j];
                        for (std::size_t d = 0; d < k; ++d)
                            s += p[d] * columns_[d * stride_ + j];
                        if (s >= cut)
                            pair(i, j);
                    }
                }
        }
    }
}

} // namespace quorlix
