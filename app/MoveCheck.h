#pragma once

#include "engine/core/PhotoRecord.h"

#include <filesystem>

// The checks made just before the user's files are acted on, against what the scan saw.
namespace quorlix::MoveCheck {

// Whether the photo's path still names the very file the scan recorded: the same inode with the
// same size, modification and change times. A photo with no recorded identity cannot be vouched
// for and counts as changed.
bool unchanged(const PhotoRecord& photo);

enum class Bytes { same, different, unreadable };

// Whether `copy` still holds exactly the bytes of `keeper`, read byte for byte from both. Each
// must also still be the version the scan recorded (`different` otherwise), so what is
// compared is what was shown.
Bytes compareBytes(const PhotoRecord& keeper, const PhotoRecord& copy);

// Whether `destination` is the scanned `folder` or any folder inside it, whatever names lead
// there (links, bind mounts): files moved there would stay in the folder.
bool insideFolder(const std::filesystem::path& destination, const std::filesystem::path& folder);

} // namespace quorlix::MoveCheck
