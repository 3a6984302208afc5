#include "FuzzFolder.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

namespace quorlix::fuzz {

const std::filesystem::path& scratchFolder() {
    static const std::filesystem::path folder = [] {
        // TMPDIR first: libFuzzer ends a timed run with _exit, so the caller clears it.
        std::filesystem::path base = "/dev/shm";
        if (const char* tmp = std::getenv("TMPDIR"); tmp && *tmp)
            base = tmp;
        else if (::access(base.c_str(), W_OK) != 0)
            base = std::filesystem::temp_directory_path();
        std::string pattern = (base / "quorlix-fuzz-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) {
            std::perror("mkdtemp");
            std::abort();
        }
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(scratchFolder(), ignored);
        });
        return std::filesystem::path(pattern);
    }();
    return folder;
}

std::filesystem::path writeScratch(std::string_view name, const std::uint8_t* data,
                                   std::size_t size) {
    const auto file = scratchFolder() / name;
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    out.close();
    if (!out) {
        std::perror(file.c_str());
        std::abort();
    }
    return file;
}

} // namespace quorlix::fuzz
