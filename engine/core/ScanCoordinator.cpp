#include "engine/core/ScanCoordinator.h"

#include "engine/core/ContentKeys.h"
#include "engine/core/FolderScanner.h"
#include "engine/core/KeeperElection.h"
#include "engine/core/Log.h"
#include "engine/core/NearDuplicateGrouper.h"
#include "engine/core/QuorlixFeature.h"
#include "engine/core/ScanCancelled.h"
#include "engine/core/ScoringPrefetch.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <mutex>
#include <string_view>
#include <thread>
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

// The score of a photo the scorer could not read: its aesthetics mapped to 0…100, else 50.
double fallbackScore(const PhotoRecord& record) {
    if (!record.aestheticScore)
        return 50.0;
    return std::round((*record.aestheticScore + 1.0) * 0.5 * 100.0);
}

// The first intact member, else the first: a damaged photo is kept only when every one is.
const PhotoRecord& firstIntact(const std::vector<PhotoRecord>& members) {
    const auto intact = std::find_if(members.begin(), members.end(),
                                     [](const PhotoRecord& m) { return !m.isDamaged; });
    return intact != members.end() ? *intact : members.front();
}

// Runs work(0) … work(count − 1) on at most `concurrency` threads; a thread that finishes one
// item takes the next at once. Once `stop` is requested no new item starts; the items under way
// are awaited, and then ScanCancelled is thrown.
template <typename Work>
void runBounded(std::size_t count, int concurrency, const std::stop_token& stop, Work work) {
    std::atomic<std::size_t> next{0};
    std::atomic<bool> cancelled{false};
    auto worker = [&] {
        for (std::size_t i = next++; i < count; i = next++) {
            if (stop.stop_requested()) {
                cancelled = true;
                return;
            }
            work(i);
        }
    };
    {
        std::vector<std::jthread> pool;
        const auto threads = std::min<std::size_t>(std::size_t(std::max(concurrency, 1)), count);
        for (std::size_t t = 0; t < threads; ++t)
            pool.emplace_back(worker);
    }
    if (cancelled || stop.stop_requested())
        throw ScanCancelled();
}

// Analyses the representatives with bounded concurrency; `finished` gets the running count.
// With a `prefetch`, each analysed thumbnail is offered to it before it is dropped.
std::unordered_map<std::string, PhotoAnalysis>
analyzeAll(const std::vector<const FolderScanner::Candidate*>& representatives,
           const PhotoAnalyzer& analyzer, ScoringPrefetch* prefetch, int concurrency,
           const std::stop_token& stop, const std::function<void(std::int64_t)>& finished) {
    std::unordered_map<std::string, PhotoAnalysis> analyses;
    std::mutex mutex;
    std::int64_t count = 0;
    runBounded(representatives.size(), concurrency, stop, [&](std::size_t i) {
        std::optional<PhotoAnalysis> analysis;
        try {
            if (prefetch) {
                ImageBuffer thumbnail;
                analysis = analyzer.analyze(representatives[i]->url, &thumbnail);
                if (analysis && !thumbnail.empty())
                    prefetch->add(representatives[i]->url.native(), *analysis, thumbnail);
            } else {
                analysis = analyzer.analyze(representatives[i]->url);
            }
        } catch (...) {
            // A photo that breaks its analyser is a photo without analysis.
        }
        std::lock_guard lock(mutex);
        if (analysis)
            analyses.emplace(representatives[i]->url.native(), std::move(*analysis));
        finished(++count);
    });
    return analyses;
}

// Best-shot scoring of the first members of every look-alike group. The scores are computed
// on up to `concurrency` threads (each photo is decoded and searched for faces, the slowest step
// of a scan) and applied in group order afterwards, so the result is the same as one by one.
// A stop is honoured before each photo is scored.
void scoreNearGroups(std::vector<ScanResult::Group>& groups, const PhotoAnalyzer& analyzer,
                     const ScoringPrefetch* prefetch, int concurrency,
                     const std::stop_token& stop) {
    std::vector<const PhotoRecord*> sample;
    for (const auto& g : groups)
        if (g.kind == ScanResult::Kind::near)
            for (std::size_t i = 0;
                 i < std::min<std::size_t>(g.members.size(), QuorlixFeature::maxScoredPerGroup);
                 ++i)
                sample.push_back(&g.members[i]);
    std::vector<double> scores(sample.size());
    std::atomic<std::int64_t> reused{0};
    runBounded(sample.size(), concurrency, stop, [&](std::size_t i) {
        try {
            const auto measured = prefetch ? prefetch->find(sample[i]->fileURL) : std::nullopt;
            reused += measured.has_value();
            scores[i] =
                measured ? analyzer.score(*sample[i], *measured) : analyzer.score(*sample[i]);
        } catch (...) {
            scores[i] = fallbackScore(*sample[i]);
        }
    });

    log::info(log::Category::quality, "best_shot_scoring scored=" + std::to_string(sample.size()) +
                                          " reused_decode=" + std::to_string(reused.load()));

    std::size_t k = 0;
    for (auto& g : groups) {
        if (g.kind != ScanResult::Kind::near)
            continue;
        std::map<std::string, double> byId;
        std::vector<std::pair<std::string, double>> intact;
        const auto sampled =
            std::min<std::size_t>(g.members.size(), QuorlixFeature::maxScoredPerGroup);
        for (std::size_t i = 0; i < sampled; ++i) {
            byId[g.members[i].id] = scores[k];
            if (!g.members[i].isDamaged)
                intact.emplace_back(g.members[i].id, scores[k]);
            ++k;
        }
        g.bestShotScores = byId;
        // However well a damaged photo scores, its pixels may not be the photo's: an intact
        // member is kept, scored or not, whenever there is one.
        const bool anyIntact = !firstIntact(g.members).isDamaged;
        if (!intact.empty())
            g.keeperId = g.autoKeeperId = *KeeperElection::pickKeeper(intact);
        else if (anyIntact)
            g.keeperId = g.autoKeeperId = firstIntact(g.members).id;
        else if (const auto best = KeeperElection::pickKeeper({byId.begin(), byId.end()}))
            g.keeperId = g.autoKeeperId = *best;
        g.isBestShotUnlocked = true;
    }
}

} // namespace

ScanCoordinator::ScanCoordinator(std::shared_ptr<const PhotoAnalyzer> analyzer)
    : analyzer_(std::move(analyzer)) {}

ScanResult ScanCoordinator::scan(const std::filesystem::path& folder,
                                 const ProgressCallback& progress, std::stop_token stop,
                                 ScanOptions options) const {
    const auto start = std::chrono::steady_clock::now();
    // Only a scan that analyses photos needs the analyser; finding copies alone never loads it.
    std::shared_ptr<const PhotoAnalyzer> analyzer;
    if (!options.exactOnly)
        analyzer = analyzer_ ? analyzer_ : PhotoAnalyzer::shared();
    auto report = [&](Phase phase, std::int64_t current, std::int64_t total) {
        if (progress)
            progress({phase, current, total});
    };

    report(Phase::enumerating, 0, 0);
    std::int64_t tooLong = 0;
    const auto candidates = FolderScanner::enumerate(folder, &tooLong);
    const auto n = std::int64_t(candidates.size());
    log::info(log::Category::scan, "Enumerated " + std::to_string(n) + " images");
    checkpoint(stop);
    report(Phase::hashing, 0, n);

    const ContentKeyMap keys = contentKeys(candidates, n, progress);
    checkpoint(stop);
    // Each candidate's key, looked up once; the texts stay in `keys` for the rest of the scan.
    static const std::string noKey;
    std::vector<const std::string*> keyOf;
    keyOf.reserve(candidates.size());
    for (const auto& c : candidates) {
        const auto it = keys.find(c.url.native());
        keyOf.push_back(it == keys.end() ? &noKey : &it->second);
    }

    // The first candidate of each content, in enumeration order, stands for all its copies.
    struct Content {
        const FolderScanner::Candidate* representative;
        std::size_t files;
    };
    std::unordered_map<std::string_view, Content> contentOf;
    std::vector<const FolderScanner::Candidate*> representatives;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const auto [it, isNew] = contentOf.try_emplace(*keyOf[i], Content{&candidates[i], 0});
        ++it->second.files;
        if (isNew)
            representatives.push_back(&candidates[i]);
    }
    const auto r = std::int64_t(representatives.size());
    report(Phase::analyzing, 0, r);

    std::unordered_map<std::string, PhotoAnalysis> analyses;
    // A look-alike group needs two distinct contents.
    const bool mayScore = !options.exactOnly && r >= 2;
    std::optional<ScoringPrefetch> prefetch;
    if (mayScore) {
        analyzer->prepareScoring();
        prefetch.emplace(
            [&analyzer = *analyzer](const ImageBuffer& image) { return analyzer.measure(image); },
            QuorlixFeature::nearThreshold, QuorlixFeature::burstWindowSeconds);
    }
    if (!options.exactOnly)
        analyses = analyzeAll(representatives, *analyzer, prefetch ? &*prefetch : nullptr,
                              QuorlixFeature::analysisConcurrency(), stop,
                              [&](std::int64_t done) { report(Phase::analyzing, done, r); });

    report(Phase::grouping, 0, r);
    std::unordered_map<std::string, std::vector<PhotoRecord>> recordsByKey;
    std::vector<std::string> keyOrder;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const auto& c = candidates[i];
        const Content& content = contentOf.at(*keyOf[i]);
        // Without look-alike grouping, a content held by one file ends up in no group.
        if (options.exactOnly && content.files < 2)
            continue;
        PhotoRecord record;
        record.fileURL = c.url.native();
        record.id = pathDigest(record.fileURL);
        record.fileSizeBytes = c.size;
        record.contentHash = *keyOf[i];
        record.identity = c.identity;
        if (const auto a = analyses.find(content.representative->url.native());
            a != analyses.end()) {
            const PhotoAnalysis& analysis = a->second;
            record.pixelWidth = analysis.pixelWidth;
            record.pixelHeight = analysis.pixelHeight;
            record.dateOriginal = analysis.dateOriginal;
            record.embeddingBlob = packEmbedding(analysis.embedding);
            record.aestheticScore = analysis.aesthetic;
            record.isUtility = analysis.isUtility;
            record.noiseLevel = analysis.noiseLevel;
            record.isDamaged = analysis.isDamaged;
        }
        auto& list = recordsByKey[record.contentHash];
        if (list.empty())
            keyOrder.push_back(record.contentHash);
        list.push_back(std::move(record));
    }

    std::vector<ScanResult::Group> groups;
    for (const auto& key : keyOrder) {
        const auto& records = recordsByKey.at(key);
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

    if (!options.exactOnly) {
        std::vector<PhotoRecord> unique;
        unique.reserve(keyOrder.size());
        for (const auto& key : keyOrder)
            unique.push_back(recordsByKey.at(key).front());
        const NearDuplicateGrouper grouper(QuorlixFeature::nearThreshold,
                                           QuorlixFeature::burstWindowSeconds);
        int index = 0;
        for (auto& cluster : grouper.group(std::move(unique))) {
            if (cluster.size() < 2)
                continue;
            ScanResult::Group g;
            g.id = "near:" + std::to_string(index++);
            g.kind = ScanResult::Kind::near;
            g.members = std::move(cluster);
            g.keeperId = g.autoKeeperId = firstIntact(g.members).id;
            groups.push_back(std::move(g));
        }
    }
    checkpoint(stop);
    report(Phase::scoring, 0, r);

    if (!options.exactOnly)
        scoreNearGroups(groups, *analyzer, prefetch ? &*prefetch : nullptr,
                        QuorlixFeature::analysisConcurrency(), stop);

    std::sort(groups.begin(), groups.end(), groupBefore);
    ScanResult result;
    result.folder = folder;
    result.totalPhotos = n;
    result.skippedTooLong = tooLong;
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
