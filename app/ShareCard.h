#pragma once

#include "engine/core/ScanResult.h"

#include <QImage>
#include <QString>
#include <filesystem>
#include <functional>
#include <optional>

namespace quorlix {

// Draws the share card for a result at its pixel size; a null image when it cannot.
using ShareCardRenderer = std::function<QImage(const ScanResult&)>;

namespace ShareCard {

inline constexpr int widthPoints = 1200;
inline constexpr int heightPoints = 630;
inline constexpr int scale = 2;
inline constexpr const char* directoryName = "quorlix-share";
inline constexpr const char* fileName = "veltrano-duplicates.png";

// "quorlix-share" inside the temporary directory.
std::filesystem::path directory();

// A plain card with the three numbers, until the designed card painter takes its place.
QImage paintStandIn(const ScanResult& result);

// Renders, encodes and writes the PNG, replacing an earlier one; the file's path, or nothing.
std::optional<std::filesystem::path> render(const ScanResult& result,
                                            const ShareCardRenderer& renderer);

// The caption: duplicates, reclaimable size, hashtag and the sibling product's link.
QString caption(const ScanResult& result);

} // namespace ShareCard

} // namespace quorlix
