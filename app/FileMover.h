#pragma once

#include "engine/core/FileIdentity.h"

#include <climits>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

// Moving and copying the user's files: nothing is ever replaced, a copy appears under its final
// name only once complete and flushed, and a source is only removed once its copy is in place.
// Paths are raw bytes, so names that are not valid UTF-8 move like any other. Where `expected`
// is given, the file must still be that version of itself, or it is left alone
// (MoveError::changed).
namespace quorlix::FileMover {

// The free-name rule, for moves and copies alike: `name` itself for n == 1, then "base 2.ext",
// "base 3.ext"... ("name 2" without an extension, ".hidden 2" for a dot file). A name longer
// than `maxBytes` loses the end of its base (never half a UTF-8 character), not its number or
// extension.
std::string numberedName(const std::string& name, int n, std::size_t maxBytes = NAME_MAX);

// Moves a regular file to `to`, failing with EEXIST when anything stands there, even if it
// appeared a moment ago. Across file systems the file is copied first (copyThenRemove).
std::error_code moveNoReplace(const std::filesystem::path& from, const std::filesystem::path& to,
                              const FileIdentity* expected = nullptr);

// Moves a regular file into `folder` under the first free name; the new path, or nothing with
// `ec` set and the file where it was.
std::optional<std::filesystem::path> moveInto(const std::filesystem::path& from,
                                              const std::filesystem::path& folder,
                                              const FileIdentity* expected, std::error_code& ec);

// Copies a regular file into `folder` under the first free name; the new path, or nothing with
// `ec` set and nothing left behind.
std::optional<std::filesystem::path> copyInto(const std::filesystem::path& from,
                                              const std::filesystem::path& folder,
                                              std::error_code& ec);

// The copy half of a move across file systems: a copy written without a name (or under a
// hidden temporary one where the file system cannot), flushed, given its final name only when
// complete, and then the source removed if it is still the file that was copied. On any failure
// the source stays and no copy remains.
std::error_code copyThenRemove(const std::filesystem::path& from, const std::filesystem::path& to,
                               const FileIdentity* expected = nullptr);

} // namespace quorlix::FileMover
