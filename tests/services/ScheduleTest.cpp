#include "RecordBuilders.h"
#include "services/ScheduleCalculator.h"
#include "services/ScheduleService.h"

#include <QSignalSpy>
#include <QTest>

#include <ctime>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>

namespace quillfen {
namespace {

using namespace std::chrono_literals;
using enum ScheduleFrequency;

// The instant the local clock shows "2026-05-04 10:05"; only for times that occur once.
Date local(const char* text) {
    std::tm fields{.tm_isdst = -1};
    ::strptime(text, "%Y-%m-%d %H:%M", &fields);
    return std::chrono::system_clock::from_time_t(std::mktime(&fields));
}
Date utc(const std::string& text) {
    return test::at(text + ":00Z");
}

AppPreferences schedule(ScheduleFrequency frequency, int hour, int minute, int weekday = 2) {
    return {.scheduledProfileId = Uuid::random(),
            .scheduleFrequency = frequency,
            .scheduleHour = hour,
            .scheduleMinute = minute,
            .scheduleWeekday = weekday};
}

double interval(const AppPreferences& preferences, Date now) {
    return ScheduleCalculator::nextFireInterval(preferences, now).value_or(-1);
}

// In a zone with daylight saving: in 2026 its clocks go from 02:00 to 03:00
// on 29 March and from 03:00 back to 02:00 on 25 October.
class ScheduleTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::exists("/usr/share/zoneinfo/Europe/Berlin"))
            GTEST_SKIP() << "time-zone data (tzdata) is not installed";
        ::setenv("TZ", "Europe/Berlin", 1);
        ::tzset();
    }
};

TEST_F(ScheduleTest, NextOccurrenceAcrossHoursDaysWeeksAndDaylightSaving) {
    const auto evening = schedule(daily, 18, 0);
    const auto monday = schedule(weekly, 8, 30, 2); // 4 May 2026 is a Monday
    const auto gap = schedule(daily, 2, 30);        // skipped in March, twice in October
    const auto halfPast = schedule(hourly, 0, 30);
    const std::tuple<AppPreferences, Date, std::optional<Date>> cases[] = {
        {schedule(hourly, 9, 30), local("2026-05-04 10:05"), local("2026-05-04 11:30")},
        {schedule(hourly, 9, 0), local("2026-12-31 23:40"), local("2027-01-01 00:00")},
        {evening, local("2026-05-04 18:00") + 200ms, local("2026-05-05 18:00")},
        {evening, local("2026-02-28 19:00"), local("2026-03-01 18:00")},
        {monday, local("2026-05-04 08:30"), local("2026-05-11 08:30")},
        {schedule(weekly, 23, 59, 7), local("2026-05-04 09:00"), local("2026-05-09 23:59")},
        {schedule(weekly, 0, 0, 1), local("2026-05-09 23:59"), local("2026-05-10 00:00")},
        {schedule(never, 9, 0), local("2026-05-04 09:00"), std::nullopt},
        {schedule(weekly, 9, 0, 8), local("2026-05-04 09:00"), std::nullopt},
        // A skipped 02:30 fires at 03:30, once; a repeated one fires the first time only.
        {gap, local("2026-03-28 22:00"), utc("2026-03-29T01:30")},
        {gap, utc("2026-03-29T01:30"), local("2026-03-30 02:30")},
        {gap, local("2026-10-24 22:00"), utc("2026-10-25T00:30")},
        {gap, utc("2026-10-25T01:30"), local("2026-10-26 02:30")},
        // Hourly runs count real hours, so the repeated hour gets its run.
        {halfPast, utc("2026-10-25T00:30"), utc("2026-10-25T01:30")},
        {halfPast, utc("2026-10-25T01:30"), utc("2026-10-25T02:30")},
    };
    for (const auto& [preferences, now, expected] : cases)
        EXPECT_EQ(ScheduleCalculator::nextFireDate(preferences, now), expected)
            << formatIsoDate(now);
}

TEST_F(ScheduleTest, IntervalsAreAtLeastASecondFollowRealHoursAndFallBackToAnHour) {
    const auto onTheHour = schedule(hourly, 9, 0);
    EXPECT_DOUBLE_EQ(interval(onTheHour, local("2026-05-04 11:00") - 400ms), 1.0);
    EXPECT_DOUBLE_EQ(interval(onTheHour, local("2026-05-04 11:00") - 1500ms), 1.5);
    // A night of 23 real hours.
    EXPECT_DOUBLE_EQ(interval(schedule(daily, 9, 0), local("2026-03-28 09:00")), 23 * 3600);
    // A time that cannot be formed; hourly runs look at the minute only.
    for (const auto& unformed :
         {schedule(hourly, 9, 60), schedule(hourly, 9, -5), schedule(daily, 24, 0),
          schedule(daily, -1, 0), schedule(weekly, 9, 60)})
        EXPECT_DOUBLE_EQ(interval(unformed, local("2026-05-04 10:00") + 500ms), 3600);
}

// The real wall-clock timer, with a clock that stands at 11:59:59 when the
// service is made, so a daily run at 12:00 is a second away.
std::unique_ptr<ScheduleService> secondBeforeNoon() {
    return std::make_unique<ScheduleService>(local("2026-05-04 12:00") - 1s - now());
}

TEST_F(ScheduleTest,
       TimerFiresOnceAndRearmsUnlessStoppedReplacedWithoutProfileOrEndedByItsCallback) {
    int fired = 0;
    int stoppedItself = 0;
    const auto service = secondBeforeNoon();
    QSignalSpy changes(service.get(), &ScheduleService::nextFireDateChanged);
    service->configure(schedule(daily, 12, 0), [&] { ++fired; });
    EXPECT_EQ(service->nextFireDate(), local("2026-05-04 12:00"));
    // A callback may stop its service, or destroy it: no re-arm of freed memory.
    const auto stopsItself = secondBeforeNoon();
    stopsItself->configure(schedule(daily, 12, 0), [&] {
        ++stoppedItself;
        stopsItself->stop();
    });
    auto destroysItself = secondBeforeNoon();
    destroysItself->configure(schedule(daily, 12, 0), [&] { destroysItself.reset(); });

    const auto stopped = secondBeforeNoon();
    auto withoutProfile = schedule(daily, 12, 0);
    withoutProfile.scheduledProfileId.reset();
    stopped->configure(withoutProfile, [&] { ++fired; });
    EXPECT_FALSE(stopped->nextFireDate());
    stopped->configure(schedule(daily, 12, 0), [&] { ++fired; });
    stopped->stop();
    EXPECT_FALSE(stopped->nextFireDate());
    const auto replaced = secondBeforeNoon();
    replaced->configure(schedule(daily, 12, 0), [&] { ++fired; });
    replaced->configure(schedule(daily, 18, 0), [&] { ++fired; });
    EXPECT_EQ(replaced->nextFireDate(), local("2026-05-04 18:00"));

    ASSERT_TRUE(QTest::qWaitFor([&] { return fired && stoppedItself && !destroysItself; }, 5000));
    EXPECT_EQ(service->nextFireDate(), local("2026-05-05 12:00"));
    EXPECT_EQ(changes.count(), 2);
    EXPECT_FALSE(stopsItself->nextFireDate());
    QTest::qWait(800);
    EXPECT_EQ(fired + stoppedItself, 2);
}

} // namespace
} // namespace quillfen
