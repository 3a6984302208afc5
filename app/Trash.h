#pragma once

#include "engine/core/FileIdentity.h"

#include <filesystem>
#include <optional>
#include <system_error>

namespace quorlix {

// The user's Trash in the freedesktop.org Trash layout: the home trash for
// files on its file system, else the top-level trash of the file's own mount. Written here on
// raw paths rather than through QFile::moveToTrash, whose QString paths cannot carry names that
// are not valid UTF-8 and which may report success without a trash location.
class Trash {
public:
    struct Item {
        std::filesystem::path location; // the file inside ".../files/"
        std::filesystem::path infoFile; // its ".../info/NAME.trashinfo"
    };

    // $XDG_DATA_HOME/Trash (through QStandardPaths, so test mode keeps tests out of it).
    static std::filesystem::path homeTrash();

    // Moves a file into the trash, writing its .trashinfo first. Never replaces anything. A name
    // too long to carry ".trashinfo" is shortened inside the trash; the .trashinfo keeps the full
    // original path. A drive without a usable trash fails with MoveError::noTrash (the cause is
    // logged). With `expected`, only that version of the file moves (MoveError::changed).
    static std::optional<Item> moveToTrash(const std::filesystem::path& file, std::error_code& ec,
                                           const FileIdentity* expected = nullptr);

    // Moves a trashed file back to `original` (never over a file standing there) and removes
    // its .trashinfo, leaving the trash as it was before. With `expected`, only that version of
    // the trashed file goes back.
    static std::error_code restore(const Item& item, const std::filesystem::path& original,
                                   const FileIdentity* expected = nullptr);
};

} // namespace quorlix
