#include "engine/ScanServices.h"

#include <stdexcept>

namespace quorlix {

ScanServices ScanServices::shared() {
    ScanServices s;
    s.analyze = [](const std::filesystem::path&) -> std::optional<PhotoAnalysis> {
        return std::nullopt;
    };
    s.score = [](const PhotoRecord&) -> double {
        throw std::runtime_error("no scorer");
    };
    return s;
}

} // namespace quorlix
