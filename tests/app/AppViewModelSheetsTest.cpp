#include "AppHarness.h"
#include "app/Onboarding.h"
#include "records/JsonForms.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace quillfen {
namespace {

using test::AppHarness;
using test::readFile;
using test::writeFile;

TEST(AppViewModelHistory, DeleteTakesItsOwnLogAndClearAllEveryLog) {
    AppHarness harness;
    const std::vector<HistoryEntry> runs{{.logFileName = "A.log"}, {.logFileName = "B.log"}, {}};
    harness.storage().saveHistory(runs);
    auto& viewModel = harness.make();
    const auto logs = harness.storage().logsDirectory();
    for (const char* name : {"A.log", "B.log", "capped.log", "stray/x"})
        writeFile(logs / name, "log");
    QSignalSpy changed(&viewModel, &AppViewModel::historyChanged);
    EXPECT_EQ(viewModel.logFilePath(runs[1]), toQString(logs / "B.log"));
    EXPECT_TRUE(viewModel.logFilePath(runs[2]).isEmpty());

    viewModel.deleteHistoryEntry(runs[0].id);
    viewModel.deleteHistoryEntry(runs[2].id); // no log of its own
    EXPECT_EQ(test::folderNames(logs), (std::vector<std::string>{"B.log", "capped.log", "stray"}));
    const auto stored = decodeHistory(readFile(harness.storage().container() / "history.json"));
    ASSERT_TRUE(stored && stored->size() == 1);
    EXPECT_EQ(stored->front().id, runs[1].id);

    viewModel.clearHistory();
    EXPECT_TRUE(test::folderNames(logs).empty());
    EXPECT_EQ(decodeHistory(readFile(harness.storage().container() / "history.json")),
              std::vector<HistoryEntry>{});
    EXPECT_EQ(changed.count(), 3);
}

TEST(AppViewModelExclusions, TypedRulesAreTrimmedAndRemovedById) {
    AppHarness harness;
    auto& viewModel = harness.make();
    const int builtInActive = viewModel.enabledPatternCount();
    EXPECT_FALSE(viewModel.addExclusionPattern(QStringLiteral(" \t ")));
    EXPECT_TRUE(viewModel.addExclusionPattern(QStringLiteral(" \t*.bak \t")));
    EXPECT_TRUE(viewModel.addExclusionPattern(QStringLiteral("*.bak")));
    const auto& rules = viewModel.excludePatterns();
    ASSERT_EQ(rules.size(), builtInPatterns().size() + 2);
    const ExclusionPattern first = rules[rules.size() - 2];
    const ExclusionPattern second = rules.back();
    EXPECT_EQ(first.pattern, "*.bak");
    EXPECT_EQ(first.label, "*.bak");
    EXPECT_TRUE(first.enabled);
    EXPECT_FALSE(first.isBuiltIn);
    EXPECT_EQ(viewModel.enabledPatternCount(), builtInActive + 2);
    viewModel.removeExclusionPattern(first.id);
    EXPECT_EQ(viewModel.excludePatterns().back(), second);
    EXPECT_EQ(viewModel.enabledPatternCount(), builtInActive + 1);
}

TEST(AppViewModelSchedule, SavingStoresWritesAndArmsAnnouncingOnlyChanges) {
    AppHarness harness;
    auto& viewModel = harness.make();
    viewModel.saveProfile(QStringLiteral("Work"));
    QSignalSpy armed(&viewModel, &AppViewModel::isScheduleArmedChanged);
    AppPreferences preferences{.scheduledProfileId = viewModel.profiles().front().id,
                               .scheduleFrequency = ScheduleFrequency::hourly,
                               .scheduleMinute = 45};
    viewModel.saveSchedule(preferences);
    EXPECT_EQ(viewModel.schedulePreferences(), preferences);
    EXPECT_EQ(decodePreferences(readFile(harness.storage().container() / "preferences.json")),
              preferences);
    EXPECT_TRUE(viewModel.isScheduleArmed());
    EXPECT_GT(viewModel.nextFireDate(), QDateTime::currentDateTime());
    viewModel.saveSchedule(preferences); // re-armed: still armed
    EXPECT_EQ(armed.count(), 1);
    preferences.scheduleFrequency = ScheduleFrequency::never;
    viewModel.saveSchedule(preferences);
    EXPECT_FALSE(viewModel.isScheduleArmed());
    EXPECT_EQ(armed.count(), 2);
}

// Both ways out, by their buttons, are proved with the sheet.
TEST(Onboarding, GetStartedStartsTheTourHalfASecondLater) {
    AppHarness harness;
    auto& viewModel = harness.make();
    viewModel.setShowOnboarding(true);
    finishOnboarding(viewModel, harness.defaults(), OnboardingExit::getStarted);
    EXPECT_TRUE(harness.defaults().hasSeenOnboarding());
    EXPECT_FALSE(viewModel.showOnboarding());
    QTest::qWait(400);
    EXPECT_FALSE(viewModel.activeTourStep()) << "not before half a second";
    EXPECT_TRUE(QTest::qWaitFor([&] { return viewModel.activeTourStep().has_value(); }, 1000));
    EXPECT_EQ(viewModel.activeTourStep(), TourStep::exclusions);
}

} // namespace
} // namespace quillfen
