#include "engine/core/ScanCoordinator.h"

#include "engine/core/AnalysisCache.h"
#include "engine/core/CachedPhotoAnalyzer.h"
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
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
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

// Decoding and scoring yield to the window and to whatever else the user runs: on Linux a nice
// value set on a thread id applies to that thread alone.
void lowerThisThreadsPriority() {
    ::setpriority(PRIO_PROCESS, id_t(::gettid()), 10);
}

// Runs work(0) … work(count − 1) on at most `concurrency` threads, each at a lower priority; a
// thread that finishes one item takes the next at once. Once `stop` is requested no new item
// starts; the items under way are awaited, and then ScanCancelled is thrown.
template <typename Work>
void runBounded(std::size_t count, int concurrency, const std::stop_token& stop, Work work) {
    std::atomic<std::size_t> next{0};
    std::atomic<bool> cancelled{false};
    auto worker = [&] {
        lowerThisThreadsPriority();
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
           const ScanServices& services, ScoringPrefetch* prefetch, int concurrency,
           const std::stop_token& stop, const std::function<void(std::int64_t)>& finished) {
    std::unordered_map<std::string, PhotoAnalysis> analyses;
    std::mutex mutex;
    std::int64_t count = 0;
    runBounded(representatives.size(), concurrency, stop, [&](std::size_t i) {
        std::optional<PhotoAnalysis> analysis;
        try {
            if (prefetch) {
                ImageBuffer thumbnail;
                analysis = services.analyzeKeeping(representatives[i]->url, thumbnail);
                if (analysis && !thumbnail.empty())
                    prefetch->add(representatives[i]->url.native(), *analysis, thumbnail);
            } else {
                analysis = services.analyze(representatives[i]->url);
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
void scoreNearGroups(std::vector<ScanResult::Group>& groups, const ScanServices& services,
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
            scores[i] = measured ? services.scoreMeasured(*sample[i], *measured)
                                 : services.score(*sample[i]);
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
        const auto sampled =
            std::min<std::size_t>(g.members.size(), QuorlixFeature::maxScoredPerGroup);
        for (std::size_t i = 0; i < sampled; ++i)
            byId[g.members[i].id] = scores[k++];
        g.bestShotScores = byId;
        if (const auto best = KeeperElection::pickKeeper({byId.begin(), byId.end()}))
            g.keeperId = g.autoKeeperId = *best;
        g.isBestShotUnlocked = true;
    }
}

// The scan's analysers seen as one PhotoAnalyzer, so that the analysis cache can wrap them.
class ServicesAnalyzer : public PhotoAnalyzer {
public:
    explicit ServicesAnalyzer(ScanServices services) : s_(std::move(services)) {}
    std::optional<PhotoAnalysis> analyze(const std::filesystem::path& file,
                                         ImageBuffer* thumbnail) const override {
        return thumbnail && s_.analyzeKeeping ? s_.analyzeKeeping(file, *thumbnail)
                                              : s_.analyze(file);
    }
    std::optional<QualitySignals> measure(const ImageBuffer& image) const override {
        return s_.measure ? s_.measure(image) : std::nullopt;
    }
    double score(const PhotoRecord& record) const override { return s_.score(record); }
    double score(const PhotoRecord& record, const QualitySignals& signals) const override {
        return s_.scoreMeasured ? s_.scoreMeasured(record, signals) : s_.score(record);
    }
    void prepareScoring() const override {
        if (s_.prepareScoring)
            s_.prepareScoring();
    }
    std::string version() const override { return s_.version ? s_.version() : std::string(); }

private:
    ScanServices s_;
};

// `services` answered through the analysis cache, with the same optional parts.
ScanServices cachedServices(const ScanServices& services, std::shared_ptr<AnalysisCache> cache) {
    const auto cached = std::make_shared<CachedPhotoAnalyzer>(
        std::make_shared<ServicesAnalyzer>(services), std::move(cache));
    ScanServices out;
    out.analyze = [cached](const std::filesystem::path& file) {
        return cached->analyze(file);
    };
    out.score = [cached](const PhotoRecord& record) {
        return cached->score(record);
    };
    out.prepareScoring = [cached] {
        cached->prepareScoring();
    };
    out.version = [cached] {
        return cached->version();
    };
    if (services.analyzeKeeping && services.measure && services.scoreMeasured) {
        out.analyzeKeeping = [cached](const std::filesystem::path& file, ImageBuffer& thumbnail) {
            return cached->analyze(file, &thumbnail);
        };
        out.measure = [cached](const ImageBuffer& image) {
            return cached->measure(image);
        };
        out.scoreMeasured = [cached](const PhotoRecord& record, const QualitySignals& signals) {
            return cached->score(record, signals);
        };
    }
    return out;
}

} // namespace

ScanCoordinator::ScanCoordinator(ScanServices services) : services_(std::move(services)) {}

ScanResult ScanCoordinator::scan(const std::filesystem::path& folder,
                                 const ProgressCallback& progress, std::stop_token stop,
                                 ScanOptions options) const {
    const auto start = std::chrono::steady_clock::now();
    // Only a scan that analyses photos needs the analysers; finding copies alone never loads them.
    ScanServices services;
    if (!options.exactOnly)
        services = services_ ? *services_ : ScanServices::shared();
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

    // Opened once per scan; it never fails one, at worst every look-up misses.
    std::shared_ptr<AnalysisCache> cache;
    if (options.cache) {
        cache = std::make_shared<AnalysisCache>(
            *options.cache, services.version ? services.version() : std::string());
        if (!options.exactOnly)
            services = cachedServices(services, cache);
    }

    const ContentKeyMap keys =
        contentKeys(candidates, n, progress, defaultHashThreads(), cache.get());
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
    if (mayScore && services.prepareScoring)
        services.prepareScoring();
    std::optional<ScoringPrefetch> prefetch;
    if (mayScore && services.analyzeKeeping && services.measure && services.scoreMeasured)
        prefetch.emplace(services.measure, QuorlixFeature::nearThreshold,
                         QuorlixFeature::burstWindowSeconds);
    if (!options.exactOnly)
        analyses = analyzeAll(representatives, services, prefetch ? &*prefetch : nullptr,
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
            g.keeperId = g.autoKeeperId = g.members.front().id;
            groups.push_back(std::move(g));
        }
    }
    checkpoint(stop);
    report(Phase::scoring, 0, r);

    if (!options.exactOnly)
        scoreNearGroups(groups, services, prefetch ? &*prefetch : nullptr,
                        QuorlixFeature::analysisConcurrency(), stop);

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
