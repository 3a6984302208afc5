#pragma once

#include <QString>
#include <QUrl>
#include <filesystem>

namespace quorlix {

// File URLs and paths, converted byte for byte: a name that is not valid UTF-8 survives both
// ways (it travels percent-encoded inside the URL).
std::filesystem::path pathFromUrl(const QUrl& url);
QUrl urlFromPath(const std::filesystem::path& path);

// A path as text for Qt's file APIs and for display, and back: its bytes through Qt's file name
// codec, so a name that is not valid UTF-8 survives the round trip.
QString textFromPath(const std::filesystem::path& path);
std::filesystem::path pathFromText(const QString& text);

} // namespace quorlix
