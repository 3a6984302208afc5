#pragma once

#include "engine/core/FileIdentity.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace quorlix::FolderScanner {

struct Candidate {
    std::filesystem::path url; // absolute, below the scanned folder
    std::int64_t size = 0;     // 0 when the file system reported none
    FileIdentity identity;     // as enumeration saw it
};

// Every regular file below `folder` with an image extension, in walk order.
// Never fails: hidden entries, symbolic links, special files and unreadable folders are skipped.
std::vector<Candidate> enumerate(const std::filesystem::path& folder);

// The lower-cased text after the last "." of the file name, or empty text.
std::string lowerExtension(const std::string& fileName);

} // namespace quorlix::FolderScanner
