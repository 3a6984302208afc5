#include "engine/core/QuorlixFeature.h"

#include "engine/core/ImageFormat.h"

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
    static const std::vector<std::string> list = [] {
        std::vector<std::string> out;
        for (const auto& format : ImageFormat::formats)
            out.emplace_back(format.extension);
        return out;
    }();
    return list;
}

const std::unordered_set<std::string>& imageExtensions() {
    static const std::unordered_set<std::string> set(imageExtensionList().begin(),
                                                     imageExtensionList().end());
    return set;
}

} // namespace quorlix::QuorlixFeature
