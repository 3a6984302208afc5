#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>

// A scratch folder of one fuzzing process, under TMPDIR or on a memory file system, removed at
// a normal exit. Inputs reach the engine as files there because its entry points take paths.
namespace quorlix::fuzz {

const std::filesystem::path& scratchFolder();

// Replaces `name` in the scratch folder with exactly `size` bytes; returns its path.
std::filesystem::path writeScratch(std::string_view name, const std::uint8_t* data,
                                   std::size_t size);

} // namespace quorlix::fuzz
