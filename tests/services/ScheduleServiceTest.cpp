#include "services/ScheduleService.h"

#include "LocalTime.h"

#include <QSignalSpy>
#include <QTest>

#include <chrono>
#include <gtest/gtest.h>
#include <memory>

namespace quillfen {
namespace {

using namespace std::chrono_literals;
using test::localTime;

AppPreferences dailyAt(int hour, int minute) {
    AppPreferences preferences;
    preferences.scheduledProfileId = Uuid::random();
    preferences.scheduleFrequency = ScheduleFrequency::daily;
    preferences.scheduleHour = hour;
    preferences.scheduleMinute = minute;
    return preferences;
}

// A service whose clock stands at 2026-05-04 11:59:59 local time when it is
// made and then runs with the real one, so a daily run at 12:00 is a second
// away.
class ScheduleServiceTest : public ::testing::Test {
protected:
    static std::unique_ptr<ScheduleService> secondBeforeNoon() {
        const auto offset = localTime(2026, 5, 4, 11, 59, 59) - now();
        return std::make_unique<ScheduleService>(offset);
    }

    int fired_ = 0;
    std::function<void()> count_ = [this] {
        ++fired_;
    };
};

TEST_F(ScheduleServiceTest, ArmsNothingWithoutFrequencyProfileOrWeekday) {
    ScheduleService service;
    auto never = dailyAt(9, 0);
    never.scheduleFrequency = ScheduleFrequency::never;
    service.configure(never, count_);
    EXPECT_FALSE(service.nextFireDate());

    auto withoutProfile = dailyAt(9, 0);
    withoutProfile.scheduledProfileId.reset();
    service.configure(withoutProfile, count_);
    EXPECT_FALSE(service.nextFireDate());

    auto impossibleWeekday = dailyAt(9, 0);
    impossibleWeekday.scheduleFrequency = ScheduleFrequency::weekly;
    impossibleWeekday.scheduleWeekday = 8;
    service.configure(impossibleWeekday, count_);
    EXPECT_FALSE(service.nextFireDate());
    EXPECT_FALSE(service.nextFireInterval(impossibleWeekday));

    service.configure(dailyAt(9, 0), count_);
    ASSERT_TRUE(service.nextFireDate());
    EXPECT_GT(*service.nextFireDate(), now());
    EXPECT_LE(*service.nextFireDate(), now() + 24h);
}

TEST_F(ScheduleServiceTest, FiresOnceAndRearmsForTheNextOccurrence) {
    const auto service = secondBeforeNoon();
    QSignalSpy changes(service.get(), &ScheduleService::nextFireDateChanged);
    service->configure(dailyAt(12, 0), count_);
    EXPECT_EQ(service->nextFireDate(), localTime(2026, 5, 4, 12, 0));
    EXPECT_EQ(changes.count(), 1);

    EXPECT_TRUE(QTest::qWaitFor([this] { return fired_ > 0; }, 5000));
    EXPECT_EQ(service->nextFireDate(), localTime(2026, 5, 5, 12, 0));
    EXPECT_EQ(changes.count(), 2);
    QTest::qWait(300);
    EXPECT_EQ(fired_, 1);
}

TEST_F(ScheduleServiceTest, StoppedOrReplacedTimersNeverFire) {
    const auto service = secondBeforeNoon();
    service->configure(dailyAt(12, 0), count_);
    service->stop();
    EXPECT_FALSE(service->nextFireDate());

    // Configuring twice leaves only the second arrangement.
    int replacedFired = 0;
    service->configure(dailyAt(12, 0), [&replacedFired] { ++replacedFired; });
    service->configure(dailyAt(18, 0), count_);
    EXPECT_EQ(service->nextFireDate(), localTime(2026, 5, 4, 18, 0));

    QTest::qWait(1800);
    EXPECT_EQ(fired_, 0);
    EXPECT_EQ(replacedFired, 0);
}

TEST_F(ScheduleServiceTest, CallbackThatStopsOrIsDestroyedIsRespected) {
    auto service = secondBeforeNoon();
    service->configure(dailyAt(12, 0), [&service, this] {
        ++fired_;
        service->stop();
    });
    EXPECT_TRUE(QTest::qWaitFor([this] { return fired_ > 0; }, 5000));
    EXPECT_FALSE(service->nextFireDate());

    // A callback that releases the service must not be followed by a re-arm
    // of freed memory.
    service = secondBeforeNoon();
    service->configure(dailyAt(12, 0), [&service, this] {
        ++fired_;
        service.reset();
    });
    EXPECT_TRUE(QTest::qWaitFor([this] { return fired_ > 1; }, 5000));
    EXPECT_FALSE(service);
}

} // namespace
} // namespace quillfen
