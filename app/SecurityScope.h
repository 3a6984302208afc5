#pragma once

#include <filesystem>

namespace quorlix {

// Access to a folder the user chose, held for the length of a scan or a move. Folders need no
// grant on Linux, so the pair does nothing there; the calls keep their places for platforms
// that do.
bool startAccessingSecurityScope(const std::filesystem::path& folder);
void stopAccessingSecurityScope(const std::filesystem::path& folder);

} // namespace quorlix
