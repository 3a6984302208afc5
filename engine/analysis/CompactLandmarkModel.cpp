#include "engine/analysis/CompactLandmarkModel.h"

#include "engine/core/AnalysisCache.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <dlib/image_processing/shape_predictor.h>
#include <fcntl.h>
#include <optional>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorlix {

namespace {

// The model's parts are private to dlib, which reads and writes them only in its slow encoding.
// An explicit instantiation may name private members, which hands their pointers to the functions
// below; the layout is dlib's and checked on every read.
template <typename Tag, typename Tag::type Member> struct Expose {
    friend typename Tag::type memberOf(Tag) { return Member; }
};
struct InitialShape {
    using type = dlib::matrix<float, 0, 1> dlib::shape_predictor::*;
    friend type memberOf(InitialShape);
};
struct Forests {
    using type = std::vector<std::vector<dlib::impl::regression_tree>> dlib::shape_predictor::*;
    friend type memberOf(Forests);
};
struct Anchors {
    using type = std::vector<std::vector<unsigned long>> dlib::shape_predictor::*;
    friend type memberOf(Anchors);
};
struct Deltas {
    using type = std::vector<std::vector<dlib::vector<float, 2>>> dlib::shape_predictor::*;
    friend type memberOf(Deltas);
};
template struct Expose<InitialShape, &dlib::shape_predictor::initial_shape>;
template struct Expose<Forests, &dlib::shape_predictor::forests>;
template struct Expose<Anchors, &dlib::shape_predictor::anchor_idx>;
template struct Expose<Deltas, &dlib::shape_predictor::deltas>;

constexpr char magic[8] = {'Q', 'L', 'X', 'L', 'M', 'K', '\0', '\1'};

struct Header {
    char magic[8];
    std::uint64_t sourceSize;
    std::int64_t sourceModifiedNs;
    std::uint64_t payloadBytes;
    std::uint64_t checksum;
};

// Fast enough to cover 70 MB on every read, and catches a torn or damaged file.
std::uint64_t checksum(const char* data, std::size_t size) {
    std::uint64_t h = 0x9e3779b97f4a7c15ULL ^ size;
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t w;
        std::memcpy(&w, data + i, 8);
        h = (h ^ w) * 0xff51afd7ed558ccdULL;
        h ^= h >> 29;
    }
    for (; i < size; ++i)
        h = (h ^ static_cast<unsigned char>(data[i])) * 0x100000001b3ULL;
    return h;
}

std::optional<std::pair<std::uint64_t, std::int64_t>> identity(const std::filesystem::path& file) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0)
        return std::nullopt;
    return std::pair{std::uint64_t(st.st_size),
                     std::int64_t(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec};
}

class Out {
public:
    template <typename T> void put(T value) {
        data.append(reinterpret_cast<const char*>(&value), sizeof value);
    }
    void count(std::size_t n) { put(std::uint32_t(n)); }
    void floats(const float* values, std::size_t n) {
        count(n);
        data.append(reinterpret_cast<const char*>(values), n * sizeof(float));
    }
    std::string data;
};

class In {
public:
    In(const char* data, std::size_t size) : at_(data), end_(data + size) {}
    template <typename T> T get() {
        T value{};
        if (std::size_t(end_ - at_) < sizeof value) {
            ok_ = false;
            return value;
        }
        std::memcpy(&value, at_, sizeof value);
        at_ += sizeof value;
        return value;
    }
    // A count no larger than what is left could hold at `unit` bytes each.
    std::size_t count(std::size_t unit) {
        const auto n = std::size_t(get<std::uint32_t>());
        if (n * unit > std::size_t(end_ - at_))
            ok_ = false;
        return ok_ ? n : 0;
    }
    void floats(dlib::matrix<float, 0, 1>& m) {
        const std::size_t n = count(sizeof(float));
        m.set_size(long(n));
        if (n)
            std::memcpy(&m(0), at_, n * sizeof(float));
        at_ += n * sizeof(float);
    }
    bool ok() const { return ok_; }
    bool atEnd() const { return ok_ && at_ == end_; }

private:
    const char* at_;
    const char* end_;
    bool ok_ = true;
};

std::string encode(const dlib::shape_predictor& model) {
    Out out;
    const auto& shape = model.*memberOf(InitialShape{});
    const auto& forests = model.*memberOf(Forests{});
    const auto& anchors = model.*memberOf(Anchors{});
    const auto& deltas = model.*memberOf(Deltas{});
    out.floats(shape.size() ? &shape(0) : nullptr, std::size_t(shape.size()));
    out.count(forests.size());
    for (std::size_t c = 0; c < forests.size(); ++c) {
        out.count(forests[c].size());
        for (const auto& tree : forests[c]) {
            out.count(tree.splits.size());
            for (const auto& split : tree.splits) {
                out.put(std::uint32_t(split.idx1));
                out.put(std::uint32_t(split.idx2));
                out.put(split.thresh);
            }
            out.count(tree.leaf_values.size());
            for (const auto& leaf : tree.leaf_values)
                out.floats(leaf.size() ? &leaf(0) : nullptr, std::size_t(leaf.size()));
        }
        out.count(anchors[c].size());
        for (const unsigned long a : anchors[c])
            out.put(std::uint32_t(a));
        for (const auto& d : deltas[c]) {
            out.put(d.x());
            out.put(d.y());
        }
    }
    return std::move(out.data);
}

// Checks what dlib's prediction relies on without checking: every index within its array, and
// complete trees whose leaves all move every landmark.
std::optional<dlib::shape_predictor> decode(const char* data, std::size_t size) {
    In in(data, size);
    dlib::shape_predictor model;
    auto& shape = model.*memberOf(InitialShape{});
    auto& forests = model.*memberOf(Forests{});
    auto& anchors = model.*memberOf(Anchors{});
    auto& deltas = model.*memberOf(Deltas{});
    in.floats(shape);
    const long coordinates = shape.size();
    const std::size_t parts = std::size_t(coordinates) / 2;
    if (!in.ok() || parts == 0 || coordinates % 2 != 0)
        return std::nullopt;
    const std::size_t cascades = in.count(4);
    forests.resize(cascades);
    anchors.resize(cascades);
    deltas.resize(cascades);
    for (std::size_t c = 0; c < cascades && in.ok(); ++c) {
        forests[c].resize(in.count(4));
        std::size_t largestIndex = 0;
        for (auto& tree : forests[c]) {
            tree.splits.resize(in.count(12));
            for (auto& split : tree.splits) {
                split.idx1 = in.get<std::uint32_t>();
                split.idx2 = in.get<std::uint32_t>();
                split.thresh = in.get<float>();
                largestIndex =
                    std::max({largestIndex, std::size_t(split.idx1), std::size_t(split.idx2)});
            }
            const std::size_t leaves = in.count(4);
            if (leaves != tree.splits.size() + 1 || (leaves & (leaves - 1)) != 0)
                return std::nullopt;
            tree.leaf_values.resize(leaves);
            for (auto& leaf : tree.leaf_values) {
                in.floats(leaf);
                if (!in.ok() || leaf.size() != coordinates)
                    return std::nullopt;
            }
        }
        const std::size_t pixels = in.count(12);
        if (!in.ok() || (pixels == 0 ? !forests[c].empty() : largestIndex >= pixels))
            return std::nullopt;
        anchors[c].resize(pixels);
        for (auto& a : anchors[c]) {
            a = in.get<std::uint32_t>();
            if (a >= parts)
                return std::nullopt;
        }
        deltas[c].resize(pixels);
        for (auto& d : deltas[c]) {
            d.x() = in.get<float>();
            d.y() = in.get<float>();
        }
    }
    if (!in.atEnd())
        return std::nullopt;
    return model;
}

} // namespace

std::filesystem::path CompactLandmarkModel::defaultPath() {
    return AnalysisCache::defaultPath().parent_path() / "face-landmarks.bin";
}

bool CompactLandmarkModel::read(const std::filesystem::path& compact,
                                const std::filesystem::path& source, dlib::shape_predictor& model) {
    const auto from = identity(source);
    if (!from)
        return false;
    const int fd = ::open(compact.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    void* map = MAP_FAILED;
    // Mapped in one go: a page fault per page costs more than the copy out of it.
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && std::size_t(st.st_size) > sizeof(Header))
        map =
            ::mmap(nullptr, std::size_t(st.st_size), PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
    ::close(fd);
    if (map == MAP_FAILED)
        return false;
    const auto size = std::size_t(st.st_size);
    const char* bytes = static_cast<const char*>(map);
    Header header;
    std::memcpy(&header, bytes, sizeof header);
    const char* payload = bytes + sizeof header;
    std::optional<dlib::shape_predictor> read;
    if (std::memcmp(header.magic, magic, sizeof magic) == 0 && header.sourceSize == from->first &&
        header.sourceModifiedNs == from->second && header.payloadBytes == size - sizeof header &&
        header.checksum == checksum(payload, header.payloadBytes))
        read = decode(payload, header.payloadBytes);
    ::munmap(map, size);
    if (read)
        model = std::move(*read);
    return read.has_value();
}

bool CompactLandmarkModel::write(const dlib::shape_predictor& model,
                                 const std::filesystem::path& compact,
                                 const std::filesystem::path& source) {
    const auto from = identity(source);
    if (!from)
        return false;
    const std::string payload = encode(model);
    Header header{};
    std::memcpy(header.magic, magic, sizeof magic);
    header.sourceSize = from->first;
    header.sourceModifiedNs = from->second;
    header.payloadBytes = payload.size();
    header.checksum = checksum(payload.data(), payload.size());

    std::error_code ec;
    std::filesystem::create_directories(compact.parent_path(), ec);
    std::string temporary = compact.native() + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return false;
    ::fchmod(fd, 0644);
    bool ok = true;
    for (const auto& [data, n] : {std::pair{reinterpret_cast<const char*>(&header), sizeof header},
                                  std::pair{payload.data(), payload.size()}}) {
        for (std::size_t done = 0; ok && done < n;) {
            const ssize_t w = ::write(fd, data + done, n - done);
            ok = w > 0;
            done += ok ? std::size_t(w) : 0;
        }
    }
    ok = ::close(fd) == 0 && ok;
    if (ok)
        ok = ::rename(temporary.c_str(), compact.c_str()) == 0;
    if (!ok)
        ::unlink(temporary.c_str());
    return ok;
}

} // namespace quorlix
