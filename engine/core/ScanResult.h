#pragma once

#include "engine/core/PhotoRecord.h"
#include "engine/core/QualitySignals.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace quorlix {

struct ScanResult {
    enum class Kind { exact, near }; // exact sorts before near

    struct Group {
        std::string id; // "exact:" + content key, or "near:" + index
        Kind kind = Kind::exact;
        std::vector<PhotoRecord> members;
        std::string keeperId;
        std::string autoKeeperId;
        std::map<std::string, double> bestShotScores;
        // What the scores were computed from, by member id: the scored members whose image
        // signals could be taken.
        std::map<std::string, QualitySignals> qualitySignals;
        bool isBestShotUnlocked = false;

        // The order groups are listed in: copies before look-alikes, larger groups first, then
        // by id.
        static bool before(const Group& a, const Group& b);

        std::optional<PhotoRecord> keeper() const;
        std::vector<PhotoRecord> others() const;
        std::int64_t reclaimableBytes() const;
    };

    std::filesystem::path folder;
    std::int64_t totalPhotos = 0;
    // Photos left out because their paths are longer than the system lets a program open.
    std::int64_t skippedTooLong = 0;
    std::vector<Group> groups;
    double elapsed = 0;

    // Puts the groups in Group::before order.
    void sortGroups();

    std::int64_t duplicateCount() const;
    std::vector<Group> exactGroups() const;
    std::vector<Group> nearGroups() const;
    std::int64_t exactReclaimableBytes() const;
    std::int64_t nearReclaimableBytes() const;
    std::int64_t exactDuplicateCount() const;
    std::int64_t nearDuplicateCount() const;
};

const char* kindName(ScanResult::Kind kind);

} // namespace quorlix
