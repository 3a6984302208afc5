#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>

// A scratch folder of one fuzzing process, on a memory file system when there is one, removed at
// exit. Inputs reach the engine as files there because its entry points take paths.
namespace quorlix::fuzz {

const std::filesystem::path& scratchFolder();

// Replaces `name` in the scratch folder with exactly `size` bytes; returns its path.
std::filesystem::path writeScratch(std::string_view name, const std::uint8_t* data,
                                   std::size_t size);

} // namespace quorlix::fuzz
