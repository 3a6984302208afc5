#include "tools/ScanReport.h"

#include "engine/core/ByteCount.h"

#include <cstdio>
#include <sstream>

namespace quorlix {

namespace {

template <typename T> nlohmann::json orNull(const std::optional<T>& v) {
    return v ? nlohmann::json(*v) : nlohmann::json(nullptr);
}

nlohmann::json recordJson(const PhotoRecord& r) {
    return {{"id", r.id},
            {"fileURL", r.fileURL},
            {"fileSizeBytes", r.fileSizeBytes},
            {"contentHash", r.contentHash},
            {"pixelWidth", orNull(r.pixelWidth)},
            {"pixelHeight", orNull(r.pixelHeight)},
            {"dateOriginal", orNull(r.dateOriginal)},
            {"aestheticScore", orNull(r.aestheticScore)},
            {"isUtility", orNull(r.isUtility)},
            {"faceCount", orNull(r.faceCount)}};
}

} // namespace

nlohmann::json resultJson(const ScanResult& result) {
    nlohmann::json groups = nlohmann::json::array();
    for (const auto& g : result.groups) {
        nlohmann::json members = nlohmann::json::array();
        for (const auto& m : g.members)
            members.push_back(recordJson(m));
        groups.push_back({{"id", g.id},
                          {"kind", kindName(g.kind)},
                          {"members", members},
                          {"keeperId", g.keeperId},
                          {"autoKeeperId", g.autoKeeperId},
                          {"bestShotScores", g.bestShotScores},
                          {"isBestShotUnlocked", g.isBestShotUnlocked},
                          {"reclaimableBytes", g.reclaimableBytes()}});
    }
    return {{"folder", result.folder.native()},
            {"totalPhotos", result.totalPhotos},
            {"elapsed", result.elapsed},
            {"duplicateCount", result.duplicateCount()},
            {"exactReclaimableBytes", result.exactReclaimableBytes()},
            {"groups", groups}};
}

std::string resultSummary(const ScanResult& result) {
    std::ostringstream out;
    char elapsed[32];
    std::snprintf(elapsed, sizeof elapsed, "%.2f s", result.elapsed);
    const auto exact = result.exactGroups();
    const auto nearGroups = result.nearGroups();
    out << "Folder:       " << result.folder.native() << "\n"
        << "Photos seen:  " << result.totalPhotos << "\n"
        << "Exact groups: " << exact.size() << " (" << result.exactDuplicateCount() << " copies, "
        << ByteCount::of(result.exactReclaimableBytes()).text() << " reclaimable)\n"
        << "Look-alikes:  " << nearGroups.size() << " groups (" << result.nearDuplicateCount()
        << " others, " << ByteCount::of(result.nearReclaimableBytes()).text() << ")\n"
        << "Elapsed:      " << elapsed << "\n";
    for (const auto& g : result.groups) {
        out << "\n"
            << (g.kind == ScanResult::Kind::exact ? "Exact copies" : "Look-alikes") << " ["
            << g.id.substr(0, g.kind == ScanResult::Kind::exact ? 18 : g.id.size()) << "] "
            << g.members.size() << " files, " << ByteCount::of(g.reclaimableBytes()).text()
            << " reclaimable\n";
        for (const auto& m : g.members) {
            out << (m.id == g.keeperId ? "  keep  " : "  other ") << m.fileURL;
            if (const auto s = g.bestShotScores.find(m.id); s != g.bestShotScores.end()) {
                char score[32];
                std::snprintf(score, sizeof score, "  (score %.1f)", s->second);
                out << score;
            }
            out << "\n";
        }
    }
    return out.str();
}

} // namespace quorlix
