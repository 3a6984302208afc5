#include "engine/core/PhotoRecord.h"
#include "engine/core/ScanResult.h"

#include <gtest/gtest.h>
#include <unordered_set>

using namespace quorlix;

namespace {

PhotoRecord rec(std::string id, std::int64_t size) {
    return {.id = id, .fileURL = "/p/" + id, .fileSizeBytes = size};
}

ScanResult::Group group(std::string id, ScanResult::Kind kind, std::vector<PhotoRecord> members) {
    ScanResult::Group g;
    g.id = std::move(id);
    g.kind = kind;
    g.members = std::move(members);
    g.keeperId = g.autoKeeperId = g.members.front().id;
    return g;
}

} // namespace

TEST(PhotoRecord, IdentityIsTheIdAlone) {
    PhotoRecord a = rec("abc", 10);
    PhotoRecord b = rec("abc", 99);
    b.fileURL = "/elsewhere";
    b.dateOriginal = 12.0;
    EXPECT_EQ(a, b);
    EXPECT_EQ(std::hash<PhotoRecord>{}(a), std::hash<PhotoRecord>{}(b));
    std::unordered_set<PhotoRecord> set{a, b, rec("def", 1)};
    EXPECT_EQ(set.size(), 2u);
}

TEST(ScanResult, ComputedValuesFollowTheKeeper) {
    ScanResult result;
    EXPECT_EQ(result.duplicateCount(), 0);
    EXPECT_EQ(result.exactReclaimableBytes(), 0);
    EXPECT_TRUE(result.exactGroups().empty());
    EXPECT_TRUE(result.nearGroups().empty());

    result.groups.push_back(group("exact:sha:1", ScanResult::Kind::exact,
                                  {rec("a", 100), rec("b", 100), rec("c", 100)}));
    result.groups.push_back(group("near:0", ScanResult::Kind::near, {rec("d", 5), rec("e", 7)}));
    EXPECT_EQ(result.duplicateCount(), 3);
    EXPECT_EQ(result.exactReclaimableBytes(), 200);
    EXPECT_EQ(result.nearReclaimableBytes(), 7);
    EXPECT_EQ(result.exactDuplicateCount(), 2);
    EXPECT_EQ(result.nearDuplicateCount(), 1);

    // A keeper that names no member: nothing is kept, every member is reclaimable.
    result.groups[1].keeperId = "zzz";
    EXPECT_FALSE(result.groups[1].keeper().has_value());
    EXPECT_EQ(result.groups[1].others().size(), 2u);
    EXPECT_EQ(result.groups[1].reclaimableBytes(), 12);
    EXPECT_EQ(result.nearDuplicateCount(), 2);
    EXPECT_EQ(result.duplicateCount(), 3); // members minus one, whatever the keeper

    result.groups[1].keeperId = "e";
    EXPECT_EQ(result.groups[1].keeper()->id, "e");
    EXPECT_EQ(result.groups[1].others().front().id, "d");
}
