#pragma once

#include <stdexcept>

namespace quorlix {

// Ends a scan at a checkpoint once its stop token has been triggered; no partial result escapes.
class ScanCancelled : public std::runtime_error {
public:
    ScanCancelled() : std::runtime_error("scan cancelled") {}
};

} // namespace quorlix
