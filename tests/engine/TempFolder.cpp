#include "TempFolder.h"

#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorlix::test {

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quorlix-test-XXXXXX").native();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempFolder::~TempFolder() {
    namespace fs = std::filesystem;
    std::error_code ec;
    for (int pass = 0; pass < 3; ++pass) {
        // Give back permissions that tests took away, so everything can be removed.
        ::chmod(path_.c_str(), 0700);
        for (auto it = fs::recursive_directory_iterator(
                 path_, fs::directory_options::skip_permission_denied, ec);
             !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
            if (!it->is_symlink(ec))
                ::chmod(it->path().c_str(), 0700);
        ec.clear();
        fs::remove_all(path_, ec);
        if (!ec)
            break;
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

std::string readFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

bool asOrdinaryUser(const std::function<void()>& act) {
    const bool root = ::geteuid() == 0;
    if (root && ::seteuid(65534) != 0)
        return false;
    act();
    return !root || ::seteuid(0) == 0;
}

} // namespace quorlix::test
