// What re-checking exact copies costs just before a move, on FILES files in pairs (a keeper and
// one copy, SIZE_MB each): identity only (the baseline every move pays), the copy compared byte
// for byte with its keeper, and the copy's SHA-256 recomputed to compare with the scan's. Warm:
// the files are in the page cache; cold: each pass first drops them from it (posix_fadvise, so
// only these files leave the cache). The rounds interleave the methods.
//   move_recheck [FILES=2000] [SIZE_MB=2] [ROUNDS=3] [FOLDER=$TMPDIR]
#include "app/MoveCheck.h"
#include "engine/core/ContentKeys.h"
#include "engine/core/FileIdentity.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

using namespace quorlix;
namespace fs = std::filesystem;

namespace {

PhotoRecord recordOf(const fs::path& path) {
    PhotoRecord record;
    record.fileURL = path.native();
    record.identity = FileIdentity::ofPath(path);
    record.fileSizeBytes = record.identity ? record.identity->size : 0;
    return record;
}

void dropFromCache(const std::vector<PhotoRecord>& files) {
    for (const auto& f : files) {
        const int fd = ::open(f.fileURL.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd >= 0) {
            ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
            ::close(fd);
        }
    }
}

struct Cost {
    double wall = 1e9; // seconds
    double cpu = 1e9;  // seconds of this process, so a busy machine shows less in it
};

Cost measure(const std::function<bool()>& pass) {
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t cpuStart = std::clock();
    if (!pass())
        std::fprintf(stderr, "a check failed\n");
    return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
            double(std::clock() - cpuStart) / CLOCKS_PER_SEC};
}

} // namespace

int main(int argc, char** argv) {
    const int files = argc > 1 ? std::atoi(argv[1]) : 2000;
    const double sizeMb = argc > 2 ? std::atof(argv[2]) : 2;
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 3;
    const char* tmp = std::getenv("TMPDIR");
    const fs::path base = argc > 4 ? fs::path(argv[4]) : fs::path(tmp && *tmp ? tmp : "/tmp");
    const fs::path folder = base / ("quorlix-recheck-" + std::to_string(::getpid()));
    fs::create_directories(folder);

    const std::size_t size = std::size_t(sizeMb * 1024) << 10;
    std::vector<PhotoRecord> keepers, copies, all;
    std::vector<std::string> digests;
    std::mt19937_64 random(1);
    std::vector<std::uint64_t> words(size / 8);
    const char* bytes = reinterpret_cast<const char*>(words.data());
    for (int pair = 0; pair < files / 2; ++pair) {
        for (auto& w : words)
            w = random();
        for (const char* role : {"k", "c"}) {
            const fs::path path = folder / (std::to_string(pair) + role + ".jpg");
            const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
            if (fd < 0 || ::write(fd, bytes, size) != ssize_t(size))
                return 1;
            ::close(fd);
            all.push_back(recordOf(path));
        }
        keepers.push_back(all[all.size() - 2]);
        copies.push_back(all.back());
        const int fd = ::open(keepers.back().fileURL.c_str(), O_RDONLY | O_CLOEXEC);
        digests.push_back(fullKey(fd, std::int64_t(size)).value_or(""));
        ::close(fd);
    }

    auto identityOnly = [&] {
        bool ok = true;
        for (std::size_t i = 0; i < copies.size(); ++i)
            ok = ok && FileIdentity::ofPath(keepers[i].fileURL) == keepers[i].identity &&
                 FileIdentity::ofPath(copies[i].fileURL) == copies[i].identity;
        return ok;
    };
    auto byBytes = [&] {
        bool ok = true;
        for (std::size_t i = 0; i < copies.size(); ++i)
            ok = ok && MoveCheck::compareBytes(keepers[i], copies[i]) == MoveCheck::Bytes::same;
        return ok;
    };
    auto byDigest = [&] {
        bool ok = true;
        for (std::size_t i = 0; i < copies.size(); ++i) {
            const int fd = ::open(copies[i].fileURL.c_str(), O_RDONLY | O_CLOEXEC);
            ok = ok && fullKey(fd, std::int64_t(size)) == digests[i];
            ::close(fd);
        }
        return ok;
    };
    const std::pair<const char*, std::function<bool()>> methods[] = {
        {"identity", identityOnly}, {"bytes", byBytes}, {"digest", byDigest}};
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    std::printf("%d files in %d pairs, %.2f MB each, %d rounds (best of)\n", files, files / 2,
                sizeMb, rounds);
    byBytes(); // everything in the page cache for the warm rounds
    for (const bool cold : {false, true}) {
        std::vector<Cost> best(3);
        for (int round = 0; round < rounds; ++round)
            for (std::size_t m = 0; m < 3; ++m) {
                if (cold)
                    dropFromCache(all);
                const Cost cost = measure(methods[m].second);
                best[m].wall = std::min(best[m].wall, cost.wall);
                best[m].cpu = std::min(best[m].cpu, cost.cpu);
            }
        for (std::size_t m = 0; m < 3; ++m)
            std::printf("%s %-8s wall %8.3f s  cpu %8.3f s  (%.0f MB of copies per cpu second)\n",
                        cold ? "cold" : "warm", methods[m].first, best[m].wall, best[m].cpu,
                        double(copies.size()) * double(size) / 1e6 / std::max(best[m].cpu, 1e-6));
    }
    fs::remove_all(folder);
    return 0;
}
