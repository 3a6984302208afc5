#include "app/SecurityScope.h"

namespace quorlix {

bool startAccessingSecurityScope(const std::filesystem::path&) {
    return false;
}

void stopAccessingSecurityScope(const std::filesystem::path&) {}

} // namespace quorlix
