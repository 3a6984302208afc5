#include "engine/core/ContentKeys.h"

#include "engine/core/QuorlixFeature.h"
#include "engine/core/RegularFile.h"
#include "engine/core/Sha256.h"

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

// Small enough that a block of each of two files and the digest's working set stay in the core's
// second-level cache between the kernel's copy and the digest or comparison that reads it; large
// enough that a system call moves 128 KiB.
constexpr std::size_t readChunk = 128 << 10;
// Files of one tie read side by side; a larger tie is taken in groups of this many.
constexpr std::size_t maxSideBySide = 8;

// The candidate's file, only while it is still the file enumeration saw: a link, a FIFO or any
// other entry swapped in since is never read (nor waited on), and a file replaced or edited
// since, even by one of the same size, gets no content key that could group it. -1 otherwise.
int openForRead(const FolderScanner::Candidate& candidate) {
    auto file = RegularFile::open(candidate.url);
    if (!file || file->identity() != candidate.identity)
        return -1;
    return ::fcntl(file->fd(), F_DUPFD_CLOEXEC, 0);
}

// Whether the file open as `fd` is unchanged since enumeration, after it has been read: an edit
// in place while it was read changes its times.
bool unchangedSinceEnumeration(int fd, const FolderScanner::Candidate& candidate) {
    const auto now = FileIdentity::ofDescriptor(fd);
    return now && *now == candidate.identity;
}

std::string errKey(const std::string& path) {
    return "err:" + pathDigest(path);
}

constexpr std::size_t quickChunk = std::size_t(QuorlixFeature::quickHashChunkBytes);
// Files of one size whose samples are compared as bytes; a larger set has its samples digested.
constexpr std::size_t maxSampled = 16;

// Buffers of one hashing thread, made once and reused for every file it reads.
struct Workspace {
    std::vector<std::vector<unsigned char>> blocks;
    std::vector<std::vector<unsigned char>> samples;

    static unsigned char* at(std::vector<std::vector<unsigned char>>& list, std::size_t i,
                             std::size_t size) {
        while (list.size() <= i)
            list.emplace_back(size);
        return list[i].data();
    }
    unsigned char* block(std::size_t i) { return at(blocks, i, readChunk); }
    unsigned char* sample(std::size_t i) { return at(samples, i, 2 * quickChunk); }
};

// The bytes a quick key digests after the size, into `out` (room for two chunks): the head and,
// above twice the chunk, the tail; a failed read adds nothing. Nothing when the file cannot be
// opened.
std::optional<std::size_t> readSample(const FolderScanner::Candidate& candidate, std::int64_t size,
                                      unsigned char* out) {
    const int fd = openForRead(candidate);
    if (fd < 0)
        return std::nullopt;
    std::size_t length = 0;
    ssize_t n = readAt(fd, out, quickChunk, 0);
    if (n > 0)
        length += std::size_t(n);
    if (size > 2 * QuorlixFeature::quickHashChunkBytes) {
        n = readAt(fd, out + length, quickChunk, off_t(size - QuorlixFeature::quickHashChunkBytes));
        if (n > 0)
            length += std::size_t(n);
    }
    const bool unchanged = unchangedSinceEnumeration(fd, candidate);
    ::close(fd);
    if (!unchanged)
        return std::nullopt;
    return length;
}

std::string quickDigest(std::int64_t size, const unsigned char* sample, std::size_t length) {
    Sha256 sha;
    unsigned char sizeBytes[8];
    const auto u = std::uint64_t(size);
    for (int i = 0; i < 8; ++i)
        sizeBytes[i] = static_cast<unsigned char>(u >> (8 * i));
    sha.update(sizeBytes, sizeof sizeBytes);
    sha.update(sample, length);
    return hexString(sha.finish());
}

using KeyList = std::vector<std::pair<std::string, std::string>>;

// Full keys for files that tie on size and quick key. They are read side by side, block by block,
// each file once: files whose blocks are equal so far share one digest, and a file that departs
// from its companions carries on from a copy of the digest of their common prefix. So a set of
// copies costs one digest and a comparison per extra copy, and every file still gets the SHA-256
// of exactly its own bytes. A file that cannot be read to its end, or whose length is not the
// enumerated size, gets a key of its own. On a stop, returns between two blocks with the files
// unsettled.
void fullKeysSideBySide(const std::vector<const FolderScanner::Candidate*>& files,
                        std::int64_t size, const ScanContext& context, Workspace& workspace,
                        KeyList& out) {
    struct File {
        const FolderScanner::Candidate* candidate;
        int fd;
        unsigned char* block;
        ssize_t read = 0;
    };
    struct Run {
        Sha256 sha;
        std::int64_t offset = 0;
        std::vector<std::size_t> files;
    };
    std::vector<File> opened;
    opened.reserve(files.size());
    for (const auto* c : files) {
        const int fd = openForRead(*c);
        if (fd < 0) {
            out.emplace_back(c->url.native(), errKey(c->url.native()));
            continue;
        }
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
        opened.push_back({c, fd, workspace.block(opened.size())});
    }
    auto settle = [&](std::size_t i, const std::string& key) {
        out.emplace_back(opened[i].candidate->url.native(), key);
        ::close(opened[i].fd);
    };
    auto settleAsError = [&](std::size_t i) {
        settle(i, errKey(opened[i].candidate->url.native()));
    };

    std::vector<Run> runs;
    if (!opened.empty()) {
        runs.emplace_back();
        for (std::size_t i = 0; i < opened.size(); ++i)
            runs.front().files.push_back(i);
    }
    while (!runs.empty()) {
        if (context.stopRequested()) {
            for (const auto& run : runs)
                for (const auto i : run.files)
                    ::close(opened[i].fd);
            return;
        }
        std::vector<Run> next;
        for (auto& run : runs) {
            std::vector<std::size_t> readable;
            for (const auto i : run.files) {
                opened[i].read =
                    readAt(opened[i].fd, opened[i].block, readChunk, off_t(run.offset));
                if (opened[i].read < 0)
                    settleAsError(i);
                else
                    readable.push_back(i);
            }
            // Files whose blocks are equal stay together, in their original order.
            std::vector<std::vector<std::size_t>> parts;
            for (const auto i : readable) {
                auto same = std::find_if(parts.begin(), parts.end(), [&](const auto& part) {
                    const File& first = opened[part.front()];
                    return first.read == opened[i].read &&
                           std::memcmp(first.block, opened[i].block, std::size_t(first.read)) == 0;
                });
                if (same == parts.end())
                    parts.push_back({i});
                else
                    same->push_back(i);
            }
            for (std::size_t p = 0; p < parts.size(); ++p) {
                const File& first = opened[parts[p].front()];
                const std::int64_t end = run.offset + first.read;
                if (end > size) { // grown since enumeration: never read on without bound
                    for (const auto i : parts[p])
                        settleAsError(i);
                    continue;
                }
                Run part{p + 1 == parts.size() ? std::move(run.sha) : Sha256(run.sha), end,
                         std::move(parts[p])};
                part.sha.update(first.block, std::size_t(first.read));
                if (first.read < ssize_t(readChunk)) { // the end of the file
                    if (end == size) {
                        const std::string key = "sha:" + hexString(part.sha.finish());
                        for (const auto i : part.files) {
                            if (unchangedSinceEnumeration(opened[i].fd, *opened[i].candidate))
                                settle(i, key);
                            else
                                settleAsError(i);
                        }
                    } else {
                        for (const auto i : part.files)
                            settleAsError(i);
                    }
                    continue;
                }
                next.push_back(std::move(part));
            }
        }
        runs = std::move(next);
    }
}

struct SizeBucket {
    std::int64_t size;
    std::vector<const FolderScanner::Candidate*> members;
};

// Keys for the members of one shared size. Two quick keys of one size are equal exactly when
// their samples are, so samples are compared as bytes and only a file whose sample no other file
// shares has it digested: the files that tie go on to a full read, where their quick keys would
// go unused.
KeyList
keysForBucket(const SizeBucket& bucket, const ScanContext& context, Workspace& workspace,
              std::vector<std::pair<const FolderScanner::Candidate*, std::string>>* quickOut) {
    const auto& members = bucket.members;
    KeyList out;
    out.reserve(members.size());
    std::vector<std::vector<const FolderScanner::Candidate*>> ties;
    if (members.size() <= maxSampled) {
        std::vector<std::optional<std::size_t>> lengths(members.size());
        std::vector<std::vector<std::size_t>> same;
        for (std::size_t i = 0; i < members.size(); ++i) {
            lengths[i] = readSample(*members[i], bucket.size, workspace.sample(i));
            if (!lengths[i]) {
                out.emplace_back(members[i]->url.native(),
                                 "quick:" + errKey(members[i]->url.native()));
                continue;
            }
            auto match = std::find_if(same.begin(), same.end(), [&](const auto& set) {
                const std::size_t j = set.front();
                return *lengths[j] == *lengths[i] &&
                       std::memcmp(workspace.sample(j), workspace.sample(i), *lengths[i]) == 0;
            });
            if (match == same.end())
                same.push_back({i});
            else
                match->push_back(i);
        }
        for (const auto& set : same) {
            if (set.size() == 1) {
                const std::size_t i = set.front();
                out.emplace_back(members[i]->url.native(),
                                 "quick:" +
                                     quickDigest(bucket.size, workspace.sample(i), *lengths[i]));
                continue;
            }
            auto& tie = ties.emplace_back();
            for (const auto i : set) {
                tie.push_back(members[i]);
                if (quickOut)
                    quickOut->emplace_back(
                        members[i], quickDigest(bucket.size, workspace.sample(i), *lengths[i]));
            }
        }
    } else {
        std::map<std::string, std::vector<const FolderScanner::Candidate*>> byQuick;
        for (const auto* c : members) {
            const auto length = readSample(*c, bucket.size, workspace.sample(0));
            byQuick[length ? quickDigest(bucket.size, workspace.sample(0), *length)
                           : errKey(c->url.native())]
                .push_back(c);
        }
        for (auto& [quick, set] : byQuick) {
            if (set.size() == 1) {
                out.emplace_back(set.front()->url.native(), "quick:" + quick);
            } else {
                if (quickOut && quick.compare(0, 4, "err:") != 0)
                    for (const auto* c : set)
                        quickOut->emplace_back(c, quick);
                ties.push_back(std::move(set));
            }
        }
    }
    for (const auto& tie : ties) {
        for (std::size_t from = 0; from < tie.size(); from += maxSideBySide) {
            const std::vector<const FolderScanner::Candidate*> group(
                tie.begin() + std::ptrdiff_t(from),
                tie.begin() + std::ptrdiff_t(std::min(tie.size(), from + maxSideBySide)));
            fullKeysSideBySide(group, bucket.size, context, workspace, out);
        }
    }
    return out;
}

// keysForBucket with a memory: a bucket whose every file has its quick digest remembered is
// settled from the digests (equal digests, equal samples), and a tie whose every file has its full
// digest remembered from those. Whatever had to be read is remembered for the next scan.
KeyList rememberedKeysForBucket(const SizeBucket& bucket, const ScanContext& context,
                                Workspace& workspace, ContentKeyMemory& memory) {
    const auto& members = bucket.members;
    std::vector<std::optional<std::string>> quick(members.size());
    bool all = true;
    for (std::size_t i = 0; i < members.size() && all; ++i) {
        quick[i] = memory.quickKey(members[i]->identity);
        all = quick[i].has_value();
    }
    KeyList out;
    std::vector<std::pair<const FolderScanner::Candidate*, std::string>> quickRead;
    if (all) {
        std::map<std::string, std::vector<const FolderScanner::Candidate*>> byQuick;
        for (std::size_t i = 0; i < members.size(); ++i)
            byQuick[*quick[i]].push_back(members[i]);
        for (const auto& [digest, set] : byQuick) {
            if (set.size() == 1) {
                out.emplace_back(set.front()->url.native(), "quick:" + digest);
                continue;
            }
            std::vector<std::optional<std::string>> full;
            bool allFull = true;
            for (const auto* c : set)
                allFull = allFull && full.emplace_back(memory.fullKey(c->identity)).has_value();
            if (allFull) {
                for (std::size_t i = 0; i < set.size(); ++i)
                    out.emplace_back(set[i]->url.native(), "sha:" + *full[i]);
                continue;
            }
            for (std::size_t from = 0; from < set.size(); from += maxSideBySide) {
                const std::vector<const FolderScanner::Candidate*> group(
                    set.begin() + std::ptrdiff_t(from),
                    set.begin() + std::ptrdiff_t(std::min(set.size(), from + maxSideBySide)));
                fullKeysSideBySide(group, bucket.size, context, workspace, out);
            }
        }
    } else {
        out = keysForBucket(bucket, context, workspace, &quickRead);
    }

    // Only what describes the version enumerated: a file changed since is read again next time.
    std::unordered_map<std::string_view, const FolderScanner::Candidate*> byPath;
    for (const auto* c : members)
        byPath.emplace(c->url.native(), c);
    auto unchanged = [](const FolderScanner::Candidate* c) {
        return FileIdentity::ofPath(c->url) == c->identity;
    };
    for (const auto& [c, digest] : quickRead)
        if (unchanged(c))
            memory.storeQuickKey(c->identity, digest);
    for (const auto& [path, key] : out) {
        const auto* c = byPath.at(path);
        if (key.compare(0, 6, "quick:") == 0 && key.compare(6, 4, "err:") != 0 && !all) {
            if (unchanged(c))
                memory.storeQuickKey(c->identity, key.substr(6));
        } else if (key.compare(0, 4, "sha:") == 0 && !memory.fullKey(c->identity)) {
            if (unchanged(c))
                memory.storeFullKey(c->identity, key.substr(4));
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

std::optional<std::string> quickKey(const FolderScanner::Candidate& candidate) {
    std::vector<unsigned char> sample(2 * quickChunk);
    const auto length = readSample(candidate, candidate.size, sample.data());
    if (!length)
        return std::nullopt;
    return quickDigest(candidate.size, sample.data(), *length);
}

std::optional<std::string> fullKey(int fd, std::int64_t expectedSize) {
    std::vector<unsigned char> buffer(readChunk);
    Sha256 sha;
    std::int64_t total = 0;
    for (;;) {
        const ssize_t n = readAt(fd, buffer.data(), buffer.size(), off_t(total));
        if (n < 0)
            return std::nullopt;
        sha.update(buffer.data(), std::size_t(n));
        total += n;
        if (n < ssize_t(buffer.size()))
            break;
    }
    if (total != expectedSize)
        return std::nullopt;
    return hexString(sha.finish());
}

ContentKeyMap contentKeys(const std::vector<FolderScanner::Candidate>& candidates,
                          std::int64_t total, const ScanContext& context, int threads,
                          ContentKeyMemory* memory) {
    ContentKeyMap keys;
    keys.reserve(candidates.size());
    std::unordered_map<std::int64_t, std::vector<const FolderScanner::Candidate*>> bySize;
    for (const auto& c : candidates)
        bySize[c.size].push_back(&c);

    std::vector<SizeBucket> shared;
    std::vector<const FolderScanner::Candidate*> alone; // the only file of its size
    for (auto& [size, members] : bySize) {
        if (members.size() == 1)
            alone.push_back(members.front());
        else
            shared.push_back({size, std::move(members)});
    }
    // Largest work first, so one big set of copies does not end the phase on one thread alone.
    std::sort(shared.begin(), shared.end(), [](const SizeBucket& a, const SizeBucket& b) {
        const auto wa = a.size * std::int64_t(a.members.size());
        const auto wb = b.size * std::int64_t(b.members.size());
        return wa != wb ? wa > wb : a.size < b.size;
    });
    // Files alone in their size are settled without reading, and count as settled before any
    // report; their keys are made last, in blocks that fill the threads' idle ends.
    std::int64_t processed = std::int64_t(alone.size());
    constexpr std::size_t aloneBlock = 256;
    const std::size_t work = shared.size() + (alone.size() + aloneBlock - 1) / aloneBlock;

    std::mutex mutex; // guards keys, processed and the progress calls
    std::atomic<std::size_t> next{0};
    auto worker = [&] {
        Workspace workspace;
        for (std::size_t i = next++; i < work; i = next++) {
            if (context.stopRequested())
                return;
            if (i >= shared.size()) {
                const std::size_t from = (i - shared.size()) * aloneBlock;
                KeyList block;
                for (std::size_t j = from; j < std::min(alone.size(), from + aloneBlock); ++j) {
                    const auto& path = alone[j]->url.native();
                    block.emplace_back(path, "size:" + std::to_string(alone[j]->size) + ":" +
                                                 pathDigest(path));
                }
                std::lock_guard lock(mutex);
                for (auto& [path, key] : block)
                    keys[path] = std::move(key);
                continue;
            }
            auto bucketKeys = memory
                                  ? rememberedKeysForBucket(shared[i], context, workspace, *memory)
                                  : keysForBucket(shared[i], context, workspace, nullptr);
            std::lock_guard lock(mutex);
            for (auto& [path, key] : bucketKeys)
                keys[path] = std::move(key);
            processed += std::int64_t(shared[i].members.size());
            context.report(ScanProgress::Phase::hashing, processed, total);
        }
    };
    const int n = std::clamp(threads, 1, std::max<int>(1, int(work)));
    {
        std::vector<std::jthread> pool;
        for (int t = 1; t < n; ++t)
            pool.emplace_back(worker);
        worker();
    }
    // Keys made before a stop are incomplete: none of them escapes.
    context.checkpoint();
    return keys;
}

} // namespace quorlix
