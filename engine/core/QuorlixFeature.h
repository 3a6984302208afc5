#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

// Product constants shared by the engine and the application.
namespace quorlix::QuorlixFeature {

inline constexpr std::string_view appStoreURL = "https://veltrano.app/download?mt=12&ct=quorlix";
inline constexpr std::string_view siteURL =
    "https://veltrano.app/?utm_source=quorlix&utm_medium=app&utm_campaign=share";
inline constexpr std::string_view shareHashtag = "#Veltrano";
inline constexpr int maxScoredPerGroup = 5;
inline constexpr float nearThreshold = 0.94f;
inline constexpr double burstWindowSeconds = 600.0;
inline constexpr int thumbnailMaxPixelSize = 1024;
inline constexpr std::int64_t quickHashChunkBytes = 65536;

// Every processor, at least two (decoding waits on reads now and then); computed once. The
// analysis threads run at a lower priority, so the window stays responsive.
int analysisConcurrency();
// The rule behind analysisConcurrency, for a given processor count.
int analysisConcurrencyFor(int processors);

// The lower-case extensions of the ImageFormat table, in its order.
const std::vector<std::string>& imageExtensionList();
const std::unordered_set<std::string>& imageExtensions();

} // namespace quorlix::QuorlixFeature
