#include "TempFolder.h"

#include <gtest/gtest.h>
#include <memory>
#include <stdlib.h>

namespace {

// Whatever the engine keeps in the cache folder (analyses, the compact landmark model) goes to a
// folder of the test run's own, never the user's.
class TemporaryCacheHome : public testing::Environment {
public:
    void SetUp() override {
        folder_ = std::make_unique<quorlix::test::TempFolder>();
        ::setenv("XDG_CACHE_HOME", folder_->path().c_str(), 1);
    }
    void TearDown() override { folder_.reset(); }

private:
    std::unique_ptr<quorlix::test::TempFolder> folder_;
};

[[maybe_unused]] testing::Environment* const registered =
    testing::AddGlobalTestEnvironment(new TemporaryCacheHome);

} // namespace
