#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

// The engine's logger: one subsystem, six categories, info and error levels.
namespace quorlix::log {

inline constexpr const char* subsystem = "app.quorlix.Quorlix";

enum class Category { app, scan, quality, ui, share, funnel };
enum class Level { info, error };

const char* categoryName(Category category);

struct Entry {
    Category category;
    Level level;
    std::string message;
};

class Sink {
public:
    virtual ~Sink() = default;
    virtual void write(const Entry& entry) = 0;
};

// Writes "app.quorlix.Quorlix[scan] info: message" lines to standard error.
class StderrSink : public Sink {
public:
    explicit StderrSink(Level minimum = Level::info) : minimum_(minimum) {}
    void write(const Entry& entry) override;

private:
    Level minimum_;
};

// The systemd journal, with the subsystem and category as fields of their own.
class JournalSink : public Sink {
public:
    void write(const Entry& entry) override;
    static bool available();
};

// Keeps every entry, for tests.
class CapturingSink : public Sink {
public:
    void write(const Entry& entry) override;
    std::vector<Entry> entries() const;
    std::vector<std::string> messages() const;
    void clear();

private:
    mutable std::mutex mutex_;
    std::vector<Entry> entries_;
};

// The journal when its socket exists, else standard error.
std::shared_ptr<Sink> defaultSink();
// Replaces the process-wide sink; nullptr restores the default.
void setSink(std::shared_ptr<Sink> sink);

void write(Category category, Level level, const std::string& message);
inline void info(Category category, const std::string& message) {
    write(category, Level::info, message);
}
inline void error(Category category, const std::string& message) {
    write(category, Level::error, message);
}

} // namespace quorlix::log
