#include "engine/ContentKeys.h"

#include "engine/QuorlixFeature.h"
#include "engine/Sha256.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <unistd.h>

namespace quorlix {

namespace {

constexpr std::size_t fullReadChunk = 1 << 20;

// Open for reading only; never follows a link that replaced the file after enumeration.
int openForRead(const std::filesystem::path& url) {
    return ::open(url.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY);
}

// Reads up to `size` bytes at `offset`, retrying short reads; -1 on failure.
ssize_t readAt(int fd, unsigned char* buffer, std::size_t size, off_t offset) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd, buffer + done, size - done, offset + off_t(done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (n == 0)
            break;
        done += std::size_t(n);
    }
    return ssize_t(done);
}

std::optional<std::string> digestAll(int fd, std::int64_t expectedSize,
                                     std::vector<unsigned char>& buffer) {
    Sha256 sha;
    std::int64_t total = 0;
    for (;;) {
        const ssize_t n = readAt(fd, buffer.data(), buffer.size(), off_t(total));
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            break;
        sha.update(buffer.data(), std::size_t(n));
        total += n;
    }
    if (total != expectedSize)
        return std::nullopt;
    return hexString(sha.finish());
}

std::string errKey(const std::string& path) {
    return "err:" + pathDigest(path);
}

struct SizeBucket {
    std::int64_t size;
    std::vector<const FolderScanner::Candidate*> members;
};

struct Buffers {
    std::vector<unsigned char> a = std::vector<unsigned char>(fullReadChunk);
    std::vector<unsigned char> b = std::vector<unsigned char>(fullReadChunk);
};

// Distinct contents a tied file is compared with before it is digested itself.
constexpr std::size_t maxCompared = 4;

// True when `fd` and the file of `other` both hold exactly `size` bytes, and the same ones.
bool sameBytes(int fd, const FolderScanner::Candidate& other, std::int64_t size, Buffers& buffers) {
    const int otherFd = openForRead(other.url);
    if (otherFd < 0)
        return false;
    bool same = true;
    std::int64_t offset = 0;
    while (same) {
        const ssize_t n = readAt(fd, buffers.a.data(), buffers.a.size(), off_t(offset));
        const ssize_t m = readAt(otherFd, buffers.b.data(), buffers.b.size(), off_t(offset));
        same = n >= 0 && n == m &&
               std::memcmp(buffers.a.data(), buffers.b.data(), std::size_t(n)) == 0;
        if (n <= 0)
            break;
        offset += n;
        same = same && offset <= size;
    }
    // Both ended together; the total must be what was enumerated.
    same = same && offset == size;
    ::close(otherFd);
    return same;
}

// Keys for the members of one shared size.
std::vector<std::pair<std::string, std::string>> keysForBucket(const SizeBucket& bucket,
                                                               Buffers& buffers) {
    std::map<std::string, std::vector<const FolderScanner::Candidate*>> byQuick;
    for (const auto* c : bucket.members) {
        auto quick = quickKey(c->url, c->size);
        byQuick[quick ? *quick : errKey(c->url.native())].push_back(c);
    }
    std::vector<std::pair<std::string, std::string>> out;
    out.reserve(bucket.members.size());
    for (const auto& [quick, members] : byQuick) {
        if (members.size() == 1) {
            out.emplace_back(members.front()->url.native(), "quick:" + quick);
            continue;
        }
        // Files that tie on size and quick key are mostly copies of one another: a copy is proven
        // by comparing its bytes with a file already digested, which costs a fraction of SHA-256
        // and yields the very same key. Only a file that matches none is digested itself.
        std::vector<std::pair<const FolderScanner::Candidate*, std::string>> digested;
        for (const auto* c : members) {
            std::optional<std::string> key;
            const int fd = openForRead(c->url);
            if (fd >= 0) {
                ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
                for (std::size_t i = 0; i < digested.size() && i < maxCompared && !key; ++i)
                    if (sameBytes(fd, *digested[i].first, c->size, buffers))
                        key = digested[i].second;
                if (!key) {
                    if (auto digest = digestAll(fd, c->size, buffers.a)) {
                        key = "sha:" + *digest;
                        digested.emplace_back(c, *key);
                    }
                }
                ::close(fd);
            }
            out.emplace_back(c->url.native(), key ? *key : errKey(c->url.native()));
        }
    }
    return out;
}

} // namespace

int defaultHashThreads() {
    const int n = int(std::thread::hardware_concurrency());
    return std::clamp(n, 1, 4);
}

std::string pathDigest(std::string_view path) {
    return hexString(Sha256::of(path));
}

std::optional<std::string> quickKey(const std::filesystem::path& url, std::int64_t size) {
    const int fd = openForRead(url);
    if (fd < 0)
        return std::nullopt;
    const std::size_t chunk = std::size_t(QuorlixFeature::quickHashChunkBytes);
    std::vector<unsigned char> buffer(chunk);
    Sha256 sha;
    unsigned char sizeBytes[8];
    const auto u = std::uint64_t(size);
    for (int i = 0; i < 8; ++i)
        sizeBytes[i] = static_cast<unsigned char>(u >> (8 * i));
    sha.update(sizeBytes, sizeof sizeBytes);
    ssize_t n = readAt(fd, buffer.data(), chunk, 0);
    if (n > 0)
        sha.update(buffer.data(), std::size_t(n));
    if (size > 2 * QuorlixFeature::quickHashChunkBytes) {
        n = readAt(fd, buffer.data(), chunk, off_t(size - QuorlixFeature::quickHashChunkBytes));
        if (n > 0)
            sha.update(buffer.data(), std::size_t(n));
    }
    ::close(fd);
    return hexString(sha.finish());
}

std::optional<std::string> fullKey(int fd, std::int64_t expectedSize) {
    std::vector<unsigned char> buffer(fullReadChunk);
    return digestAll(fd, expectedSize, buffer);
}

ContentKeyMap contentKeys(const std::vector<FolderScanner::Candidate>& candidates,
                          std::int64_t total, const ProgressCallback& progress, int threads) {
    ContentKeyMap keys;
    keys.reserve(candidates.size());
    std::unordered_map<std::int64_t, std::vector<const FolderScanner::Candidate*>> bySize;
    for (const auto& c : candidates)
        bySize[c.size].push_back(&c);

    std::int64_t processed = 0;
    std::vector<SizeBucket> shared;
    for (auto& [size, members] : bySize) {
        if (members.size() == 1) {
            const auto& path = members.front()->url.native();
            keys[path] = "size:" + std::to_string(size) + ":" + pathDigest(path);
            ++processed;
        } else {
            shared.push_back({size, std::move(members)});
        }
    }
    // Largest work first, so one big set of copies does not end the phase on one thread alone.
    std::sort(shared.begin(), shared.end(), [](const SizeBucket& a, const SizeBucket& b) {
        const auto wa = a.size * std::int64_t(a.members.size());
        const auto wb = b.size * std::int64_t(b.members.size());
        return wa != wb ? wa > wb : a.size < b.size;
    });

    std::mutex mutex; // guards keys, processed and the progress calls
    std::atomic<std::size_t> next{0};
    auto worker = [&] {
        Buffers buffers;
        for (std::size_t i = next++; i < shared.size(); i = next++) {
            auto bucketKeys = keysForBucket(shared[i], buffers);
            std::lock_guard lock(mutex);
            for (auto& [path, key] : bucketKeys)
                keys[path] = std::move(key);
            processed += std::int64_t(shared[i].members.size());
            if (progress)
                progress({ScanProgress::Phase::hashing, processed, total});
        }
    };
    const int n = std::clamp(threads, 1, std::max<int>(1, int(shared.size())));
    {
        std::vector<std::jthread> pool;
        for (int t = 1; t < n; ++t)
            pool.emplace_back(worker);
        worker();
    }
    return keys;
}

} // namespace quorlix
