#include "records/AppPreferences.h"
#include "records/Date.h"
#include "records/ExclusionPattern.h"
#include "records/SyncStatus.h"
#include "records/Uuid.h"

#include <gtest/gtest.h>
#include <set>

namespace quillfen {
namespace {

TEST(UuidValue, IsRandomVersionFourAndRoundTripsInEitherCase) {
    const Uuid a = Uuid::random();
    const Uuid b = Uuid::random();
    EXPECT_NE(a, b);
    const std::string text = a.toString();
    ASSERT_EQ(text.size(), 36u);
    EXPECT_EQ(text[14], '4');
    EXPECT_NE(std::string("89AB").find(text[19]), std::string::npos);
    EXPECT_EQ(text.find_first_of("abcdef"), std::string::npos);
    EXPECT_EQ(Uuid::parse(text), a);

    const auto lower = Uuid::parse("e621e1f8-c36c-495a-93fc-0c247a3e6e5f");
    ASSERT_TRUE(lower);
    EXPECT_EQ(lower->toString(), "E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
    for (const char* bad :
         {"", "E621E1F8C36C495A93FC0C247A3E6E5F", "E621E1F8-C36C-495A-93FC-0C247A3E6E5",
          "E621E1F8-C36C-495A-93FC-0C247A3E6E5G", "{E621E1F8-C36C-495A-93FC-0C247A3E6E}"})
        EXPECT_FALSE(Uuid::parse(bad)) << bad;
}

TEST(IsoDate, WritesWholeSecondsInUtcAndReadsStrictly) {
    const auto date = parseIsoDate("2026-03-01T14:05:09Z");
    ASSERT_TRUE(date);
    EXPECT_EQ(formatIsoDate(*date), "2026-03-01T14:05:09Z");
    EXPECT_EQ(formatIsoDate(*date + std::chrono::milliseconds(750)), "2026-03-01T14:05:09Z");
    EXPECT_EQ(parseIsoDate("2026-03-01T16:05:09+02:00"), date);
    EXPECT_EQ(parseIsoDate("2026-03-01T09:35:09-04:30"), date);
    EXPECT_EQ(formatIsoDate(*parseIsoDate("1969-12-31T23:59:59Z")), "1969-12-31T23:59:59Z");
    for (const char* bad : {"2026-03-01T14:05:09.5Z", "2026-03-01T14:05:09", "2026-03-01 14:05:09Z",
                            "2026-02-30T14:05:09Z", "2026-03-01T24:00:00Z", "2026-3-01T14:05:09Z",
                            "2026-03-01T14:05:09+0200", "yesterday"})
        EXPECT_FALSE(parseIsoDate(bad)) << bad;
}

TEST(Enumerations, ConvertBothWaysAndRefuseUnknownText) {
    for (auto status : {SyncStatus::success, SyncStatus::cancelled, SyncStatus::failed})
        EXPECT_EQ(syncStatusFromString(toString(status)), status);
    EXPECT_FALSE(syncStatusFromString("Success"));
    EXPECT_EQ(displayName(ScheduleFrequency::weekly), "Weekly");
    EXPECT_EQ(scheduleFrequencyFromString(toString(ScheduleFrequency::hourly)),
              ScheduleFrequency::hourly);
    EXPECT_FALSE(scheduleFrequencyFromString("monthly"));
}

TEST(BuiltInPatterns, HaveDistinctIdsThatStayTheSameWithinAProcess) {
    const auto& rules = builtInPatterns();
    std::set<Uuid> ids;
    for (const auto& rule : rules)
        ids.insert(rule.id);
    EXPECT_EQ(ids.size(), rules.size());
    EXPECT_EQ(builtInPatterns()[0].id, rules[0].id);
    EXPECT_EQ(rules[1].label, "._* (resource forks)");
}

} // namespace
} // namespace quillfen
