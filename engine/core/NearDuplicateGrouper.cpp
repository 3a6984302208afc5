#include "engine/core/NearDuplicateGrouper.h"

#include "engine/core/KernelClones.h"
#include "engine/core/ProjectedBound.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <map>
#include <thread>

namespace quorlix {

namespace {

// Dot products run over `lanes` partial sums. A row whose length is not a multiple of `lanes` is
// read as if zero-padded: padding adds 0 × 0 to a sum and never changes it.
constexpr std::size_t lanes = 8;

std::size_t padded(std::size_t length) {
    return (length + lanes - 1) / lanes * lanes;
}

// Every dot product keeps one accumulator of `lanes` partial sums, so a pair's similarity does not
// depend on the kernel clone that computed it.

#if defined(__GNUC__) || defined(__clang__)

typedef float Lanes __attribute__((vector_size(lanes * sizeof(float))));

// Vectors travel by reference: by value they would tie the baseline clone to an AVX calling
// convention. Loads go through memcpy because embedding blobs carry no float alignment.
inline void load(Lanes& v, const void* p) {
    std::memcpy(&v, p, sizeof v);
}

inline float sumLanes(const Lanes& v) {
    return ((v[0] + v[1]) + (v[2] + v[3])) + ((v[4] + v[5]) + (v[6] + v[7]));
}

// `n` floats read straight from two byte strings; the tail is zero-filled into full lanes.
QUORLIX_KERNEL float dot(const char* a, const char* b, std::size_t n) {
    Lanes s{}, x, y;
    const std::size_t whole = n / lanes * lanes;
    for (std::size_t k = 0; k < whole; k += lanes) {
        load(x, a + k * sizeof(float));
        load(y, b + k * sizeof(float));
        s += x * y;
    }
    if (whole < n) {
        x = Lanes{};
        y = Lanes{};
        std::memcpy(&x, a + whole * sizeof(float), (n - whole) * sizeof(float));
        std::memcpy(&y, b + whole * sizeof(float), (n - whole) * sizeof(float));
        s += x * y;
    }
    return sumLanes(s);
}

// Four zero-padded rows against one: `b` is loaded once for four products, which cuts the loads
// per multiply-add and keeps four independent accumulator chains in flight.
QUORLIX_KERNEL void dot4(const float* const a[4], const float* b, std::size_t paddedLength,
                         float out[4]) {
    Lanes s0{}, s1{}, s2{}, s3{}, vb, x0, x1, x2, x3;
    for (std::size_t k = 0; k < paddedLength; k += lanes) {
        load(vb, b + k);
        load(x0, a[0] + k);
        load(x1, a[1] + k);
        load(x2, a[2] + k);
        load(x3, a[3] + k);
        s0 += x0 * vb;
        s1 += x1 * vb;
        s2 += x2 * vb;
        s3 += x3 * vb;
    }
    out[0] = sumLanes(s0);
    out[1] = sumLanes(s1);
    out[2] = sumLanes(s2);
    out[3] = sumLanes(s3);
}

// Four rows against two: eight independent accumulator chains hide the latency of the
// multiply-adds, and six loads feed eight of them.
QUORLIX_KERNEL void dot4x2(const float* const a[4], const float* b0, const float* b1,
                           std::size_t paddedLength, float out[4][2]) {
    Lanes s00{}, s10{}, s20{}, s30{}, s01{}, s11{}, s21{}, s31{}, y0, y1, x;
    for (std::size_t k = 0; k < paddedLength; k += lanes) {
        load(y0, b0 + k);
        load(y1, b1 + k);
        load(x, a[0] + k);
        s00 += x * y0;
        s01 += x * y1;
        load(x, a[1] + k);
        s10 += x * y0;
        s11 += x * y1;
        load(x, a[2] + k);
        s20 += x * y0;
        s21 += x * y1;
        load(x, a[3] + k);
        s30 += x * y0;
        s31 += x * y1;
    }
    out[0][0] = sumLanes(s00);
    out[1][0] = sumLanes(s10);
    out[2][0] = sumLanes(s20);
    out[3][0] = sumLanes(s30);
    out[0][1] = sumLanes(s01);
    out[1][1] = sumLanes(s11);
    out[2][1] = sumLanes(s21);
    out[3][1] = sumLanes(s31);
}

#else

float dot(const char* a, const char* b, std::size_t n) {
    float s[lanes] = {};
    for (std::size_t k = 0; k < n; ++k) {
        float x, y;
        std::memcpy(&x, a + k * sizeof(float), sizeof x);
        std::memcpy(&y, b + k * sizeof(float), sizeof y);
        s[k % lanes] += x * y;
    }
    return ((s[0] + s[1]) + (s[2] + s[3])) + ((s[4] + s[5]) + (s[6] + s[7]));
}

void dot4(const float* const a[4], const float* b, std::size_t paddedLength, float out[4]) {
    for (int r = 0; r < 4; ++r)
        out[r] = dot(reinterpret_cast<const char*>(a[r]), reinterpret_cast<const char*>(b),
                     paddedLength);
}

void dot4x2(const float* const a[4], const float* b0, const float* b1, std::size_t paddedLength,
            float out[4][2]) {
    for (int r = 0; r < 4; ++r) {
        out[r][0] = dot(reinterpret_cast<const char*>(a[r]), reinterpret_cast<const char*>(b0),
                        paddedLength);
        out[r][1] = dot(reinterpret_cast<const char*>(a[r]), reinterpret_cast<const char*>(b1),
                        paddedLength);
    }
}

#endif

// Union-find over sorted positions: full path compression, and the smaller root always wins, so
// every cluster's root is its first record in sorted order.
class DisjointSets {
public:
    explicit DisjointSets(std::size_t n) : parent_(n) {
        for (std::size_t i = 0; i < n; ++i)
            parent_[i] = i;
    }

    std::size_t find(std::size_t x) {
        std::size_t root = x;
        while (parent_[root] != root)
            root = parent_[root];
        while (parent_[x] != root) {
            const std::size_t next = parent_[x];
            parent_[x] = root;
            x = next;
        }
        return root;
    }

    void unite(std::size_t a, std::size_t b) {
        const std::size_t ra = find(a);
        const std::size_t rb = find(b);
        if (ra < rb)
            parent_[rb] = ra;
        else if (rb < ra)
            parent_[ra] = rb;
    }

private:
    std::vector<std::size_t> parent_;
};

bool isDated(const PhotoRecord& r) {
    return LookAlikeRule::isDated(r.dateOriginal);
}

// Below this many rows of one length, all pairs cost less than building the bound.
constexpr std::size_t minBoundedRows = 2048;
// At the 929 floats of today's feature print, 64 directions let too many pairs of unrelated
// photos through the bound (164 s for 100,000 undated in the grouping benchmark); 96 keep it at
// about 10 s, and 80 or 128 are slower.
constexpr std::size_t boundDirections = 96;

// All pairs from one contiguous zero-padded block. Rows are taken in tiles that stay in the
// second-level cache while groups of four earlier rows sweep them from the first.
template <typename Test>
void linkAllPairs(const std::vector<PhotoRecord>& records, const std::vector<std::size_t>& rows,
                  std::size_t len, const ScanContext& context, Test& test) {
    constexpr std::size_t tileRows = 128;
    const std::size_t m = rows.size();
    const std::size_t stride = padded(len);
    std::vector<float> block(m * stride, 0.0f);
    for (std::size_t r = 0; r < m; ++r)
        std::memcpy(block.data() + r * stride, records[rows[r]].embeddingBlob->data(),
                    len * sizeof(float));
    auto row = [&](std::size_t r) {
        return block.data() + r * stride;
    };
    for (std::size_t t0 = 0; t0 < m; t0 += tileRows) {
        const std::size_t t1 = std::min(m, t0 + tileRows);
        for (std::size_t g = 0; g + 1 < t1; g += 4) {
            context.checkpoint();
            const float* a[4];
            for (std::size_t r = 0; r < 4; ++r)
                a[r] = row(std::min(g + r, m - 1));
            std::size_t j = std::max(t0, g + 1);
            for (; j + 1 < t1; j += 2) {
                float products[4][2];
                dot4x2(a, row(j), row(j + 1), stride, products);
                for (std::size_t r = 0; r < 4 && g + r < j + 1; ++r) {
                    if (g + r < j)
                        test(rows[g + r], rows[j], products[r][0]);
                    test(rows[g + r], rows[j + 1], products[r][1]);
                }
            }
            if (j < t1) {
                float products[4];
                dot4(a, row(j), stride, products);
                for (std::size_t r = 0; r < 4 && g + r < j; ++r)
                    test(rows[g + r], rows[j], products[r]);
            }
        }
    }
}

// The same links as linkAllPairs, on every processor: a projected bound skips the pairs that
// cannot reach the threshold, and the survivors are decided by the very similarity linkAllPairs
// computes (dot4x2 and dot sum the same lanes in the same order). A pair whose rows are already
// linked through others changes nothing and is not computed. Rows whose length is too small or
// too large for the bound's arithmetic are compared with every row directly.
void linkBounded(const std::vector<PhotoRecord>& records, const std::vector<std::size_t>& rows,
                 std::size_t len, const std::vector<float>& norm, float threshold,
                 const ScanContext& context, DisjointSets& sets) {
    const std::size_t m = rows.size();
    std::vector<std::size_t> plain, odd;
    for (std::size_t r = 0; r < m; ++r) {
        const float x = norm[rows[r]];
        (x >= 1e-10f && x <= 1e10f ? plain : odd).push_back(r);
    }
    auto data = [&](std::size_t r) {
        return records[rows[r]].embeddingBlob->data();
    };
    auto linked = [&](std::size_t a, std::size_t b) {
        const float product = dot(data(a), data(b), len);
        return threshold <= product / (norm[rows[a]] * norm[rows[b]]);
    };

    const int threads = std::max(1, int(std::thread::hardware_concurrency()));
    std::vector<const char*> plainRows;
    plainRows.reserve(plain.size());
    for (const std::size_t r : plain)
        plainRows.push_back(data(r));
    const ProjectedBound bound(plainRows, len, boundDirections, threads);
    const float cut = threshold - ProjectedBound::margin;

    // Rows are dealt out in blocks, earliest (longest) first; each thread links into its own sets,
    // which are joined at the end. A stop ends every thread's loop at its next block and is
    // reported only once all have been joined.
    constexpr std::size_t blockRows = 128;
    std::atomic<std::size_t> nextBlock{0};
    std::vector<DisjointSets> local(std::size_t(threads), DisjointSets(plain.size()));
    auto work = [&](std::size_t t) {
        DisjointSets& mine = local[t];
        const auto pair = [&](std::size_t i, std::size_t j) {
            if (mine.find(i) != mine.find(j) && linked(plain[i], plain[j]))
                mine.unite(i, j);
        };
        for (std::size_t b = nextBlock++; b * blockRows < plain.size(); b = nextBlock++) {
            if (context.stopRequested())
                return;
            bound.candidates(b * blockRows, (b + 1) * blockRows, cut, pair);
        }
    };
    {
        std::vector<std::jthread> pool;
        for (int t = 0; t < threads; ++t)
            pool.emplace_back(work, std::size_t(t));
    }
    context.checkpoint();
    for (auto& mine : local)
        for (std::size_t i = 0; i < plain.size(); ++i)
            sets.unite(rows[plain[i]], rows[plain[mine.find(i)]]);

    std::vector<bool> isOdd(m, false);
    for (const std::size_t o : odd)
        isOdd[o] = true;
    for (const std::size_t o : odd) {
        context.checkpoint();
        for (std::size_t r = 0; r < m; ++r)
            if (r != o && !(isOdd[r] && r < o) && linked(r, o))
                sets.unite(rows[r], rows[o]);
    }
}

} // namespace

NearDuplicateGrouper::NearDuplicateGrouper(float threshold, double burstWindowSeconds)
    : rule_{threshold, burstWindowSeconds} {}

std::vector<std::vector<PhotoRecord>>
NearDuplicateGrouper::group(std::vector<PhotoRecord> records, const ScanContext& context) const {
    const std::size_t n = records.size();
    if (n == 0)
        return {};

    std::sort(records.begin(), records.end(), [](const PhotoRecord& a, const PhotoRecord& b) {
        const bool da = isDated(a);
        const bool db = isDated(b);
        if (da != db)
            return da;
        if (da && *a.dateOriginal != *b.dateOriginal)
            return *a.dateOriginal < *b.dateOriginal;
        return a.id < b.id;
    });

    // Lengths and norms once per record. Dated records meet only a few neighbours each, so
    // their embeddings are read in place from the blobs; copying a whole year of them first
    // would cost more than comparing them.
    std::vector<std::size_t> length(n);
    std::vector<float> norm(n, 0.0f);
    for (std::size_t i = 0; i < n; ++i) {
        if (!records[i].embeddingBlob)
            continue;
        const std::string& blob = *records[i].embeddingBlob;
        length[i] = blob.size() / sizeof(float);
        norm[i] = std::sqrt(dot(blob.data(), blob.data(), length[i]));
    }
    // A NaN norm fails this test too, so such a record is never linked.
    auto usable = [&](std::size_t i) {
        return norm[i] > 0.0f;
    };

    DisjointSets sets(n);
    auto test = [&](std::size_t i, std::size_t j, float product) {
        if (rule_.similar(product / (norm[i] * norm[j])))
            sets.unite(i, j);
    };

    std::size_t dated = 0;
    while (dated < n && isDated(records[dated]))
        ++dated;

    // Dated records: sorted by time, so each one meets only its successors inside the window.
    for (std::size_t i = 0; i < dated; ++i) {
        context.checkpoint();
        if (!usable(i))
            continue;
        const double t = *records[i].dateOriginal;
        for (std::size_t j = i + 1; j < dated; ++j) {
            if (*records[j].dateOriginal - t > rule_.burstWindowSeconds)
                break;
            if (usable(j) && length[j] == length[i])
                test(i, j,
                     dot(records[i].embeddingBlob->data(), records[j].embeddingBlob->data(),
                         length[i]));
        }
    }

    // Undated records: all against all within each embedding length.
    std::map<std::size_t, std::vector<std::size_t>> byLength;
    for (std::size_t i = dated; i < n; ++i)
        if (usable(i))
            byLength[length[i]].push_back(i);
    for (const auto& [len, rows] : byLength) {
        if (rows.size() >= minBoundedRows && len > boundDirections)
            linkBounded(records, rows, len, norm, rule_.threshold, context, sets);
        else
            linkAllPairs(records, rows, len, context, test);
    }

    constexpr std::size_t none = std::numeric_limits<std::size_t>::max();
    std::vector<std::size_t> clusterOfRoot(n, none);
    std::vector<std::vector<PhotoRecord>> clusters;
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t root = sets.find(i);
        if (clusterOfRoot[root] == none) {
            clusterOfRoot[root] = clusters.size();
            clusters.emplace_back();
        }
        clusters[clusterOfRoot[root]].push_back(std::move(records[i]));
    }
    return clusters;
}

} // namespace quorlix
