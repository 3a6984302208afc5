#include "engine/core/ScanResult.h"

#include <algorithm>

namespace quorlix {

bool ScanResult::Group::before(const Group& a, const Group& b) {
    if (a.kind != b.kind)
        return a.kind == Kind::exact;
    if (a.members.size() != b.members.size())
        return a.members.size() > b.members.size();
    return a.id < b.id;
}

void ScanResult::sortGroups() {
    std::stable_sort(groups.begin(), groups.end(), Group::before);
}

std::optional<PhotoRecord> ScanResult::Group::keeper() const {
    for (const auto& m : members)
        if (m.id == keeperId)
            return m;
    return std::nullopt;
}

std::vector<PhotoRecord> ScanResult::Group::others() const {
    std::vector<PhotoRecord> out;
    for (const auto& m : members)
        if (m.id != keeperId)
            out.push_back(m);
    return out;
}

std::int64_t ScanResult::Group::reclaimableBytes() const {
    std::int64_t sum = 0;
    for (const auto& m : members)
        if (m.id != keeperId)
            sum += m.fileSizeBytes;
    return sum;
}

namespace {

template <typename F>
std::int64_t sumOver(const std::vector<ScanResult::Group>& groups,
                     std::optional<ScanResult::Kind> kind, F f) {
    std::int64_t sum = 0;
    for (const auto& g : groups)
        if (!kind || g.kind == *kind)
            sum += f(g);
    return sum;
}

std::int64_t othersCount(const ScanResult::Group& g) {
    std::int64_t n = 0;
    for (const auto& m : g.members)
        n += m.id != g.keeperId;
    return n;
}

std::vector<ScanResult::Group> ofKind(const std::vector<ScanResult::Group>& groups,
                                      ScanResult::Kind kind) {
    std::vector<ScanResult::Group> out;
    for (const auto& g : groups)
        if (g.kind == kind)
            out.push_back(g);
    return out;
}

} // namespace

std::int64_t ScanResult::duplicateCount() const {
    return sumOver(groups, std::nullopt,
                   [](const Group& g) { return std::int64_t(g.members.size()) - 1; });
}

std::vector<ScanResult::Group> ScanResult::exactGroups() const {
    return ofKind(groups, Kind::exact);
}
std::vector<ScanResult::Group> ScanResult::nearGroups() const {
    return ofKind(groups, Kind::near);
}

std::int64_t ScanResult::exactReclaimableBytes() const {
    return sumOver(groups, Kind::exact, [](const Group& g) { return g.reclaimableBytes(); });
}
std::int64_t ScanResult::nearReclaimableBytes() const {
    return sumOver(groups, Kind::near, [](const Group& g) { return g.reclaimableBytes(); });
}
std::int64_t ScanResult::exactDuplicateCount() const {
    return sumOver(groups, Kind::exact, othersCount);
}
std::int64_t ScanResult::nearDuplicateCount() const {
    return sumOver(groups, Kind::near, othersCount);
}

const char* kindName(ScanResult::Kind kind) {
    return kind == ScanResult::Kind::exact ? "exact" : "near";
}

} // namespace quorlix
