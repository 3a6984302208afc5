#pragma once

#include "engine/core/ContentKeys.h"
#include "engine/core/FileIdentity.h"
#include "engine/core/PhotoAnalysis.h"
#include "engine/core/QualitySignals.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

struct sqlite3;

namespace quorlix {

// What earlier scans learnt of each photo file, so that a rescan reads only what changed. One
// SQLite file, one entry per file (device and inode), valid only while the file's size and its
// modification and change times are those recorded: an edit, a replacement or a rename onto the
// name all change one of them. Content keys hold for any analyser; the analysis and the scoring
// signals only for the analyser version that made them.
//
// Never a reason for a scan to fail or to differ: a damaged file is set aside and a new one made,
// a locked or unwritable one is bypassed (every look-up misses, every store is dropped), and an
// entry whose checksum does not match is a miss. Several processes may use one file at once.
// Thread-safe; stores are written in batches, and at the latest by flush() or the destructor.
class AnalysisCache : public ContentKeyMemory {
public:
    // $XDG_CACHE_HOME/quorlix/analyses.sqlite3, with ~/.cache when XDG_CACHE_HOME is unset.
    static std::filesystem::path defaultPath();
    // Entries of files no scan has seen for this long are removed when a cache is opened.
    static constexpr std::int64_t pruneAfterDays = 90;

    AnalysisCache(const std::filesystem::path& file, std::string analyzerVersion);
    ~AnalysisCache() override;
    AnalysisCache(const AnalysisCache&) = delete;
    AnalysisCache& operator=(const AnalysisCache&) = delete;

    // False when the cache is bypassed.
    bool isOpen() const;

    std::optional<PhotoAnalysis> analysis(const FileIdentity& file) const;
    std::optional<QualitySignals> signals(const FileIdentity& file) const;
    // The SHA-256 texts of the quick sample and of the whole file, as content keys compute them.
    std::optional<std::string> quickKey(const FileIdentity& file) const override;
    std::optional<std::string> fullKey(const FileIdentity& file) const override;

    void storeAnalysis(const FileIdentity& file, const PhotoAnalysis& analysis);
    void storeSignals(const FileIdentity& file, const QualitySignals& signals);
    void storeQuickKey(const FileIdentity& file, const std::string& key) override;
    void storeFullKey(const FileIdentity& file, const std::string& key) override;

    void flush();

    // Bytes the cache at `file` takes on disk, with its write-ahead log.
    static std::int64_t sizeOnDisk(const std::filesystem::path& file);
    // Removes the cache at `file`; false when some of it could not be removed.
    static bool forget(const std::filesystem::path& file);

    struct Entry {
        FileIdentity identity;
        std::optional<std::string> quickKey;
        std::optional<std::string> fullKey;
        std::optional<PhotoAnalysis> analysis;
        std::optional<QualitySignals> signals;
        std::string version; // of the analysis and the signals
        std::int64_t seenDay = 0;
    };

private:
    using Key = std::pair<std::uint64_t, std::uint64_t>; // device, inode

    void open(const std::filesystem::path& file);
    bool prepare();
    void close();
    // The entry of `file` loaded into memory; nullptr when the cache holds none for this version
    // of the file. Caller holds the mutex.
    Entry* find(const FileIdentity& file) const;
    Entry& slot(const FileIdentity& file);
    // The entry ready for this analyser's analysis or signals: another version's are dropped.
    Entry& analyzerSlot(const FileIdentity& file);
    void markDirty(const Key& key);
    void flushLocked();
    void failed(const char* what, int code);

    std::string version_;
    std::filesystem::path path_;
    mutable std::mutex mutex_;
    sqlite3* db_ = nullptr;
    std::int64_t today_ = 0;
    mutable std::map<Key, Entry> loaded_;
    mutable std::map<Key, bool> dirty_; // true: whole entry; false: only seen day
};

} // namespace quorlix
