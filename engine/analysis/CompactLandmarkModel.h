#pragma once

#include <filesystem>

namespace dlib {
class shape_predictor;
}

namespace quorlix {

// dlib's landmark model as Debian ships it stores every number in a portable encoding that takes
// seconds to parse. The compact form holds the same numbers as this machine's own floats and
// integers, is made once from the shipped file and kept in the cache folder, and is read from a
// memory mapping in a fraction of that time. It is never shipped.
class CompactLandmarkModel {
public:
    // Where the compact form is kept: the cache folder, beside the analysis cache.
    static std::filesystem::path defaultPath();

    // Reads the model from the compact form at `compact` into `model`. False, with `model` left
    // as it was, when there is none, when it is damaged, or when it was made from another
    // `source` (other size or modification time).
    static bool read(const std::filesystem::path& compact, const std::filesystem::path& source,
                     dlib::shape_predictor& model);
    // Writes the compact form of `model`, read from `source`, at `compact`, replacing any there in
    // one step so a concurrent reader sees the old or the new file. False when it cannot.
    static bool write(const dlib::shape_predictor& model, const std::filesystem::path& compact,
                      const std::filesystem::path& source);
};

} // namespace quorlix
