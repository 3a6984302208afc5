#pragma once

#include <QUrl>
#include <filesystem>

namespace quorlix {

// File URLs and paths, converted byte for byte: a name that is not valid UTF-8 survives both
// ways (it travels percent-encoded inside the URL).
std::filesystem::path pathFromUrl(const QUrl& url);
QUrl urlFromPath(const std::filesystem::path& path);

} // namespace quorlix
