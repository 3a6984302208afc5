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
using Candidate = FolderScanner::Candidate;

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

// The first intact member, else the first: a damaged photo is kept only when every one is.
const PhotoRecord& firstIntact(const std::vector<PhotoRecord>& members) {
    const auto intact = std::find_if(members.begin(), members.end(),
                                     [](const PhotoRecord& m) { return !m.isDamaged; });
    return intact != members.end() ? *intact : members.front();
}

// Runs work(0) … work(count − 1) on at most `concurrency` threads, each at a lower priority; a
// thread that finishes one item takes the next at once. Once a stop is requested no new item
// starts; the items under way are awaited, and then ScanCancelled is thrown.
template <typename Work>
void runBounded(std::size_t count, int concurrency, const ScanContext& context, Work work) {
    std::atomic<std::size_t> next{0};
    auto worker = [&] {
        lowerThisThreadsPriority();
        for (std::size_t i = next++; i < count && !context.stopRequested(); i = next++)
            work(i);
    };
    {
        std::vector<std::jthread> pool;
        const auto threads = std::min<std::size_t>(std::size_t(std::max(concurrency, 1)), count);
        for (std::size_t t = 0; t < threads; ++t)
            pool.emplace_back(worker);
    }
    context.checkpoint();
}

// Which candidates share a content: the first of each, in enumeration order, stands for all its
// copies and is the only one analysed.
struct Contents {
    struct Content {
        const Candidate* representative;
        std::size_t files;
    };
    ContentKeyMap keys;
    std::vector<const std::string*> keyOf; // per candidate; the texts stay in `keys`
    std::unordered_map<std::string_view, Content> byKey;
    std::vector<const Candidate*> representatives;
};

// One scan from the folder to its result, one member per phase, each run in order.
class ScanRun {
public:
    ScanRun(const std::filesystem::path& folder, ScanOptions options, const ScanContext& context,
            std::shared_ptr<const PhotoAnalyzer> analyzer, std::shared_ptr<AnalysisCache> cache)
        : folder_(folder), options_(options), context_(context), analyzer_(std::move(analyzer)),
          cache_(std::move(cache)) {}

    void enumerate();
    void hash();
    void analyze();
    void group();
    void score();
    ScanResult result() &&;

private:
    PhotoRecord recordOf(std::size_t candidate) const;
    std::vector<ScanResult::Group> exactGroups(const std::vector<std::vector<PhotoRecord>>&) const;
    std::vector<ScanResult::Group> nearGroups(const std::vector<std::vector<PhotoRecord>>&) const;

    const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    const std::filesystem::path& folder_;
    const ScanOptions options_;
    const ScanContext& context_;
    const std::shared_ptr<const PhotoAnalyzer> analyzer_; // none when only copies are found
    const std::shared_ptr<AnalysisCache> cache_;          // none: every file is read
    std::vector<Candidate> candidates_;
    Contents contents_;
    std::unordered_map<std::string, PhotoAnalysis> analyses_;
    std::optional<ScoringPrefetch> prefetch_;
    std::vector<ScanResult::Group> groups_;
    std::int64_t tooLong_ = 0;
};

void ScanRun::enumerate() {
    context_.report(Phase::enumerating, 0, 0);
    candidates_ = FolderScanner::enumerate(folder_, context_, &tooLong_);
    log::info(log::Category::scan, "Enumerated " + std::to_string(candidates_.size()) + " images");
}

void ScanRun::hash() {
    const auto n = std::int64_t(candidates_.size());
    context_.report(Phase::hashing, 0, n);
    contents_.keys = contentKeys(candidates_, n, context_, defaultHashThreads(), cache_.get());
    static const std::string noKey;
    contents_.keyOf.reserve(candidates_.size());
    for (const auto& c : candidates_) {
        const auto it = contents_.keys.find(c.url.native());
        contents_.keyOf.push_back(it == contents_.keys.end() ? &noKey : &it->second);
    }
    for (std::size_t i = 0; i < candidates_.size(); ++i) {
        const auto [it, isNew] =
            contents_.byKey.try_emplace(*contents_.keyOf[i], Contents::Content{&candidates_[i], 0});
        ++it->second.files;
        if (isNew)
            contents_.representatives.push_back(&candidates_[i]);
    }
}

// Analyses the representatives with bounded concurrency. With a prefetch, each analysed
// thumbnail is offered to it before it is dropped.
void ScanRun::analyze() {
    const auto& representatives = contents_.representatives;
    const auto r = std::int64_t(representatives.size());
    context_.report(Phase::analyzing, 0, r);
    if (options_.exactOnly)
        return;
    // A look-alike group needs two distinct contents.
    if (r >= 2) {
        analyzer_->prepareScoring();
        prefetch_.emplace(
            [analyzer = analyzer_](const ImageBuffer& image) { return analyzer->measure(image); },
            QuorlixFeature::nearThreshold, QuorlixFeature::burstWindowSeconds);
    }
    std::mutex mutex;
    std::int64_t count = 0;
    runBounded(representatives.size(), QuorlixFeature::analysisConcurrency(), context_,
               [&](std::size_t i) {
                   const auto& url = representatives[i]->url;
                   std::optional<PhotoAnalysis> analysis;
                   try {
                       ImageBuffer thumbnail;
                       analysis = analyzer_->analyze(url, prefetch_ ? &thumbnail : nullptr);
                       if (analysis && !thumbnail.empty())
                           prefetch_->add(url.native(), *analysis, thumbnail);
                   } catch (...) {
                       // A photo that breaks its analyser is a photo without analysis.
                   }
                   std::lock_guard lock(mutex);
                   if (analysis)
                       analyses_.emplace(url.native(), std::move(*analysis));
                   context_.report(Phase::analyzing, ++count, r);
               });
}

PhotoRecord ScanRun::recordOf(std::size_t i) const {
    const Candidate& c = candidates_[i];
    PhotoRecord record;
    record.fileURL = c.url.native();
    record.id = pathDigest(record.fileURL);
    record.fileSizeBytes = c.size;
    record.contentHash = *contents_.keyOf[i];
    record.identity = c.identity;
    const auto& representative = contents_.byKey.at(record.contentHash).representative;
    if (const auto a = analyses_.find(representative->url.native()); a != analyses_.end()) {
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
    return record;
}

// Contents held by several files, members in path order; the first is the keeper.
std::vector<ScanResult::Group>
ScanRun::exactGroups(const std::vector<std::vector<PhotoRecord>>& byContent) const {
    std::vector<ScanResult::Group> groups;
    for (const auto& records : byContent) {
        if (records.size() < 2)
            continue;
        ScanResult::Group g;
        g.id = "exact:" + records.front().contentHash;
        g.kind = ScanResult::Kind::exact;
        g.members = records;
        std::sort(g.members.begin(), g.members.end(),
                  [](const PhotoRecord& a, const PhotoRecord& b) { return a.fileURL < b.fileURL; });
        g.keeperId = g.autoKeeperId = g.members.front().id;
        groups.push_back(std::move(g));
    }
    return groups;
}

// Bursts among the contents, each taking part through its first file.
std::vector<ScanResult::Group>
ScanRun::nearGroups(const std::vector<std::vector<PhotoRecord>>& byContent) const {
    std::vector<PhotoRecord> unique;
    unique.reserve(byContent.size());
    for (const auto& records : byContent)
        unique.push_back(records.front());
    const NearDuplicateGrouper grouper(QuorlixFeature::nearThreshold,
                                       QuorlixFeature::burstWindowSeconds);
    std::vector<ScanResult::Group> groups;
    for (auto& cluster : grouper.group(std::move(unique), context_)) {
        if (cluster.size() < 2)
            continue;
        ScanResult::Group g;
        g.id = "near:" + std::to_string(groups.size());
        g.kind = ScanResult::Kind::near;
        g.members = std::move(cluster);
        g.keeperId = g.autoKeeperId = firstIntact(g.members).id;
        groups.push_back(std::move(g));
    }
    return groups;
}

void ScanRun::group() {
    context_.report(Phase::grouping, 0, std::int64_t(contents_.representatives.size()));
    // The records of each content, contents in the order their first file was enumerated.
    std::vector<std::vector<PhotoRecord>> byContent;
    std::unordered_map<std::string_view, std::size_t> slot;
    for (std::size_t i = 0; i < candidates_.size(); ++i) {
        // Without look-alike grouping, a content held by one file ends up in no group.
        const auto& key = *contents_.keyOf[i];
        if (options_.exactOnly && contents_.byKey.at(key).files < 2)
            continue;
        const auto [it, isNew] = slot.try_emplace(key, byContent.size());
        if (isNew)
            byContent.emplace_back();
        byContent[it->second].push_back(recordOf(i));
    }
    groups_ = exactGroups(byContent);
    if (!options_.exactOnly)
        for (auto& g : nearGroups(byContent))
            groups_.push_back(std::move(g));
    context_.checkpoint();
}

// Best-shot scoring of the first members of every look-alike group. The scores are computed on
// several threads (each photo is decoded and searched for faces, the slowest step of a scan) and
// applied in group order afterwards, so the result is the same as one by one.
void ScanRun::score() {
    context_.report(Phase::scoring, 0, std::int64_t(contents_.representatives.size()));
    if (options_.exactOnly)
        return;
    std::vector<const PhotoRecord*> sample;
    for (const auto& g : groups_)
        if (g.kind == ScanResult::Kind::near)
            for (std::size_t i = 0;
                 i < std::min<std::size_t>(g.members.size(), QuorlixFeature::maxScoredPerGroup);
                 ++i)
                sample.push_back(&g.members[i]);
    std::vector<double> scores(sample.size());
    std::vector<std::optional<QualitySignals>> signals(sample.size());
    std::atomic<std::int64_t> reused{0};
    runBounded(sample.size(), QuorlixFeature::analysisConcurrency(), context_, [&](std::size_t i) {
        try {
            auto measured = prefetch_ ? prefetch_->find(sample[i]->fileURL) : std::nullopt;
            reused += measured.has_value();
            if (!measured)
                measured = analyzer_->measureFile(*sample[i]);
            scores[i] =
                measured ? analyzer_->score(*sample[i], *measured) : analyzer_->score(*sample[i]);
            signals[i] = std::move(measured);
        } catch (...) {
            scores[i] = fallbackScore(*sample[i]);
        }
    });
    log::info(log::Category::quality, "best_shot_scoring scored=" + std::to_string(sample.size()) +
                                          " reused_decode=" + std::to_string(reused.load()));

    std::size_t k = 0;
    for (auto& g : groups_) {
        if (g.kind != ScanResult::Kind::near)
            continue;
        std::map<std::string, double> byId;
        std::vector<std::pair<std::string, double>> intact;
        const auto sampled =
            std::min<std::size_t>(g.members.size(), QuorlixFeature::maxScoredPerGroup);
        for (std::size_t i = 0; i < sampled; ++i) {
            byId[g.members[i].id] = scores[k];
            if (signals[k])
                g.qualitySignals[g.members[i].id] = *signals[k];
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

ScanResult ScanRun::result() && {
    ScanResult result;
    result.folder = folder_;
    result.totalPhotos = std::int64_t(candidates_.size());
    result.skippedTooLong = tooLong_;
    result.groups = std::move(groups_);
    result.sortGroups();
    result.elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    log::info(log::Category::scan,
              "Scan done: photos=" + std::to_string(result.totalPhotos) +
                  " exact=" + std::to_string(result.exactGroups().size()) +
                  " near=" + std::to_string(result.nearGroups().size()) +
                  " reclaimMB=" + std::to_string(result.exactReclaimableBytes() / 1048576) +
                  " s=" + std::to_string(std::int64_t(result.elapsed)));
    return result;
}

} // namespace

ScanCoordinator::ScanCoordinator(std::shared_ptr<const PhotoAnalyzer> analyzer)
    : analyzer_(std::move(analyzer)) {}

ScanResult ScanCoordinator::scan(const std::filesystem::path& folder,
                                 const ProgressCallback& progress, std::stop_token stop,
                                 ScanOptions options) const {
    // Only a scan that analyses photos needs the analyser; finding copies alone never loads it.
    std::shared_ptr<const PhotoAnalyzer> analyzer;
    if (!options.exactOnly)
        analyzer = analyzer_ ? analyzer_ : PhotoAnalyzer::shared();
    // Opened once per scan; it never fails one, at worst every look-up misses.
    std::shared_ptr<AnalysisCache> cache;
    if (options.cache) {
        cache = std::make_shared<AnalysisCache>(*options.cache,
                                                analyzer ? analyzer->version() : std::string());
        if (analyzer)
            analyzer = std::make_shared<CachedPhotoAnalyzer>(std::move(analyzer), cache);
    }
    const ScanContext context(std::move(stop), progress);
    ScanRun run(folder, options, context, std::move(analyzer), std::move(cache));
    run.enumerate();
    run.hash();
    run.analyze();
    run.group();
    run.score();
    return std::move(run).result();
}

} // namespace quorlix
