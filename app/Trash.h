#pragma once

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

    // Moves a file into the trash, writing its .trashinfo first. Never replaces anything.
    static std::optional<Item> moveToTrash(const std::filesystem::path& file, std::error_code& ec);

    // Moves a trashed file back to `original` (never over a file standing there) and removes
    // its .trashinfo, leaving the trash as it was before.
    static std::error_code restore(const Item& item, const std::filesystem::path& original);
};

} // namespace quorlix
