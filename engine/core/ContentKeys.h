#pragma once

#include "engine/core/FolderScanner.h"
#include "engine/core/ScanContext.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Content keys: text two files share exactly when their bytes are identical.
// Forms: "size:<n>:<H(path)>", "quick:<quick key>", "sha:<H(content)>", "err:<H(path)>".
namespace quorlix {

// Digests remembered between scans for one version of a file (see FileIdentity), so that files
// sharing a size need not be read again. Called from several hashing threads at once.
class ContentKeyMemory {
public:
    virtual ~ContentKeyMemory() = default;
    // The hex SHA-256 texts quickKey and fullKey give for this version of the file.
    virtual std::optional<std::string> quickKey(const FileIdentity& file) const = 0;
    virtual std::optional<std::string> fullKey(const FileIdentity& file) const = 0;
    virtual void storeQuickKey(const FileIdentity& file, const std::string& key) = 0;
    virtual void storeFullKey(const FileIdentity& file, const std::string& key) = 0;
};

// Keyed by the candidate's path (native bytes).
using ContentKeyMap = std::unordered_map<std::string, std::string>;

// Threads used for the full digests by default: the processors, at most four (more only adds
// seeks on a disk that is not solid state).
int defaultHashThreads();

// Every candidate gets exactly one key. The context's progress gets (hashing, files settled,
// total) after each size shared by several files, with strictly increasing counts; it may be
// called from a hashing thread, never from two at once. Throws ScanCancelled once a stop is
// requested; a stop is seen between the blocks of even one huge file. With a `memory`, digests it
// holds for the enumerated version of a file are used instead of reading it, and the digests read
// are stored when the file is still that version afterwards: the keys are the same either way.
ContentKeyMap contentKeys(const std::vector<FolderScanner::Candidate>& candidates,
                          std::int64_t total, const ScanContext& context,
                          int threads = defaultHashThreads(), ContentKeyMemory* memory = nullptr);

// SHA-256 of the size (8 bytes, little-endian), the first 64 KiB and, above 128 KiB, the last
// 64 KiB. Nothing when the file cannot be opened or is no longer the one enumeration saw.
std::optional<std::string> quickKey(const FolderScanner::Candidate& candidate);

// SHA-256 of everything read from `fd`. Nothing when a read fails or the bytes read differ from
// `expectedSize`: a digest of part of a file must never pass for the digest of the file.
std::optional<std::string> fullKey(int fd, std::int64_t expectedSize);

// H(path): SHA-256 of the path's bytes as the file system gives them.
std::string pathDigest(std::string_view path);

} // namespace quorlix
