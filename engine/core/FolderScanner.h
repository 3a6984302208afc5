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
// Folders are walked however deep they are, but a photo whose path is PATH_MAX bytes or longer
// is left out, since no later step (reading, decoding, moving) can open it by name: those are
// counted in `tooLong` and logged.
std::vector<Candidate> enumerate(const std::filesystem::path& folder,
                                 std::int64_t* tooLong = nullptr);

// The lower-cased text after the last "." of the file name, or empty text.
std::string lowerExtension(const std::string& fileName);

} // namespace quorlix::FolderScanner
