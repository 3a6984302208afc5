#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
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

// The file's bytes; empty when it cannot be read.
std::string readFile(const std::filesystem::path& file);

// Runs `act` with the permissions of an ordinary user, which do not bind the superuser; false
// when a superuser's test cannot drop them (the caller skips).
bool asOrdinaryUser(const std::function<void()>& act);

} // namespace quorlix::test
