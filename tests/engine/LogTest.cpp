#include "engine/core/Log.h"

#include "TempFolder.h"
#include "engine/core/ScanCoordinator.h"

#include <gtest/gtest.h>

using namespace quorlix;

TEST(Log, ScanEventsReachTheInstalledSink) {
    auto sink = std::make_shared<log::CapturingSink>();
    log::setSink(sink);
    test::TempFolder t;
    t.write("a.jpg", "same");
    t.write("b.jpg", "same");
    std::vector<ScanProgress> reports;
    ScanCoordinator().scan(t.path(), [&](const ScanProgress& p) { reports.push_back(p); }, {},
                           {.exactOnly = true});
    log::setSink(nullptr);

    const auto entries = sink->entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].category, log::Category::scan);
    EXPECT_EQ(entries[0].level, log::Level::info);
    EXPECT_EQ(entries[0].message, "Enumerated 2 images");
    EXPECT_EQ(entries[1].message.rfind("Scan done: photos=2 exact=1 near=0 reclaimMB=0 s=", 0), 0u);
    EXPECT_STREQ(log::categoryName(log::Category::funnel), "funnel");
    EXPECT_STREQ(log::subsystem, "app.quorlix.Quorlix");
}
