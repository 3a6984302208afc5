#include "engine/ScanCoordinator.h"

#include "engine/ContentKeys.h"
#include "engine/FolderScanner.h"
#include "engine/Log.h"
#include "engine/ScanCancelled.h"

#include <algorithm>
#include <chrono>
#include <unordered_map>

namespace quorlix {

namespace {

using Phase = ScanProgress::Phase;

void checkpoint(const std::stop_token& stop) {
    if (stop.stop_requested())
        throw ScanCancelled();
}

bool groupBefore(const ScanResult::Group& a, const ScanResult::Group& b) {
    if (a.kind != b.kind)
        return a.kind == ScanResult::Kind::exact;
    if (a.members.size() != b.members.size())
        return a.members.size() > b.members.size();
    return a.id < b.id;
}

} // namespace

ScanResult ScanCoordinator::scan(const std::filesystem::path& folder,
                                 const ProgressCallback& progress, std::stop_token stop,
                                 ScanOptions options) const {
    const auto start = std::chrono::steady_clock::now();
    auto report = [&](Phase phase, std::int64_t current, std::int64_t total) {
        if (progress)
            progress({phase, current, total});
    };

    report(Phase::enumerating, 0, 0);
    const auto candidates = FolderScanner::enumerate(folder);
    const auto n = std::int64_t(candidates.size());
    log::info(log::Category::scan, "Enumerated " + std::to_string(n) + " images");
    checkpoint(stop);
    report(Phase::hashing, 0, n);

    const ContentKeyMap keys = contentKeys(candidates, n, progress);
    checkpoint(stop);

    // Candidates by key, each list in enumeration order; a list's first is its representative.
    std::unordered_map<std::string, std::vector<const FolderScanner::Candidate*>> byKey;
    std::vector<std::string> keyOrder;
    for (const auto& c : candidates) {
        const auto it = keys.find(c.url.native());
        const std::string key = it == keys.end() ? std::string() : it->second;
        auto& list = byKey[key];
        if (list.empty())
            keyOrder.push_back(key);
        list.push_back(&c);
    }
    const auto r = std::int64_t(keyOrder.size());
    report(Phase::analyzing, 0, r);

    std::unordered_map<std::string, std::vector<PhotoRecord>> recordsByKey;
    report(Phase::grouping, 0, r);
    for (const auto& c : candidates) {
        const auto it = keys.find(c.url.native());
        PhotoRecord record;
        record.fileURL = c.url.native();
        record.id = pathDigest(record.fileURL);
        record.fileSizeBytes = c.size;
        record.contentHash = it == keys.end() ? std::string() : it->second;
        recordsByKey[record.contentHash].push_back(std::move(record));
    }

    std::vector<ScanResult::Group> groups;
    for (auto& [key, records] : recordsByKey) {
        if (records.size() < 2)
            continue;
        ScanResult::Group g;
        g.id = "exact:" + key;
        g.kind = ScanResult::Kind::exact;
        g.members = records;
        std::sort(g.members.begin(), g.members.end(),
                  [](const PhotoRecord& a, const PhotoRecord& b) { return a.fileURL < b.fileURL; });
        g.keeperId = g.autoKeeperId = g.members.front().id;
        groups.push_back(std::move(g));
    }
    (void)options;
    checkpoint(stop);
    report(Phase::scoring, 0, r);

    std::sort(groups.begin(), groups.end(), groupBefore);
    ScanResult result;
    result.folder = folder;
    result.totalPhotos = n;
    result.groups = std::move(groups);
    result.elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    log::info(log::Category::scan,
              "Scan done: photos=" + std::to_string(result.totalPhotos) +
                  " exact=" + std::to_string(result.exactGroups().size()) +
                  " near=" + std::to_string(result.nearGroups().size()) +
                  " reclaimMB=" + std::to_string(result.exactReclaimableBytes() / 1048576) +
                  " s=" + std::to_string(std::int64_t(result.elapsed)));
    return result;
}

} // namespace quorlix
