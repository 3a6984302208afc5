// The landmark model's load: dlib's shipped file parsed, against its compact form read from the
// cache folder, taking turns every round. Wall and this thread's processor time, best of ROUNDS;
// on a shared machine the processor time moves far less with the load than the wall clock does.
//   landmark_load [ROUNDS=3]
#include "engine/analysis/CompactLandmarkModel.h"
#include "engine/analysis/FaceAnalyzer.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dlib/image_processing/shape_predictor.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

using namespace quorlix;

namespace {

double threadCpu() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

struct Time {
    double wall = 1e9, cpu = 1e9;
};

template <typename F> void measure(Time& best, F load) {
    const auto start = std::chrono::steady_clock::now();
    const double cpu = threadCpu();
    load();
    best.cpu = std::min(best.cpu, threadCpu() - cpu);
    best.wall = std::min(
        best.wall, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
}

} // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 3;
    const auto shipped = FaceAnalyzer::modelPath();
    char pattern[] = "/tmp/quorlix-landmarks-XXXXXX";
    if (!::mkdtemp(pattern))
        return 1;
    const std::filesystem::path compact = std::filesystem::path(pattern) / "face-landmarks.bin";
    Time parse, write, read;
    bool same = true;
    for (int r = 0; r < rounds; ++r) {
        dlib::shape_predictor a, b;
        measure(parse, [&] {
            std::ifstream in(shipped, std::ios::binary);
            dlib::deserialize(a, in);
        });
        measure(write, [&] { same = CompactLandmarkModel::write(a, compact, shipped) && same; });
        measure(read, [&] { same = CompactLandmarkModel::read(compact, shipped, b) && same; });
        same = same && b.num_parts() == a.num_parts();
    }
    std::printf("shipped %.1f MB, compact %.1f MB, %s\n",
                double(std::filesystem::file_size(shipped)) / 1e6,
                double(std::filesystem::file_size(compact)) / 1e6, same ? "read back" : "FAILED");
    std::printf("step                   wall_s   cpu_s\n");
    std::printf("parse shipped file   %8.3f %7.3f\n", parse.wall, parse.cpu);
    std::printf("write compact form   %8.3f %7.3f\n", write.wall, write.cpu);
    std::printf("read compact form    %8.3f %7.3f\n", read.wall, read.cpu);
    std::printf("parse / read: %.0fx wall, %.0fx cpu\n", parse.wall / read.wall,
                parse.cpu / read.cpu);
    std::filesystem::remove_all(pattern);
    return same ? 0 : 1;
}
