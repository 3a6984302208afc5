#include "engine/core/QuorlixFeature.h"

#include <algorithm>
#include <thread>

namespace quorlix::QuorlixFeature {

int analysisConcurrencyFor(int processors) {
    return std::max(processors, 2);
}

int analysisConcurrency() {
    static const int value = analysisConcurrencyFor(int(std::thread::hardware_concurrency()));
    return value;
}

const std::vector<std::string>& imageExtensionList() {
    static const std::vector<std::string> list = {"jpg",  "jpeg", "png", "heic", "heif", "tif",
                                                  "tiff", "gif",  "bmp", "webp", "dng",  "cr2",
                                                  "cr3",  "nef",  "arw", "raf",  "orf",  "rw2"};
    return list;
}

const std::unordered_set<std::string>& imageExtensions() {
    static const std::unordered_set<std::string> set(imageExtensionList().begin(),
                                                     imageExtensionList().end());
    return set;
}

} // namespace quorlix::QuorlixFeature
