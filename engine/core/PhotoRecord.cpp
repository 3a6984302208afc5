#include "engine/core/PhotoRecord.h"

#include <cstring>

namespace quorlix {

std::string packEmbedding(const std::vector<float>& embedding) {
    std::string blob(embedding.size() * sizeof(float), '\0');
    if (!embedding.empty())
        std::memcpy(blob.data(), embedding.data(), blob.size());
    return blob;
}

std::vector<float> unpackEmbedding(const std::string& blob) {
    std::vector<float> values(blob.size() / sizeof(float));
    if (!values.empty())
        std::memcpy(values.data(), blob.data(), values.size() * sizeof(float));
    return values;
}

} // namespace quorlix
