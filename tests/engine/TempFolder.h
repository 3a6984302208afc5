#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace quorlix::test {

// A fresh folder under the system's temporary directory, removed with everything in it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // Writes `bytes` to the relative path, creating folders on the way; returns the full path.
    std::filesystem::path write(const std::string& relative, std::string_view bytes) const;

private:
    std::filesystem::path path_;
};

// Deterministic pseudo-random bytes.
std::string randomBytes(std::size_t size, std::uint32_t seed);

} // namespace quorlix::test
