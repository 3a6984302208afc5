#include "engine/core/ScanServices.h"

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

ScanServices load() {
    const std::string path = analysisLibraryPath();
    // Never unloaded: the analysers' shared instances live in it for the rest of the process.
    void* library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* why = ::dlerror();
        log::error(log::Category::scan,
                   "Cannot load the image analysis: " + std::string(why ? why : path));
        throw AnalysisUnavailable();
    }
    using Entry = void (*)(ScanServices*);
    const auto entry = reinterpret_cast<Entry>(::dlsym(library, "quorlixAnalysisServices"));
    if (!entry) {
        log::error(log::Category::scan,
                   "Cannot load the image analysis: no entry point in " + path);
        throw AnalysisUnavailable();
    }
    ScanServices services;
    entry(&services);
    return services;
}

} // namespace

ScanServices ScanServices::shared() {
    // A throwing initialiser leaves the guard open, so a library put back later is found.
    static const ScanServices services = load();
    return services;
}

} // namespace quorlix
