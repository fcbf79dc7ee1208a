#include "ui/ScheduleSheet.h"

#include "WindowHarness.h"
#include "ui/TimeColumn.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace quillfen {
namespace {

using test::child;

class ScheduleSheetTest : public test::WindowTest {
protected:
    // The open schedule sheet, opened when it is not.
    ScheduleSheet& open() {
        viewModel.setShowSchedule(true);
        return *qobject_cast<ScheduleSheet*>(harness.sheet(Sheet::schedule));
    }
    void choose(const char* frequency) { child<QPushButton>(&open(), frequency).click(); }
    bool shown(const char* name) { return child<QWidget>(&open(), name).isVisibleTo(&open()); }
    bool applyEnabled() { return child<QPushButton>(&open(), "applyButton").isEnabled(); }
};

TEST_F(ScheduleSheetTest, SectionsAndApplyFollowTheFrequencyAndTheStoredProfile) {
    ScheduleSheet& sheet = open();
    EXPECT_EQ(sheet.workingCopy(), AppPreferences{});
    EXPECT_TRUE(applyEnabled()) << "never needs no profile";
    EXPECT_FALSE(shown("timeTitleLabel"));
    EXPECT_FALSE(shown("cancelScheduleButton")) << "nothing is armed";

    choose("dailyFrequencyButton");
    EXPECT_EQ(child<QLabel>(&sheet, "timeTitleLabel").text(), "Time");
    EXPECT_TRUE(shown("hourTimeColumn"));
    EXPECT_FALSE(shown("moWeekdayButton"));
    EXPECT_TRUE(shown("noProfilesLabel"));
    EXPECT_FALSE(applyEnabled());
    EXPECT_TRUE(shown("loginWarningLabel"));
    viewModel.toggleLaunchAtLogin();
    EXPECT_FALSE(shown("loginWarningLabel"));
    // A click makes one time column the active one.
    auto& hour = child<TimeColumn>(&sheet, "hourTimeColumn");
    auto& minute = child<TimeColumn>(&sheet, "minuteTimeColumn");
    QTest::mouseClick(hour.valueLabel(), Qt::LeftButton);
    EXPECT_TRUE(hour.isActive());
    QTest::mouseClick(minute.valueLabel(), Qt::LeftButton);
    EXPECT_FALSE(hour.isActive());
    EXPECT_TRUE(minute.isActive());
    child<QAbstractButton>(&hour, "downButton").click();
    EXPECT_EQ(sheet.workingCopy().scheduleHour, 8);

    choose("hourlyFrequencyButton");
    EXPECT_TRUE(shown("minuteSpinBox"));
    EXPECT_FALSE(shown("hourTimeColumn"));
    child<QSpinBox>(&sheet, "minuteSpinBox").setValue(5);
    EXPECT_EQ(child<QLabel>(&sheet, "pastHourLabel").text(), ":05 past the hour");

    // A screen reader toggles a choice rather than clicking it.
    child<QPushButton>(&sheet, "weeklyFrequencyButton").toggle();
    EXPECT_EQ(child<QLabel>(&sheet, "timeTitleLabel").text(), "Day & Time");
    EXPECT_GE(hour.height(), hour.minimumSizeHint().height()) << "the sheet grew to hold it";
    EXPECT_TRUE(child<QPushButton>(&sheet, "moWeekdayButton").isChecked()) << "weekday 2";
    child<QPushButton>(&sheet, "suWeekdayButton").toggle();
    EXPECT_EQ(sheet.workingCopy().scheduleWeekday, 1);

    viewModel.saveProfile(QStringLiteral("Work"));
    EXPECT_TRUE(shown("profileComboBox"));
    auto& profiles = child<QComboBox>(&sheet, "profileComboBox");
    EXPECT_EQ(profiles.itemText(0), "None");
    EXPECT_FALSE(applyEnabled());
    profiles.setCurrentIndex(1);
    ASSERT_TRUE(applyEnabled());
    child<QPushButton>(&sheet, "applyButton").click();
    EXPECT_FALSE(viewModel.showSchedule());
    const AppPreferences stored = viewModel.schedulePreferences();
    EXPECT_EQ(stored, (AppPreferences{.scheduledProfileId = viewModel.profiles().front().id,
                                      .scheduleFrequency = ScheduleFrequency::weekly,
                                      .scheduleHour = 8,
                                      .scheduleMinute = 5,
                                      .scheduleWeekday = 1}));
    EXPECT_TRUE(viewModel.isScheduleArmed());

    // Every opening starts from what is stored; Cancel stores nothing.
    choose("neverFrequencyButton");
    EXPECT_FALSE(shown("timeTitleLabel"));
    child<QPushButton>(&open(), "cancelButton").click();
    EXPECT_EQ(open().workingCopy(), stored);
    child<QPushButton>(&open(), "cancelScheduleButton").click();
    EXPECT_FALSE(viewModel.isScheduleArmed());
    EXPECT_EQ(viewModel.schedulePreferences().scheduleWeekday, 1);

    viewModel.setShowSchedule(false);
    harness.storage().savePreferences(
        {.scheduledProfileId = Uuid::random(), .scheduleFrequency = ScheduleFrequency::daily});
    EXPECT_FALSE(open().workingCopy().scheduledProfileId) << "a stored profile that is gone";
    EXPECT_EQ(child<QComboBox>(&open(), "profileComboBox").currentText(), "None");
    EXPECT_FALSE(applyEnabled());
}

QWheelEvent wheel(QPoint pixels, QPoint angle, Qt::ScrollPhase phase) {
    return QWheelEvent(QPointF(10, 10), QPointF(10, 10), pixels, angle, Qt::NoButton,
                       Qt::NoModifier, phase, false);
}

TEST(TimeColumnTest, WrapsAndStepsByWheelAndTouchpad) {
    TimeColumn minute(QStringLiteral("Minute"), 59);
    minute.setValue(59);
    minute.step(1);
    EXPECT_EQ(minute.value(), 0);
    minute.step(-1);
    EXPECT_EQ(minute.value(), 59);

    struct Scroll {
        QPoint pixels;
        QPoint angle;
        Qt::ScrollPhase phase;
        int expected; // the value after the event, from 30
    };
    const Scroll gestures[] = {
        {{0, 20}, {0, 0}, Qt::ScrollBegin, 32},    // two steps, 4 points kept
        {{0, -11}, {0, 0}, Qt::ScrollUpdate, 32},  // back to -7: not yet
        {{0, -1}, {0, 0}, Qt::ScrollUpdate, 31},   // 12 points back make the step
        {{0, 4}, {0, 0}, Qt::ScrollUpdate, 31},    // 4 kept
        {{0, 4}, {0, 0}, Qt::ScrollBegin, 31},     // a new gesture forgets them
        {{0, 90}, {0, 0}, Qt::ScrollMomentum, 31}, // momentum never steps...
        {{0, 90}, {0, 0}, Qt::ScrollMomentum, 31},
        {{0, 7}, {0, 0}, Qt::ScrollUpdate, 31},     // ...and starts from zero
        {{0, 0}, {0, 1200}, Qt::NoScrollPhase, 32}, // a wheel steps once, however far
        {{0, 0}, {0, -15}, Qt::NoScrollPhase, 31},
        {{0, 0}, {0, 0}, Qt::NoScrollPhase, 31},
    };
    minute.setValue(30);
    int event = 0;
    for (const Scroll& scroll : gestures) {
        QWheelEvent wheelEvent = wheel(scroll.pixels, scroll.angle, scroll.phase);
        QApplication::sendEvent(&minute, &wheelEvent);
        EXPECT_EQ(minute.value(), scroll.expected) << "event " << event++;
    }

    QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(&minute);
    EXPECT_EQ(spoken->role(), QAccessible::SpinBox);
    EXPECT_EQ(spoken->valueInterface()->currentValue().toInt(), 31);
    EXPECT_EQ(spoken->valueInterface()->maximumValue().toInt(), 59);

    minute.show();
    QTest::mouseClick(minute.valueLabel(), Qt::LeftButton);
    EXPECT_FALSE(minute.isActive()) << "a click only announces itself";
}

} // namespace
} // namespace quillfen
