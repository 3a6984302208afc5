#include "engine/core/PhotoAnalyzer.h"

#include "engine/core/Log.h"

#include <dlfcn.h>
#include <string>

#ifndef QUORLIX_ANALYSIS_LIBRARY
#define QUORLIX_ANALYSIS_LIBRARY "libquorlix_analysis.so"
#endif

namespace quorlix {

namespace {

// The analysis library is installed beside the core; a name alone would be looked up in the
// search path of whoever loaded the core, which need not lead there. The anchor is any object of
// the core, to learn where the core was loaded from.
const char anchor = 0;

std::string analysisLibraryPath() {
    Dl_info self{};
    if (::dladdr(&anchor, &self) && self.dli_fname) {
        const std::filesystem::path core(self.dli_fname);
        if (core.has_parent_path())
            return (core.parent_path() / QUORLIX_ANALYSIS_LIBRARY).native();
    }
    return QUORLIX_ANALYSIS_LIBRARY;
}

std::shared_ptr<const PhotoAnalyzer> load() {
    const std::string path = analysisLibraryPath();
    // Never unloaded: the shared analyser lives in it for the rest of the process.
    void* library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* why = ::dlerror();
        log::error(log::Category::scan,
                   "Cannot load the image analysis: " + std::string(why ? why : path));
        throw AnalysisUnavailable();
    }
    using Entry = const PhotoAnalyzer* (*)();
    const auto entry = reinterpret_cast<Entry>(::dlsym(library, "quorlixPhotoAnalyzer"));
    const PhotoAnalyzer* analyzer = entry ? entry() : nullptr;
    if (!analyzer) {
        log::error(log::Category::scan,
                   "Cannot load the image analysis: no entry point in " + path);
        throw AnalysisUnavailable();
    }
    // The library owns the analyser; the pointer only shares it.
    return std::shared_ptr<const PhotoAnalyzer>(std::shared_ptr<const PhotoAnalyzer>(), analyzer);
}

} // namespace

std::shared_ptr<const PhotoAnalyzer> PhotoAnalyzer::shared() {
    // A throwing initialiser leaves the guard open, so a library put back later is found.
    static const std::shared_ptr<const PhotoAnalyzer> analyzer = load();
    return analyzer;
}

} // namespace quorlix
