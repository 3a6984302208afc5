// What the feature print costs next to the decode it follows, in the same run.
//
//   featureprint_speed [--runs N] JPEG...
//
// Per file: the `vipsthumbnail` command making a 1024-pixel thumbnail (baseline, a process per
// run), the engine's in-process thumbnail decode (same library, one thread), and the feature
// print of that thumbnail. Medians of N runs (default 5; the descriptor 20 times as many).

#include "engine/analysis/FeaturePrint.h"
#include "engine/analysis/ImageDecoder.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>
#include <vips/vips8>

using namespace quorlix;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Runs vipsthumbnail without a shell, so file names need no quoting.
bool runVipsthumbnail(const std::string& file, const std::string& out) {
    const pid_t pid = fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        execlp("vipsthumbnail", "vipsthumbnail", file.c_str(), "--size", "1024x1024", "-o",
               out.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

int main(int argc, char** argv) {
    int runs = 5;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--runs" && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else
            files.push_back(arg);
    }
    if (files.empty()) {
        std::cerr << "usage: featureprint_speed [--runs N] JPEG...\n";
        return 2;
    }
    ImageDecoder::ensureInitialised();
    char pattern[] = "/tmp/featureprint-speed-XXXXXX";
    if (!mkdtemp(pattern)) {
        std::cerr << "cannot make a temporary folder\n";
        return 1;
    }
    const fs::path scratch = pattern;
    std::printf("%-28s %9s %12s %12s %12s %10s %10s\n", "file", "megapixels", "vipsthumb ms",
                "decode ms", "print ms", "print/vt", "print/dec");
    int status = 0;
    for (const auto& file : files) {
        const auto first = ImageDecoder::thumbnail(file, 1024);
        if (!first) {
            std::cerr << "cannot decode: " << file << "\n";
            status = 1;
            continue;
        }
        std::vector<double> external, internal, print;
        for (int r = 0; r < runs; ++r) {
            const auto t0 = Clock::now();
            if (!runVipsthumbnail(file, (scratch / "thumb.jpg").string())) {
                std::cerr << "vipsthumbnail failed on " << file << "\n";
                status = 1;
                break;
            }
            external.push_back(
                std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        }
        for (int r = 0; r < runs; ++r) {
            const auto t0 = Clock::now();
            const auto thumb = ImageDecoder::thumbnail(file, 1024);
            internal.push_back(
                std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        }
        float sink = 0;
        for (int r = 0; r < runs * 20; ++r) {
            const auto t0 = Clock::now();
            const auto v = computeFeaturePrint(*first);
            print.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
            sink += v[0];
        }
        std::size_t pixels = 0;
        {
            // The stored size, for the table only.
            const auto header = vips::VImage::new_from_file(file.c_str());
            pixels = std::size_t(header.width()) * std::size_t(header.height());
        }
        const double vt = median(external), dec = median(internal), fp = median(print);
        std::printf("%-28s %9.1f %12.1f %12.1f %12.2f %10.3f %10.3f   (%dx%d thumbnail)%s\n",
                    fs::path(file).filename().c_str(), double(pixels) / 1e6, vt, dec, fp, fp / vt,
                    fp / dec, first->width, first->height, sink == 12345.f ? " " : "");
    }
    fs::remove_all(scratch);
    return status;
}
