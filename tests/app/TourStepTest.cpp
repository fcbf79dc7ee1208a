#include "app/TourStep.h"

#include <gtest/gtest.h>

namespace quillfen {
namespace {

TEST(TourSteps, RunInOrderAndEndAfterHistory) {
    EXPECT_EQ(nextTourStep(TourStep::exclusions), TourStep::profiles);
    EXPECT_EQ(nextTourStep(TourStep::cleanSource), TourStep::syncAndPreview);
    EXPECT_EQ(nextTourStep(TourStep::historyAndBackup), std::nullopt);
    EXPECT_EQ(static_cast<int>(TourStep::historyAndBackup), 5);
}

} // namespace
} // namespace quillfen
