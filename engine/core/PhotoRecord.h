#pragma once

#include "engine/core/FileIdentity.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quorlix {

// One photo file found in the scanned folder. Identity is `id` alone.
struct PhotoRecord {
    std::string id;      // pathDigest(fileURL)
    std::string fileURL; // absolute path, bytes as the file system gives them
    std::int64_t fileSizeBytes = 0;
    std::string contentHash;
    std::optional<int> pixelWidth;
    std::optional<int> pixelHeight;
    std::optional<double> dateOriginal;
    std::optional<std::string> embeddingBlob; // packed native-endian float32
    std::optional<double> aestheticScore;
    std::optional<bool> isUtility;
    std::optional<double> noiseLevel; // sensor noise at full resolution, 8-bit levels
    std::optional<int> faceCount;
    // The decoder had to repair the file or could read only part of it; such a photo is never
    // kept over an intact look-alike.
    bool isDamaged = false;
    // The file as the scan saw it, for re-checking it just before acting on it.
    std::optional<FileIdentity> identity;

    friend bool operator==(const PhotoRecord& a, const PhotoRecord& b) { return a.id == b.id; }
};

// Packs floats one after another in native byte order, without header or count.
std::string packEmbedding(const std::vector<float>& embedding);
// Reads byte count / 4 floats; trailing bytes are ignored.
std::vector<float> unpackEmbedding(const std::string& blob);

} // namespace quorlix

template <> struct std::hash<quorlix::PhotoRecord> {
    std::size_t operator()(const quorlix::PhotoRecord& r) const noexcept {
        return std::hash<std::string>{}(r.id);
    }
};
