// Content keys over a small folder built from the input. Two files must share a key exactly when
// their bytes are equal, whatever the sizes, shared samples and run lengths.
//
// The input is a list of records, at most `maxFiles` of them:
//   0x80 | k, [0x40: pos, xor]  a copy of file k (mod the count so far); with 0x40, one byte of
//                               the copy at pos/256 of its length is XORed with xor | 1
//   n (n < 0x80), e, n bytes    pattern (n & 0x3f bytes) repeated 2^(e % 13) times; n & 0x40
//                               appends one byte (e) so the size is not a power-of-two multiple
#include "FuzzFolder.h"
#include "engine/core/ContentKeys.h"
#include "engine/core/FolderScanner.h"

#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr std::size_t maxFiles = 24;

std::vector<std::string> filesFrom(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> files;
    std::size_t i = 0;
    auto next = [&]() -> int {
        return i < size ? data[i++] : -1;
    };
    while (i < size && files.size() < maxFiles) {
        const int op = next();
        if (op & 0x80) {
            if (files.empty())
                continue;
            std::string copy = files[std::size_t(op & 0x3f) % files.size()];
            if (op & 0x40) {
                const int pos = next(), flip = next();
                if (pos < 0 || flip < 0 || copy.empty())
                    break;
                copy[copy.size() * std::size_t(pos) / 256] ^= char(flip | 1);
            }
            files.push_back(std::move(copy));
            continue;
        }
        const int e = next();
        if (e < 0)
            break;
        const std::size_t n = std::size_t(op & 0x3f);
        const std::size_t take = std::min(n, size - i);
        const std::string pattern(reinterpret_cast<const char*>(data + i), take);
        i += take;
        std::string file;
        for (std::size_t r = std::size_t(1) << (e % 13); r > 0; --r)
            file += pattern;
        if (op & 0x40)
            file += char(e);
        files.push_back(std::move(file));
    }
    return files;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto files = filesFrom(data, size);
    const auto folder = quorlix::fuzz::scratchFolder() / "keys";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directory(folder);
    // Each distinct content gets a number; equal numbers mean equal bytes.
    std::map<std::string, std::size_t> contentIds;
    std::map<std::string, std::size_t> contentOf; // path -> content number
    for (std::size_t f = 0; f < files.size(); ++f) {
        const auto path = folder / (std::to_string(f) + ".jpg");
        std::ofstream(path, std::ios::binary) << files[f];
        contentOf[path.native()] =
            contentIds.try_emplace(files[f], contentIds.size()).first->second;
    }

    const auto candidates = quorlix::FolderScanner::enumerate(folder);
    if (candidates.size() != files.size())
        std::abort();
    std::int64_t last = 0;
    const auto total = std::int64_t(candidates.size());
    const int threads = 1 + (size > 0 ? data[size - 1] & 1 : 0);
    const quorlix::ScanContext context({}, [&](const quorlix::ScanProgress& p) {
        if (p.current <= last || p.current > total || p.total != total)
            std::abort();
        last = p.current;
    });
    const auto keys = quorlix::contentKeys(candidates, total, context, threads);

    if (keys.size() != candidates.size())
        std::abort();
    // Keys and contents must partition the files alike.
    std::map<std::string, std::size_t> contentOfKey;
    std::map<std::size_t, std::string> keyOfContent;
    for (const auto& [path, key] : keys) {
        const auto found = contentOf.find(path);
        if (found == contentOf.end() || key.starts_with("err:") || key.starts_with("quick:err:"))
            std::abort();
        if (contentOfKey.try_emplace(key, found->second).first->second != found->second ||
            keyOfContent.try_emplace(found->second, key).first->second != key)
            std::abort();
    }
    return 0;
}
