#include "engine/core/Log.h"

#include <cstdio>
#include <filesystem>
#include <syslog.h>

#ifdef QUORLIX_HAVE_JOURNAL
#include <dlfcn.h>
#include <systemd/sd-journal.h>
#endif

namespace quorlix::log {

const char* categoryName(Category category) {
    switch (category) {
    case Category::app:
        return "app";
    case Category::scan:
        return "scan";
    case Category::quality:
        return "quality";
    case Category::ui:
        return "ui";
    case Category::share:
        return "share";
    case Category::funnel:
        return "funnel";
    }
    return "app";
}

void StderrSink::write(const Entry& entry) {
    if (entry.level < minimum_)
        return;
    std::fprintf(stderr, "%s[%s] %s: %s\n", subsystem, categoryName(entry.category),
                 entry.level == Level::info ? "info" : "error", entry.message.c_str());
}

bool JournalSink::available() {
#ifdef QUORLIX_HAVE_JOURNAL
    std::error_code ec;
    return std::filesystem::exists("/run/systemd/journal/socket", ec);
#else
    return false;
#endif
}

#ifdef QUORLIX_HAVE_JOURNAL
namespace {

// The journal's library is loaded by the first entry sent to it: a process that logs elsewhere,
// such as the headless scanner, never maps it and the half-dozen libraries it brings.
decltype(&sd_journal_send) journalSend() {
    static const auto send = []() -> decltype(&sd_journal_send) {
        void* library = ::dlopen("libsystemd.so.0", RTLD_NOW | RTLD_LOCAL);
        return library ? reinterpret_cast<decltype(&sd_journal_send)>(
                             ::dlsym(library, "sd_journal_send"))
                       : nullptr;
    }();
    return send;
}

} // namespace
#endif

void JournalSink::write(const Entry& entry) {
#ifdef QUORLIX_HAVE_JOURNAL
    const auto send = journalSend();
    if (!send) {
        StderrSink().write(entry);
        return;
    }
    send("MESSAGE=%s", entry.message.c_str(), "PRIORITY=%d",
         entry.level == Level::info ? LOG_INFO : LOG_ERR, "SYSLOG_IDENTIFIER=quorlix",
         "QUORLIX_SUBSYSTEM=%s", subsystem, "QUORLIX_CATEGORY=%s", categoryName(entry.category),
         nullptr);
#else
    StderrSink().write(entry);
#endif
}

void CapturingSink::write(const Entry& entry) {
    std::lock_guard lock(mutex_);
    entries_.push_back(entry);
}

std::vector<Entry> CapturingSink::entries() const {
    std::lock_guard lock(mutex_);
    return entries_;
}

std::vector<std::string> CapturingSink::messages() const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> out;
    for (const auto& e : entries_)
        out.push_back(e.message);
    return out;
}

void CapturingSink::clear() {
    std::lock_guard lock(mutex_);
    entries_.clear();
}

std::shared_ptr<Sink> defaultSink() {
    if (JournalSink::available())
        return std::make_shared<JournalSink>();
    return std::make_shared<StderrSink>();
}

namespace {

std::mutex sinkMutex;
std::shared_ptr<Sink>& currentSink() {
    static std::shared_ptr<Sink> sink = defaultSink();
    return sink;
}

} // namespace

void setSink(std::shared_ptr<Sink> sink) {
    std::lock_guard lock(sinkMutex);
    currentSink() = sink ? std::move(sink) : defaultSink();
}

void write(Category category, Level level, const std::string& message) {
    std::shared_ptr<Sink> sink;
    {
        std::lock_guard lock(sinkMutex);
        sink = currentSink();
    }
    sink->write(Entry{category, level, message});
}

} // namespace quorlix::log
