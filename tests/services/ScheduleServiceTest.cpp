#include "services/ScheduleService.h"

#include "LocalTime.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>
#include <memory>

namespace quillfen {
namespace {

using test::localTime;

AppPreferences dailyAt(int hour, int minute) {
    return {.scheduledProfileId = Uuid::random(),
            .scheduleFrequency = ScheduleFrequency::daily,
            .scheduleHour = hour,
            .scheduleMinute = minute};
}

// A service whose clock stands at 2026-05-04 11:59:59 local time when it is
// made and then runs with the real one, so a daily run at 12:00 is a second
// away.
std::unique_ptr<ScheduleService> secondBeforeNoon() {
    return std::make_unique<ScheduleService>(localTime(2026, 5, 4, 11, 59, 59) - now());
}

class ScheduleServiceTest : public ::testing::Test {
protected:
    int fired_ = 0;
    std::function<void()> count_ = [this] {
        ++fired_;
    };
};

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

TEST_F(ScheduleServiceTest, StoppedReplacedOrProfilelessTimersNeverFire) {
    const auto service = secondBeforeNoon();
    auto withoutProfile = dailyAt(12, 0);
    withoutProfile.scheduledProfileId.reset();
    service->configure(withoutProfile, count_);
    EXPECT_FALSE(service->nextFireDate());
    service->configure(dailyAt(12, 0), count_);
    service->stop();
    EXPECT_FALSE(service->nextFireDate());

    int replacedFired = 0;
    service->configure(dailyAt(12, 0), [&replacedFired] { ++replacedFired; });
    service->configure(dailyAt(18, 0), count_);
    EXPECT_EQ(service->nextFireDate(), localTime(2026, 5, 4, 18, 0));
    QTest::qWait(1800);
    EXPECT_EQ(fired_ + replacedFired, 0);
}

TEST_F(ScheduleServiceTest, CallbackThatStopsOrDestroysTheServiceIsRespected) {
    auto service = secondBeforeNoon();
    service->configure(dailyAt(12, 0), [&service, this] {
        ++fired_;
        service->stop();
    });
    EXPECT_TRUE(QTest::qWaitFor([this] { return fired_ > 0; }, 5000));
    EXPECT_FALSE(service->nextFireDate());

    // Releasing the service must not be followed by a re-arm of freed memory.
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
