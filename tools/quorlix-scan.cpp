// quorlix-scan: the headless scanner. Runs the same scan as the window and prints the result;
// it never moves or deletes anything.
#include "engine/core/AnalysisCache.h"
#include "engine/core/Log.h"
#include "engine/core/ScanCancelled.h"
#include "engine/core/ScanCoordinator.h"
#include "tools/ScanReport.h"

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <exception>
#include <iostream>
#include <mutex>
#include <pthread.h>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#ifndef QUORLIX_VERSION
#define QUORLIX_VERSION "?"
#endif

namespace {

constexpr const char* usage =
    "Usage: quorlix-scan [--json] [--exact-only] [--no-cache | --cache PATH] [--verbose] FOLDER\n"
    "Finds byte-identical copies and look-alike bursts of photos in FOLDER and prints them.\n"
    "  --json        print the whole result as JSON\n"
    "  --exact-only  stop after the exact-duplicate phase\n"
    "  --no-cache    read and analyse every photo, and remember nothing for the next scan\n"
    "  --cache PATH  remember analyses in PATH instead of the user's cache folder\n"
    "  --verbose     also print the engine's informational log lines\n"
    "  --version     print the version and exit\n"
    "Exit status: 0 done, 1 the folder or the image analysis is unusable, 2 bad usage,\n"
    "130 cancelled.\n";

struct Arguments {
    bool json = false;
    bool exactOnly = false;
    bool verbose = false;
    bool noCache = false;
    std::string cache;
    std::string folder;
};

// Returns 0 when parsed, else the exit code (2 for bad usage, 0 after --help or --version).
int parse(int argc, char** argv, Arguments& args, bool& done) {
    done = false;
    bool endOfOptions = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (!endOfOptions && a == "--") {
            endOfOptions = true;
        } else if (!endOfOptions && (a == "-h" || a == "--help")) {
            std::cout << usage;
            done = true;
            return 0;
        } else if (!endOfOptions && a == "--version") {
            std::cout << "quorlix-scan " QUORLIX_VERSION "\n";
            done = true;
            return 0;
        } else if (!endOfOptions && a == "--json") {
            args.json = true;
        } else if (!endOfOptions && a == "--exact-only") {
            args.exactOnly = true;
        } else if (!endOfOptions && a == "--no-cache") {
            args.noCache = true;
        } else if (!endOfOptions && a == "--cache") {
            if (i + 1 >= argc || !*argv[i + 1]) {
                std::cerr << "quorlix-scan: --cache needs a file.\n" << usage;
                return 2;
            }
            args.cache = argv[++i];
        } else if (!endOfOptions && (a == "-v" || a == "--verbose")) {
            args.verbose = true;
        } else if (!endOfOptions && a.size() > 1 && a[0] == '-') {
            std::cerr << "quorlix-scan: unknown option " << a << "\n" << usage;
            return 2;
        } else if (args.folder.empty()) {
            args.folder = a;
        } else {
            std::cerr << "quorlix-scan: give exactly one folder.\n" << usage;
            return 2;
        }
    }
    if (args.folder.empty()) {
        std::cerr << "quorlix-scan: no folder given.\n" << usage;
        return 2;
    }
    if (args.noCache && !args.cache.empty()) {
        std::cerr << "quorlix-scan: give --no-cache or --cache, not both.\n" << usage;
        return 2;
    }
    return 0;
}

// One sentence for a folder that cannot be scanned, or empty text when it can.
std::string folderProblem(const std::string& folder) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0)
        return "cannot read the folder " + folder + ": " + std::strerror(errno) + ".";
    if (!S_ISDIR(st.st_mode))
        return folder + " is not a folder.";
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return "cannot read the folder " + folder + ": " + std::strerror(errno) + ".";
    ::closedir(dir);
    return {};
}

} // namespace

int main(int argc, char** argv) {
    Arguments args;
    bool done = false;
    if (const int code = parse(argc, argv, args, done); code != 0 || done)
        return code;
    if (const auto problem = folderProblem(args.folder); !problem.empty()) {
        std::cerr << "quorlix-scan: " << problem << "\n";
        return 1;
    }
    quorlix::log::setSink(std::make_shared<quorlix::log::StderrSink>(
        args.verbose ? quorlix::log::Level::info : quorlix::log::Level::error));

    // Ctrl-C requests a stop through the scan's own token; the scan then has a moment to wind
    // down before the process ends without it, so a second Ctrl-C is never needed. A second one
    // still ends the process at once.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::stop_source stopSource;
    std::thread([signals, &stopSource]() mutable {
        int sig = 0;
        sigwait(&signals, &sig);
        stopSource.request_stop();
        sigwait(&signals, &sig);
        std::_Exit(130);
    }).detach();

    const bool showProgress = ::isatty(STDERR_FILENO);
    auto progress = [showProgress](const quorlix::ScanProgress& p) {
        if (!showProgress)
            return;
        if (p.total > 0)
            std::fprintf(stderr, "\r\033[K%s %lld of %lld", quorlix::phaseName(p.phase),
                         static_cast<long long>(p.current), static_cast<long long>(p.total));
        else
            std::fprintf(stderr, "\r\033[K%s…", quorlix::phaseName(p.phase));
        std::fflush(stderr);
    };

    auto cancelled = [showProgress] {
        if (showProgress)
            std::fprintf(stderr, "\r\033[K");
        std::cerr << "quorlix-scan: cancelled.\n";
        return 130;
    };

    // The scan runs on a thread of its own, so that a worker busy in one long decode or read
    // cannot hold up the answer to Ctrl-C.
    quorlix::ScanResult result;
    std::exception_ptr failure;
    std::mutex mutex;
    std::condition_variable settled;
    bool finished = false;
    std::thread scanning([&] {
        try {
            quorlix::ScanCoordinator coordinator;
            quorlix::ScanOptions options{.exactOnly = args.exactOnly};
            if (!args.noCache)
                options.cache = args.cache.empty() ? quorlix::AnalysisCache::defaultPath()
                                                   : std::filesystem::path(args.cache);
            result = coordinator.scan(args.folder, progress, stopSource.get_token(), options);
        } catch (...) {
            failure = std::current_exception();
        }
        std::lock_guard lock(mutex);
        finished = true;
        settled.notify_all();
    });
    {
        std::unique_lock lock(mutex);
        while (!finished && !stopSource.stop_requested())
            settled.wait_for(lock, std::chrono::milliseconds(20));
        if (!finished &&
            !settled.wait_for(lock, std::chrono::milliseconds(250), [&] { return finished; })) {
            cancelled();
            std::fflush(nullptr);
            std::_Exit(130);
        }
    }
    scanning.join();
    try {
        if (failure)
            std::rethrow_exception(failure);
    } catch (const quorlix::ScanCancelled&) {
        return cancelled();
    } catch (const quorlix::AnalysisUnavailable&) {
        std::cerr << "quorlix-scan: cannot load the image analysis library, so only --exact-only "
                     "scans work.\n";
        return 1;
    }
    if (showProgress)
        std::fprintf(stderr, "\r\033[K");

    if (args.json)
        std::cout << quorlix::resultJson(result).dump(2, ' ', false,
                                                      nlohmann::json::error_handler_t::replace)
                  << "\n";
    else
        std::cout << quorlix::resultSummary(result);
    return 0;
}
