#pragma once

#include <filesystem>
#include <system_error>

// Moving the user's files: nothing is ever replaced and a source is only removed once its copy
// is complete. Paths are raw bytes, so names that are not valid UTF-8 move like any other.
namespace quorlix::FileMover {

// The first free name for `source` inside `folder`: its own name, then "base 2.ext",
// "base 3.ext"... ("name 2" for a name without extension).
std::filesystem::path uniqueDestination(const std::filesystem::path& folder,
                                        const std::filesystem::path& source);

// Whether anything at all (a dangling link included) stands at `path`.
bool occupied(const std::filesystem::path& path);

// Moves a regular file to `to`, failing with EEXIST when anything stands there, even if it
// appeared a moment ago. Across file systems the file is copied, flushed and checked for size
// before the source is removed; on any failure the source stays and no partial copy remains.
std::error_code moveNoReplace(const std::filesystem::path& from, const std::filesystem::path& to);

// The copy half of a move across file systems, exposed for tests.
std::error_code copyThenRemove(const std::filesystem::path& from, const std::filesystem::path& to);

} // namespace quorlix::FileMover
