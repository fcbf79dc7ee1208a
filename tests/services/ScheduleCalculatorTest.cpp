#include "services/ScheduleCalculator.h"

#include "LocalTime.h"

#include <gtest/gtest.h>

namespace quillfen {
namespace {

using test::localTime;
using test::utcTime;

AppPreferences schedule(ScheduleFrequency frequency, int hour, int minute, int weekday = 2) {
    AppPreferences preferences;
    preferences.scheduledProfileId = Uuid::random();
    preferences.scheduleFrequency = frequency;
    preferences.scheduleHour = hour;
    preferences.scheduleMinute = minute;
    preferences.scheduleWeekday = weekday;
    return preferences;
}

// All cases run in a zone with daylight saving; in 2026 its clocks go from
// 02:00 to 03:00 on 29 March and from 03:00 back to 02:00 on 25 October.
class ScheduleCalculatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::TimeZoneScope::isAvailable("Europe/Berlin"))
            GTEST_SKIP() << "time-zone data (tzdata) is not installed";
    }

    static std::optional<Date> next(const AppPreferences& preferences, Date now) {
        return ScheduleCalculator::nextFireDate(preferences, now);
    }

    test::TimeZoneScope zone_{"Europe/Berlin"};
};

TEST_F(ScheduleCalculatorTest, HourlyFiresInTheNextClockHour) {
    const auto hourly = schedule(ScheduleFrequency::hourly, 9, 30);
    EXPECT_EQ(next(hourly, localTime(2026, 5, 4, 10, 5)), localTime(2026, 5, 4, 11, 30));
    EXPECT_EQ(next(hourly, localTime(2026, 5, 4, 10, 50)), localTime(2026, 5, 4, 11, 30));
    EXPECT_EQ(next(hourly, localTime(2026, 5, 4, 11, 30)), localTime(2026, 5, 4, 12, 30));

    const auto onTheHour = schedule(ScheduleFrequency::hourly, 9, 0);
    EXPECT_EQ(next(onTheHour, localTime(2026, 5, 4, 23, 40)), localTime(2026, 5, 5, 0, 0));
    EXPECT_EQ(next(onTheHour, localTime(2026, 12, 31, 23, 40)), localTime(2027, 1, 1, 0, 0));
    EXPECT_DOUBLE_EQ(
        *ScheduleCalculator::nextFireInterval(onTheHour, localTime(2026, 5, 4, 23, 40)), 20 * 60);
}

TEST_F(ScheduleCalculatorTest, HourlyFloorAndFallback) {
    const auto onTheHour = schedule(ScheduleFrequency::hourly, 9, 0);
    EXPECT_DOUBLE_EQ(
        *ScheduleCalculator::nextFireInterval(onTheHour, localTime(2026, 5, 4, 10, 59, 59.6)), 1.0);
    EXPECT_DOUBLE_EQ(
        *ScheduleCalculator::nextFireInterval(onTheHour, localTime(2026, 5, 4, 10, 59, 58.5)), 1.5);

    for (const int minute : {-1, 60}) {
        const auto broken = schedule(ScheduleFrequency::hourly, 9, minute);
        EXPECT_DOUBLE_EQ(
            *ScheduleCalculator::nextFireInterval(broken, localTime(2026, 5, 4, 10, 0, 0.25)),
            3600);
    }
}

TEST_F(ScheduleCalculatorTest, DailyPushesTheCurrentMinuteToTomorrow) {
    const auto daily = schedule(ScheduleFrequency::daily, 18, 0);
    EXPECT_DOUBLE_EQ(
        *ScheduleCalculator::nextFireInterval(daily, localTime(2026, 5, 4, 17, 59, 59)), 1.0);
    EXPECT_EQ(next(daily, localTime(2026, 5, 4, 18, 0, 0.2)), localTime(2026, 5, 5, 18, 0));
    EXPECT_EQ(next(daily, localTime(2026, 5, 4, 18, 0)), localTime(2026, 5, 5, 18, 0));
    // Month and year ends.
    EXPECT_EQ(next(daily, localTime(2026, 2, 28, 19, 0)), localTime(2026, 3, 1, 18, 0));
    EXPECT_EQ(next(daily, localTime(2026, 12, 31, 18, 30)), localTime(2027, 1, 1, 18, 0));
}

TEST_F(ScheduleCalculatorTest, DailyTimeThatCannotBeFormedFallsBackToAnHour) {
    const Date now = localTime(2026, 5, 4, 10, 0, 0.5);
    for (const auto& [hour, minute] : {std::pair{24, 0}, {-1, 0}, {9, 60}, {9, -5}}) {
        EXPECT_DOUBLE_EQ(*ScheduleCalculator::nextFireInterval(
                             schedule(ScheduleFrequency::daily, hour, minute), now),
                         3600);
        EXPECT_DOUBLE_EQ(*ScheduleCalculator::nextFireInterval(
                             schedule(ScheduleFrequency::weekly, hour, minute), now),
                         3600);
    }
}

TEST_F(ScheduleCalculatorTest, WeeklyWalksToTheChosenWeekday) {
    // 4 May 2026 is a Monday (weekday 2).
    const auto monday = schedule(ScheduleFrequency::weekly, 8, 30, 2);
    EXPECT_EQ(next(monday, localTime(2026, 5, 4, 9, 0)), localTime(2026, 5, 11, 8, 30));
    EXPECT_EQ(next(monday, localTime(2026, 5, 4, 8, 0)), localTime(2026, 5, 4, 8, 30));
    EXPECT_EQ(next(monday, localTime(2026, 5, 4, 8, 30)), localTime(2026, 5, 11, 8, 30));
    // Across a month end and a year end.
    EXPECT_EQ(next(monday, localTime(2026, 5, 28, 12, 0)), localTime(2026, 6, 1, 8, 30));
    EXPECT_EQ(next(monday, localTime(2026, 12, 30, 12, 0)), localTime(2027, 1, 4, 8, 30));

    const auto saturday = schedule(ScheduleFrequency::weekly, 23, 59, 7);
    EXPECT_EQ(next(saturday, localTime(2026, 5, 4, 9, 0)), localTime(2026, 5, 9, 23, 59));
    const auto sunday = schedule(ScheduleFrequency::weekly, 0, 0, 1);
    EXPECT_EQ(next(sunday, localTime(2026, 5, 9, 23, 59)), localTime(2026, 5, 10, 0, 0));
}

TEST_F(ScheduleCalculatorTest, NothingToArmForNeverOrAnImpossibleWeekday) {
    const Date now = localTime(2026, 5, 4, 9, 0);
    EXPECT_FALSE(next(schedule(ScheduleFrequency::never, 9, 0), now));
    for (const int weekday : {0, 8, -1})
        EXPECT_FALSE(next(schedule(ScheduleFrequency::weekly, 9, 0, weekday), now));
    EXPECT_FALSE(
        ScheduleCalculator::nextFireInterval(schedule(ScheduleFrequency::never, 9, 0), now));
}

TEST_F(ScheduleCalculatorTest, DaylightSavingChanges) {
    // A night of 23 real hours: 09:00 to 09:00 the next day is 23 hours.
    const auto nine = schedule(ScheduleFrequency::daily, 9, 0);
    EXPECT_DOUBLE_EQ(*ScheduleCalculator::nextFireInterval(nine, localTime(2026, 3, 28, 9, 0)),
                     23 * 3600);

    // 02:30 does not exist on 29 March: it fires at 03:30, once, and the
    // next day at 02:30 again.
    const auto gap = schedule(ScheduleFrequency::daily, 2, 30);
    EXPECT_EQ(next(gap, localTime(2026, 3, 28, 22, 0)), utcTime(2026, 3, 29, 1, 30));
    EXPECT_EQ(next(gap, utcTime(2026, 3, 29, 1, 30)), localTime(2026, 3, 30, 2, 30));
    const auto weeklyGap = schedule(ScheduleFrequency::weekly, 2, 30, 1);
    EXPECT_EQ(next(weeklyGap, localTime(2026, 3, 27, 12, 0)), utcTime(2026, 3, 29, 1, 30));

    // 02:30 happens twice on 25 October: the first one fires, the second
    // does not.
    EXPECT_EQ(next(gap, localTime(2026, 10, 24, 22, 0)), utcTime(2026, 10, 25, 0, 30));
    EXPECT_EQ(next(gap, utcTime(2026, 10, 25, 0, 30)), localTime(2026, 10, 26, 2, 30));
    EXPECT_EQ(next(gap, utcTime(2026, 10, 25, 1, 30)), localTime(2026, 10, 26, 2, 30));

    // Hourly runs count real hours, so the repeated hour gets its run.
    const auto hourly = schedule(ScheduleFrequency::hourly, 0, 30);
    EXPECT_EQ(next(hourly, utcTime(2026, 10, 25, 0, 30)), utcTime(2026, 10, 25, 1, 30));
    EXPECT_EQ(next(hourly, utcTime(2026, 10, 25, 1, 30)), utcTime(2026, 10, 25, 2, 30));
    EXPECT_EQ(next(hourly, localTime(2026, 3, 29, 1, 40)), utcTime(2026, 3, 29, 1, 30));
}

} // namespace
} // namespace quillfen
