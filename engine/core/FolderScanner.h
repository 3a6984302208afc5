#pragma once

#include "engine/core/FileIdentity.h"
#include "engine/core/ScanContext.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace quorlix::FolderScanner {

struct Candidate {
    std::filesystem::path url; // absolute, below the scanned folder
    std::int64_t size = 0;     // 0 when the file system reported none
    FileIdentity identity;     // as enumeration saw it
};

// Every regular file below `folder` whose extension names an ImageFormat, in walk order.
// Never fails: hidden entries, symbolic links, special files and unreadable folders are skipped.
// Folders are walked however deep they are, but a photo whose path is PATH_MAX bytes or longer
// is left out, since no later step (reading, decoding, moving) can open it by name: those are
// counted in `tooLong` and logged. Throws ScanCancelled once a stop is requested, checked per
// folder and every few entries.
std::vector<Candidate> enumerate(const std::filesystem::path& folder,
                                 const ScanContext& context = {}, std::int64_t* tooLong = nullptr);

} // namespace quorlix::FolderScanner
