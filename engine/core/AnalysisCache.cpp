#include "engine/core/AnalysisCache.h"

#include "engine/core/HalfFloat.h"
#include "engine/core/Log.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <sqlite3.h>
#include <system_error>
#include <thread>

namespace quorlix {

namespace {

// Long enough for another scan's batch to commit; short enough that a cache held by a stuck
// process costs a scan little before it is bypassed.
constexpr int busyMilliseconds = 2000;
// Stores are written once this many entries wait.
constexpr std::size_t batchEntries = 512;
// The layout of a payload; one of another layout reads as no entry and is replaced. Never 0 or 1,
// the first byte of the unnumbered first layout.
constexpr std::uint8_t payloadFormat = 3;

constexpr const char* schema = "CREATE TABLE IF NOT EXISTS entries ("
                               " device INTEGER NOT NULL, inode INTEGER NOT NULL,"
                               " size INTEGER NOT NULL, modified INTEGER NOT NULL,"
                               " changed INTEGER NOT NULL, version TEXT NOT NULL,"
                               " seen INTEGER NOT NULL, payload BLOB NOT NULL,"
                               " UNIQUE (device, inode))";

std::int64_t today() {
    return std::int64_t(std::time(nullptr)) / 86400;
}

std::uint64_t checksum(const char* data, std::size_t size) {
    std::uint64_t h = 14695981039346656037ULL; // FNV-1a
    for (std::size_t i = 0; i < size; ++i) {
        h ^= static_cast<unsigned char>(data[i]);
        h *= 1099511628211ULL;
    }
    return h;
}

// The entry's fields in native byte order (the file stays on this machine), checksummed.
class Writer {
public:
    template <typename T> void raw(const T& value) {
        out_.append(reinterpret_cast<const char*>(&value), sizeof value);
    }
    template <typename T> void optional(const std::optional<T>& value) {
        raw(std::uint8_t(value.has_value()));
        if (value)
            raw(*value);
    }
    void text(const std::optional<std::string>& value) {
        raw(std::uint8_t(value.has_value()));
        if (value) {
            raw(std::uint32_t(value->size()));
            out_.append(*value);
        }
    }
    std::string finish() {
        raw(checksum(out_.data(), out_.size()));
        return std::move(out_);
    }

private:
    std::string out_;
};

class Reader {
public:
    // Fails unless the trailing checksum matches the rest.
    Reader(const char* data, std::size_t size) : data_(data), size_(size) {
        std::uint64_t stored = 0;
        ok_ = size >= sizeof stored;
        if (ok_) {
            size_ -= sizeof stored;
            std::memcpy(&stored, data + size_, sizeof stored);
            ok_ = stored == checksum(data, size_);
        }
    }
    bool ok() const { return ok_ && at_ == size_; }
    template <typename T> T raw() {
        T value{};
        if (ok_ && size_ - at_ >= sizeof value) {
            std::memcpy(&value, data_ + at_, sizeof value);
            at_ += sizeof value;
        } else {
            ok_ = false;
        }
        return value;
    }
    template <typename T> std::optional<T> optional() {
        if (!raw<std::uint8_t>())
            return std::nullopt;
        return raw<T>();
    }
    std::optional<std::string> text() {
        if (!raw<std::uint8_t>())
            return std::nullopt;
        const auto length = raw<std::uint32_t>();
        if (!ok_ || size_ - at_ < length) {
            ok_ = false;
            return std::nullopt;
        }
        std::string value(data_ + at_, length);
        at_ += length;
        return value;
    }

private:
    const char* data_;
    std::size_t size_;
    std::size_t at_ = 0;
    bool ok_;
};

std::string encode(const AnalysisCache::Entry& e) {
    Writer w;
    w.raw(payloadFormat);
    w.text(e.quickKey);
    w.text(e.fullKey);
    w.raw(std::uint8_t(e.analysis.has_value()));
    if (const auto& a = e.analysis) {
        w.raw(std::uint32_t(a->embedding.size()));
        for (const float x : a->embedding)
            w.raw(toHalf(x));
        w.optional(a->aesthetic);
        w.optional(a->isUtility);
        w.optional(a->dateOriginal);
        w.optional(a->pixelWidth);
        w.optional(a->pixelHeight);
        w.optional(a->noiseLevel);
        w.raw(a->isDamaged);
    }
    w.raw(std::uint8_t(e.signals.has_value()));
    if (const auto& s = e.signals) {
        w.optional(s->aesthetics01);
        w.optional(s->faceQuality);
        w.optional(s->eyesOpen);
        w.raw(s->sharpness01);
        w.raw(s->shadowClip01);
        w.raw(s->highlightClip01);
        w.raw(s->isUtility);
        w.optional(s->noiseLevel);
        w.raw(s->midtoneStops);
    }
    return w.finish();
}

// Nothing when the payload is damaged.
std::optional<AnalysisCache::Entry> decode(const char* data, std::size_t size) {
    Reader r(data, size);
    AnalysisCache::Entry e;
    if (r.raw<std::uint8_t>() != payloadFormat)
        return std::nullopt;
    e.quickKey = r.text();
    e.fullKey = r.text();
    if (r.raw<std::uint8_t>()) {
        PhotoAnalysis a;
        const auto count = r.raw<std::uint32_t>();
        if (count > size / sizeof(std::uint16_t))
            return std::nullopt;
        a.embedding.resize(count);
        for (auto& x : a.embedding)
            x = fromHalf(r.raw<std::uint16_t>());
        a.aesthetic = r.optional<double>();
        a.isUtility = r.optional<bool>();
        a.dateOriginal = r.optional<double>();
        a.pixelWidth = r.optional<int>();
        a.pixelHeight = r.optional<int>();
        a.noiseLevel = r.optional<double>();
        a.isDamaged = r.raw<bool>();
        e.analysis = std::move(a);
    }
    if (r.raw<std::uint8_t>()) {
        QualitySignals s;
        s.aesthetics01 = r.optional<double>();
        s.faceQuality = r.optional<double>();
        s.eyesOpen = r.optional<bool>();
        s.sharpness01 = r.raw<double>();
        s.shadowClip01 = r.raw<double>();
        s.highlightClip01 = r.raw<double>();
        s.isUtility = r.raw<bool>();
        s.noiseLevel = r.optional<double>();
        s.midtoneStops = r.raw<double>();
        e.signals = s;
    }
    if (!r.ok())
        return std::nullopt;
    return e;
}

bool damaged(int code) {
    code &= 0xff;
    return code == SQLITE_CORRUPT || code == SQLITE_NOTADB;
}

// One prepared statement, finalised on every path.
class Statement {
public:
    Statement(sqlite3* db, const char* sql) {
        code_ = sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr);
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    int prepared() const { return code_; }
    Statement& bind(int i, std::int64_t v) {
        sqlite3_bind_int64(stmt_, i, v);
        return *this;
    }
    Statement& bind(int i, const std::string& v, bool blob = false) {
        if (blob)
            sqlite3_bind_blob(stmt_, i, v.data(), int(v.size()), SQLITE_TRANSIENT);
        else
            sqlite3_bind_text(stmt_, i, v.data(), int(v.size()), SQLITE_TRANSIENT);
        return *this;
    }
    int step() { return sqlite3_step(stmt_); }
    sqlite3_stmt* get() { return stmt_; }

private:
    sqlite3_stmt* stmt_ = nullptr;
    int code_;
};

} // namespace

std::filesystem::path AnalysisCache::defaultPath() {
    std::filesystem::path base;
    if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg && *xdg == '/')
        base = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        base = std::filesystem::path(home) / ".cache";
    else
        base = "/tmp";
    return base / "quorlix" / "analyses.sqlite3";
}

AnalysisCache::AnalysisCache(const std::filesystem::path& file, std::string analyzerVersion)
    : version_(std::move(analyzerVersion)), path_(file), today_(today()) {
    open(file);
}

AnalysisCache::~AnalysisCache() {
    std::lock_guard lock(mutex_);
    flushLocked();
    close();
}

bool AnalysisCache::isOpen() const {
    std::lock_guard lock(mutex_);
    return db_ != nullptr;
}

void AnalysisCache::open(const std::filesystem::path& file) {
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int code = sqlite3_open_v2(
            file.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
            nullptr);
        int why = code;
        if (code == SQLITE_OK) {
            if (prepare())
                return;
            why = sqlite3_extended_errcode(db_);
        }
        log::info(log::Category::scan,
                  "Analysis cache " + file.native() + " cannot be used: " + sqlite3_errstr(why));
        close();
        if (!damaged(why) || attempt > 0)
            break;
        // Set aside rather than deleted, so that a cause can still be looked into.
        for (const char* suffix : {"", "-wal", "-shm"})
            std::filesystem::rename(file.native() + suffix, file.native() + ".damaged" + suffix,
                                    ec);
        log::info(log::Category::scan, "Analysis cache set aside; a new one is made.");
    }
}

bool AnalysisCache::prepare() {
    sqlite3_busy_timeout(db_, busyMilliseconds);
    // An entry is some 2.1 KB, mostly its feature print in half precision: table pages of 8 KiB
    // hold three where pages of 4 KiB hold one (about 2.3 KB an entry against 4.1). Takes effect
    // on a new file.
    for (const char* sql : {"PRAGMA page_size=8192", "PRAGMA journal_mode=WAL",
                            "PRAGMA synchronous=NORMAL", schema}) {
        // Switching a new file to WAL while another scan does the same can answer "locked" at
        // once, without the busy handler: polled for as long as the handler would wait. The
        // handler is off meanwhile, or each poll would wait its full time again behind a cache
        // that another program keeps locked.
        int code = sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
        if ((code & 0xff) == SQLITE_BUSY) {
            sqlite3_busy_timeout(db_, 0);
            const auto until =
                std::chrono::steady_clock::now() + std::chrono::milliseconds(busyMilliseconds);
            while ((code & 0xff) == SQLITE_BUSY && std::chrono::steady_clock::now() < until) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                code = sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
            }
            sqlite3_busy_timeout(db_, busyMilliseconds);
        }
        if (code != SQLITE_OK)
            return false;
    }
    Statement prune(db_, "DELETE FROM entries WHERE seen < ?");
    if (prune.prepared() != SQLITE_OK)
        return false;
    const int code = prune.bind(1, today_ - pruneAfterDays).step();
    return code == SQLITE_DONE || code == SQLITE_BUSY; // a busy prune waits for the next scan
}

void AnalysisCache::close() {
    if (db_)
        sqlite3_close_v2(db_);
    db_ = nullptr;
}

void AnalysisCache::failed(const char* what, int code) {
    log::info(log::Category::scan,
              std::string("Analysis cache bypassed: ") + what + ": " + sqlite3_errstr(code));
    close();
    dirty_.clear();
    if (damaged(code)) {
        std::error_code ec;
        for (const char* suffix : {"", "-wal", "-shm"})
            std::filesystem::rename(path_.native() + suffix, path_.native() + ".damaged" + suffix,
                                    ec);
    }
}

AnalysisCache::Entry* AnalysisCache::find(const FileIdentity& file) const {
    const Key key{file.device, file.inode};
    if (const auto it = loaded_.find(key); it != loaded_.end())
        return it->second.identity == file ? &it->second : nullptr;
    if (!db_)
        return nullptr;
    Statement select(db_, "SELECT size, modified, changed, version, seen, payload FROM entries"
                          " WHERE device = ? AND inode = ?");
    if (select.prepared() != SQLITE_OK) {
        const_cast<AnalysisCache*>(this)->failed("look-up", select.prepared());
        return nullptr;
    }
    select.bind(1, std::int64_t(file.device)).bind(2, std::int64_t(file.inode));
    const int code = select.step();
    if (code == SQLITE_DONE)
        return nullptr;
    if (code != SQLITE_ROW) {
        if ((code & 0xff) != SQLITE_BUSY)
            const_cast<AnalysisCache*>(this)->failed("look-up", code);
        return nullptr;
    }
    sqlite3_stmt* s = select.get();
    const FileIdentity stored{file.device, file.inode, sqlite3_column_int64(s, 0),
                              sqlite3_column_int64(s, 1), sqlite3_column_int64(s, 2)};
    if (!(stored == file))
        return nullptr;
    const auto* version = reinterpret_cast<const char*>(sqlite3_column_text(s, 3));
    const auto* payload = static_cast<const char*>(sqlite3_column_blob(s, 5));
    auto entry = decode(payload ? payload : "", std::size_t(sqlite3_column_bytes(s, 5)));
    if (!entry)
        return nullptr;
    entry->version = version ? version : "";
    entry->identity = file;
    entry->seenDay = sqlite3_column_int64(s, 4);
    Entry& loaded = loaded_[key] = std::move(*entry);
    // Seen again: kept from pruning, written at most once a day.
    if (loaded.seenDay < today_)
        dirty_.try_emplace(key, false);
    return &loaded;
}

AnalysisCache::Entry& AnalysisCache::slot(const FileIdentity& file) {
    if (Entry* e = find(file))
        return *e;
    Entry& e = loaded_[{file.device, file.inode}];
    e = Entry{};
    e.identity = file;
    e.version = version_;
    return e;
}

AnalysisCache::Entry& AnalysisCache::analyzerSlot(const FileIdentity& file) {
    Entry& e = slot(file);
    if (e.version != version_) {
        e.analysis.reset();
        e.signals.reset();
        e.version = version_;
    }
    return e;
}

void AnalysisCache::markDirty(const Key& key) {
    dirty_[key] = true;
    if (dirty_.size() >= batchEntries)
        flushLocked();
}

std::optional<PhotoAnalysis> AnalysisCache::analysis(const FileIdentity& file) const {
    std::lock_guard lock(mutex_);
    const Entry* e = find(file);
    return e && e->version == version_ ? e->analysis : std::nullopt;
}

std::optional<QualitySignals> AnalysisCache::signals(const FileIdentity& file) const {
    std::lock_guard lock(mutex_);
    const Entry* e = find(file);
    return e && e->version == version_ ? e->signals : std::nullopt;
}

std::optional<std::string> AnalysisCache::quickKey(const FileIdentity& file) const {
    std::lock_guard lock(mutex_);
    const Entry* e = find(file);
    return e ? e->quickKey : std::nullopt;
}

std::optional<std::string> AnalysisCache::fullKey(const FileIdentity& file) const {
    std::lock_guard lock(mutex_);
    const Entry* e = find(file);
    return e ? e->fullKey : std::nullopt;
}

void AnalysisCache::storeAnalysis(const FileIdentity& file, const PhotoAnalysis& analysis) {
    // Embeddings are stored in half precision; one that would not come back exactly is not kept.
    if (!std::all_of(analysis.embedding.begin(), analysis.embedding.end(),
                     [](float x) { return roundToHalf(x) == x; }))
        return;
    std::lock_guard lock(mutex_);
    if (!db_)
        return;
    analyzerSlot(file).analysis = analysis;
    markDirty({file.device, file.inode});
}

void AnalysisCache::storeSignals(const FileIdentity& file, const QualitySignals& signals) {
    std::lock_guard lock(mutex_);
    if (!db_)
        return;
    Entry& e = analyzerSlot(file);
    if (e.signals == signals)
        return; // a rescan scores from what is stored: nothing to write
    e.signals = signals;
    markDirty({file.device, file.inode});
}

void AnalysisCache::storeQuickKey(const FileIdentity& file, const std::string& key) {
    std::lock_guard lock(mutex_);
    if (!db_)
        return;
    slot(file).quickKey = key;
    markDirty({file.device, file.inode});
}

void AnalysisCache::storeFullKey(const FileIdentity& file, const std::string& key) {
    std::lock_guard lock(mutex_);
    if (!db_)
        return;
    slot(file).fullKey = key;
    markDirty({file.device, file.inode});
}

void AnalysisCache::flush() {
    std::lock_guard lock(mutex_);
    flushLocked();
}

void AnalysisCache::flushLocked() {
    if (!db_ || dirty_.empty())
        return;
    // Immediate: take the write lock before reading, so two writers never deadlock on an upgrade.
    if (const int code = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        code != SQLITE_OK) {
        if ((code & 0xff) == SQLITE_BUSY) {
            // Another scan holds the file; this batch waits for the next flush.
            if (dirty_.size() >= 8 * batchEntries)
                dirty_.clear();
            return;
        }
        failed("write", code);
        return;
    }
    Statement put(db_, "INSERT OR REPLACE INTO entries"
                       " (device, inode, size, modified, changed, version, seen, payload)"
                       " VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
    Statement touch(db_, "UPDATE entries SET seen = ? WHERE device = ? AND inode = ?");
    int code = put.prepared() != SQLITE_OK ? put.prepared() : touch.prepared();
    for (auto it = dirty_.begin(); code == SQLITE_OK && it != dirty_.end(); ++it) {
        const Entry& e = loaded_.at(it->first);
        Statement& s = it->second ? put : touch;
        sqlite3_reset(s.get());
        if (it->second) {
            s.bind(1, std::int64_t(e.identity.device))
                .bind(2, std::int64_t(e.identity.inode))
                .bind(3, e.identity.size)
                .bind(4, e.identity.modifiedNs)
                .bind(5, e.identity.changedNs)
                .bind(6, e.version)
                .bind(7, today_)
                .bind(8, encode(e), true);
        } else {
            s.bind(1, today_)
                .bind(2, std::int64_t(e.identity.device))
                .bind(3, std::int64_t(e.identity.inode));
        }
        const int step = s.step();
        code = step == SQLITE_DONE ? SQLITE_OK : step;
    }
    if (code == SQLITE_OK)
        code = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
    if (code != SQLITE_OK) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        failed("write", code);
        return;
    }
    dirty_.clear();
}

std::int64_t AnalysisCache::sizeOnDisk(const std::filesystem::path& file) {
    std::int64_t total = 0;
    for (const char* suffix : {"", "-wal", "-shm"}) {
        std::error_code ec;
        const auto size = std::filesystem::file_size(file.native() + suffix, ec);
        if (!ec)
            total += std::int64_t(size);
    }
    return total;
}

bool AnalysisCache::forget(const std::filesystem::path& file) {
    bool ok = true;
    for (const char* suffix : {"", "-wal", "-shm"}) {
        std::error_code ec;
        std::filesystem::remove(file.native() + suffix, ec);
        ok = ok && !ec;
    }
    return ok;
}

} // namespace quorlix
