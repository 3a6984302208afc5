// The least time the exact-duplicate phase can take on FOLDER: the bytes that must be hashed in
// full (files that share size and quick key with another), over OpenSSL's single-core SHA-256
// rate measured now, divided by the hashing threads.
//   sha_floor FOLDER
#include "engine/core/ContentKeys.h"
#include "engine/core/FolderScanner.h"
#include "engine/core/Sha256.h"

#include <chrono>
#include <cstdio>
#include <map>
#include <vector>

using namespace quorlix;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "Usage: sha_floor FOLDER\n");
        return 2;
    }
    const auto candidates = FolderScanner::enumerate(argv[1]);
    std::map<std::int64_t, std::vector<const FolderScanner::Candidate*>> bySize;
    for (const auto& c : candidates)
        bySize[c.size].push_back(&c);
    std::int64_t fullBytes = 0, fullFiles = 0, quickFiles = 0;
    for (const auto& [size, list] : bySize) {
        if (list.size() < 2)
            continue;
        std::map<std::string, int> byQuick;
        for (const auto* c : list) {
            ++quickFiles;
            ++byQuick[quickKey(*c).value_or("err:" + c->url.native())];
        }
        for (const auto& [key, n] : byQuick)
            if (n > 1) {
                fullBytes += size * n;
                fullFiles += n;
            }
    }

    std::vector<unsigned char> buffer(1 << 20, 0x5a);
    const int rounds = 512;
    const auto start = std::chrono::steady_clock::now();
    Sha256 sha;
    for (int i = 0; i < rounds; ++i)
        sha.update(buffer.data(), buffer.size());
    sha.finish();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double rate = double(rounds) * double(buffer.size()) / seconds;
    const int threads = defaultHashThreads();
    std::printf("candidates %zu, quick-sampled %lld, hashed in full %lld files / %.3f GB\n",
                candidates.size(), static_cast<long long>(quickFiles),
                static_cast<long long>(fullFiles), double(fullBytes) / 1e9);
    std::printf("sha256 single-core rate %.0f MB/s, hashing threads %d\n", rate / 1e6, threads);
    std::printf("floor_single %.3f s\nfloor %.3f s\n", double(fullBytes) / rate,
                double(fullBytes) / rate / threads);
    return 0;
}
