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
            {"faceCount", orNull(r.faceCount)},
            {"isDamaged", r.isDamaged}};
}

// Length of the well-formed UTF-8 sequence of a printable character at `at`, or 0.
std::size_t printableSequence(std::string_view s, std::size_t at) {
    const auto byte = [&](std::size_t i) {
        return static_cast<unsigned char>(s[i]);
    };
    const unsigned char lead = byte(at);
    if (lead >= 0x20 && lead < 0x7f)
        return lead == '\\' ? 0 : 1;
    std::size_t length = 0;
    std::uint32_t code = 0;
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
        code = lead & 0x1fu;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        code = lead & 0x0fu;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        code = lead & 0x07u;
    } else {
        return 0;
    }
    if (at + length > s.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xc0) != 0x80)
            return 0;
        code = (code << 6) | (byte(at + i) & 0x3fu);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    const bool surrogate = code >= 0xd800 && code <= 0xdfff;
    const bool c1 = code >= 0x80 && code <= 0x9f;
    return overlong || surrogate || c1 || code > 0x10ffff ? 0 : length;
}

} // namespace

std::string printable(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        if (const std::size_t n = printableSequence(bytes, i)) {
            out.append(bytes.substr(i, n));
            i += n;
            continue;
        }
        char escaped[5];
        std::snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned char>(bytes[i]));
        out += escaped;
        ++i;
    }
    return out;
}

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
            {"skippedTooLong", result.skippedTooLong},
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
    out << "Folder:       " << printable(result.folder.native()) << "\n"
        << "Photos seen:  " << result.totalPhotos << "\n"
        << "Exact groups: " << exact.size() << " (" << result.exactDuplicateCount() << " copies, "
        << ByteCount::of(result.exactReclaimableBytes()).text() << " reclaimable)\n"
        << "Look-alikes:  " << nearGroups.size() << " groups (" << result.nearDuplicateCount()
        << " others, " << ByteCount::of(result.nearReclaimableBytes()).text() << ")\n"
        << "Elapsed:      " << elapsed << "\n";
    if (result.skippedTooLong > 0)
        out << "Skipped:      " << result.skippedTooLong
            << " photos whose paths are too long to open\n";
    for (const auto& g : result.groups) {
        out << "\n"
            << (g.kind == ScanResult::Kind::exact ? "Exact copies" : "Look-alikes") << " ["
            << g.id.substr(0, g.kind == ScanResult::Kind::exact ? 18 : g.id.size()) << "] "
            << g.members.size() << " files, " << ByteCount::of(g.reclaimableBytes()).text()
            << " reclaimable\n";
        for (const auto& m : g.members) {
            out << (m.id == g.keeperId ? "  keep  " : "  other ") << printable(m.fileURL);
            if (m.isDamaged)
                out << "  (damaged)";
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
