#include "engine/analysis/PhotoQualityError.h"

namespace quorlix {

PhotoQualityError PhotoQualityError::undecodable(const std::string& fileName) {
    return PhotoQualityError(Kind::undecodable, fileName);
}

PhotoQualityError::PhotoQualityError(Kind kind, const std::string& fileName)
    : std::runtime_error("Image not decodable: " + fileName), kind_(kind), fileName_(fileName) {}

} // namespace quorlix
