#include "services/ScheduleCalculator.h"

#include "LocalTime.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace quillfen {
namespace {

using test::localTime;
using test::utcTime;
using Frequency = ScheduleFrequency;

AppPreferences schedule(Frequency frequency, int hour, int minute, int weekday = 2) {
    return {.scheduledProfileId = Uuid::random(),
            .scheduleFrequency = frequency,
            .scheduleHour = hour,
            .scheduleMinute = minute,
            .scheduleWeekday = weekday};
}

std::optional<Date> next(const AppPreferences& preferences, Date now) {
    return ScheduleCalculator::nextFireDate(preferences, now);
}

double interval(const AppPreferences& preferences, Date now) {
    return ScheduleCalculator::nextFireInterval(preferences, now).value_or(-1);
}

// All cases run in a zone with daylight saving; in 2026 its clocks go from
// 02:00 to 03:00 on 29 March and from 03:00 back to 02:00 on 25 October.
class ScheduleCalculatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::exists("/usr/share/zoneinfo/Europe/Berlin"))
            GTEST_SKIP() << "time-zone data (tzdata) is not installed";
        test::useBerlinTime();
    }
};

TEST_F(ScheduleCalculatorTest, HourlyFiresInTheNextClockHourAtLeastASecondAway) {
    const auto hourly = schedule(Frequency::hourly, 9, 30);
    EXPECT_EQ(next(hourly, localTime(2026, 5, 4, 10, 5)), localTime(2026, 5, 4, 11, 30));
    EXPECT_EQ(next(hourly, localTime(2026, 5, 4, 11, 30)), localTime(2026, 5, 4, 12, 30));
    const auto onTheHour = schedule(Frequency::hourly, 9, 0);
    EXPECT_EQ(next(onTheHour, localTime(2026, 12, 31, 23, 40)), localTime(2027, 1, 1, 0, 0));
    EXPECT_DOUBLE_EQ(interval(onTheHour, localTime(2026, 5, 4, 23, 40)), 20 * 60);
    EXPECT_DOUBLE_EQ(interval(onTheHour, localTime(2026, 5, 4, 10, 59, 59.6)), 1.0);
    EXPECT_DOUBLE_EQ(interval(onTheHour, localTime(2026, 5, 4, 10, 59, 58.5)), 1.5);
}

TEST_F(ScheduleCalculatorTest, DailyPushesTheCurrentMinuteToTomorrow) {
    const auto daily = schedule(Frequency::daily, 18, 0);
    EXPECT_DOUBLE_EQ(interval(daily, localTime(2026, 5, 4, 17, 59, 59)), 1.0);
    EXPECT_EQ(next(daily, localTime(2026, 5, 4, 18, 0, 0.2)), localTime(2026, 5, 5, 18, 0));
    EXPECT_EQ(next(daily, localTime(2026, 2, 28, 19, 0)), localTime(2026, 3, 1, 18, 0));
    EXPECT_EQ(next(daily, localTime(2026, 12, 31, 18, 30)), localTime(2027, 1, 1, 18, 0));
}

TEST_F(ScheduleCalculatorTest, TimeThatCannotBeFormedFallsBackToAnHour) {
    const Date now = localTime(2026, 5, 4, 10, 0, 0.5);
    for (const auto frequency : {Frequency::hourly, Frequency::daily, Frequency::weekly})
        for (const auto& [hour, minute] : {std::pair{9, 60}, {9, -5}, {24, 0}, {-1, 0}})
            if (frequency != Frequency::hourly || minute != 0) { // hourly ignores the hour
                EXPECT_DOUBLE_EQ(interval(schedule(frequency, hour, minute), now), 3600)
                    << hour << ":" << minute;
            }
}

TEST_F(ScheduleCalculatorTest, WeeklyWalksToTheChosenWeekdayOrArmsNothing) {
    // 4 May 2026 is a Monday (weekday 2).
    const auto monday = schedule(Frequency::weekly, 8, 30, 2);
    EXPECT_EQ(next(monday, localTime(2026, 5, 4, 8, 30)), localTime(2026, 5, 11, 8, 30));
    EXPECT_EQ(next(monday, localTime(2026, 12, 30, 12, 0)), localTime(2027, 1, 4, 8, 30));
    const auto saturday = schedule(Frequency::weekly, 23, 59, 7);
    EXPECT_EQ(next(saturday, localTime(2026, 5, 4, 9, 0)), localTime(2026, 5, 9, 23, 59));
    const auto sunday = schedule(Frequency::weekly, 0, 0, 1);
    EXPECT_EQ(next(sunday, localTime(2026, 5, 9, 23, 59)), localTime(2026, 5, 10, 0, 0));

    const Date now = localTime(2026, 5, 4, 9, 0);
    EXPECT_FALSE(next(schedule(Frequency::never, 9, 0), now));
    EXPECT_DOUBLE_EQ(interval(schedule(Frequency::never, 9, 0), now), -1);
    for (const int weekday : {0, 8, -1})
        EXPECT_FALSE(next(schedule(Frequency::weekly, 9, 0, weekday), now));
}

TEST_F(ScheduleCalculatorTest, DaylightSavingChanges) {
    // A night of 23 real hours: 09:00 to 09:00 the next day is 23 hours.
    EXPECT_DOUBLE_EQ(interval(schedule(Frequency::daily, 9, 0), localTime(2026, 3, 28, 9, 0)),
                     23 * 3600);

    // 02:30 does not exist on 29 March: it fires at 03:30, once, and the
    // next day at 02:30 again.
    const auto gap = schedule(Frequency::daily, 2, 30);
    EXPECT_EQ(next(gap, localTime(2026, 3, 28, 22, 0)), utcTime(2026, 3, 29, 1, 30));
    EXPECT_EQ(next(gap, utcTime(2026, 3, 29, 1, 30)), localTime(2026, 3, 30, 2, 30));
    const auto weeklyGap = schedule(Frequency::weekly, 2, 30, 1);
    EXPECT_EQ(next(weeklyGap, localTime(2026, 3, 27, 12, 0)), utcTime(2026, 3, 29, 1, 30));

    // 02:30 happens twice on 25 October: the first one fires, the second
    // does not.
    EXPECT_EQ(next(gap, localTime(2026, 10, 24, 22, 0)), utcTime(2026, 10, 25, 0, 30));
    EXPECT_EQ(next(gap, utcTime(2026, 10, 25, 0, 30)), localTime(2026, 10, 26, 2, 30));
    EXPECT_EQ(next(gap, utcTime(2026, 10, 25, 1, 30)), localTime(2026, 10, 26, 2, 30));

    // Hourly runs count real hours, so the repeated hour gets its run.
    const auto hourly = schedule(Frequency::hourly, 0, 30);
    EXPECT_EQ(next(hourly, utcTime(2026, 10, 25, 0, 30)), utcTime(2026, 10, 25, 1, 30));
    EXPECT_EQ(next(hourly, utcTime(2026, 10, 25, 1, 30)), utcTime(2026, 10, 25, 2, 30));
    EXPECT_EQ(next(hourly, localTime(2026, 3, 29, 1, 40)), utcTime(2026, 3, 29, 1, 30));
}

} // namespace
} // namespace quillfen
