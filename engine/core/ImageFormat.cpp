#include "engine/core/ImageFormat.h"

#include <algorithm>

namespace quorlix::ImageFormat {

const Format* find(std::string_view extension) {
    const auto it = std::find_if(formats.begin(), formats.end(),
                                 [&](const Format& f) { return f.extension == extension; });
    return it == formats.end() ? nullptr : &*it;
}

std::string lowerExtension(std::string_view fileName) {
    const auto dot = fileName.rfind('.');
    if (dot == std::string_view::npos)
        return {};
    std::string ext(fileName.substr(dot + 1));
    // ASCII only: a locale's case rules must not decide which files are photos.
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return char(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return ext;
}

} // namespace quorlix::ImageFormat
