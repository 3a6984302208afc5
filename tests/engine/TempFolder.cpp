#include "TempFolder.h"

#include <fstream>
#include <random>
#include <stdexcept>
#include <stdlib.h>
#include <sys/stat.h>

namespace quorlix::test {

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quorlix-test-XXXXXX").native();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ec;
    // Give back permissions that tests took away, so everything can be removed.
    for (auto it = std::filesystem::recursive_directory_iterator(
             path_, std::filesystem::directory_options::skip_permission_denied, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
        if (!it->is_symlink(ec))
            ::chmod(it->path().c_str(), 0700);
    ::chmod(path_.c_str(), 0700);
    for (int pass = 0; pass < 3; ++pass) {
        std::filesystem::remove_all(path_, ec);
        if (!ec)
            break;
        for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
             !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
            if (!it->is_symlink(ec))
                ::chmod(it->path().c_str(), 0700);
    }
}

std::filesystem::path TempFolder::write(const std::string& relative, std::string_view bytes) const {
    const auto full = path_ / relative;
    std::filesystem::create_directories(full.parent_path());
    std::ofstream out(full, std::ios::binary);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    return full;
}

std::string randomBytes(std::size_t size, std::uint32_t seed) {
    std::mt19937 rng(seed);
    std::string out(size, '\0');
    for (auto& c : out)
        c = char(rng() & 0xff);
    return out;
}

} // namespace quorlix::test
