#include "AppHarness.h"
#include "RecordBuilders.h"
#include "app/Onboarding.h"
#include "records/JsonForms.h"

#include <QSignalSpy>
#include <QUrl>

#include <gtest/gtest.h>

namespace quillfen {
namespace {

using test::at;
using test::readFile;
using test::rule;
using test::writeFile;

class AppViewModelTest : public ::testing::Test {
protected:
    test::AppHarness harness;
    std::filesystem::path container = harness.storage().container();
};

TEST_F(AppViewModelTest, StartTakesTheLastSyncAndTheStoredRulesAndLoginToggles) {
    harness.storage().saveHistory({{.endedAt = at("2026-03-02T10:00:00Z"), .isDryRun = true},
                                   {.endedAt = at("2026-03-01T09:00:00Z")}});
    harness.storage().saveExclusionPatterns({rule("*.bak")});
    auto& viewModel = harness.make();
    EXPECT_EQ(viewModel.lastSyncDate().toUTC().toString(Qt::ISODate), "2026-03-01T09:00:00Z");
    EXPECT_EQ(viewModel.enabledPatternCount(), 1);
    std::filesystem::remove_all(harness.storage().logsDirectory());
    EXPECT_TRUE(QFileInfo(viewModel.logsFolder()).isDir()) << "created so it can be opened";
    QSignalSpy login(&viewModel, &AppViewModel::launchAtLoginChanged);
    for (const bool on : {true, false}) {
        viewModel.toggleLaunchAtLogin();
        EXPECT_EQ(viewModel.launchAtLogin(), on);
        EXPECT_EQ(std::filesystem::exists(harness.root() / "autostart/quillfen.desktop"), on);
    }
    EXPECT_EQ(login.count(), 2);
}

TEST_F(AppViewModelTest, OnlyADroppedLocalFolderSetsThePathAndItsGrant) {
    auto& viewModel = harness.make();
    const QString folder = harness.folder("drive");
    for (const QUrl& ignored : {QUrl::fromLocalFile(toQString(harness.root().write("f", "x"))),
                                QUrl::fromLocalFile(toQString(harness.root() / "missing")),
                                QUrl(QStringLiteral("https://example.org/drive/"))})
        EXPECT_FALSE(viewModel.dropDestination(ignored)) << ignored.toString().toStdString();
    EXPECT_TRUE(viewModel.destinationPath().isEmpty());
    EXPECT_FALSE(harness.bookmarks().resolveBookmark("destination"));
    // File managers drop folders with or without the final separator.
    EXPECT_TRUE(viewModel.dropDestination(QUrl::fromLocalFile(folder + u'/')));
    EXPECT_EQ(viewModel.destinationPath(), folder);
    EXPECT_EQ(harness.bookmarks().resolveBookmark("destination"), toPath(folder));
    EXPECT_FALSE(harness.bookmarks().resolveBookmark("source"));
    EXPECT_TRUE(viewModel.dropSource(QUrl::fromLocalFile(harness.folder("work"))));
    EXPECT_EQ(harness.bookmarks().resolveBookmark("source"), toPath(harness.folder("work")));
}

TEST_F(AppViewModelTest, TypedRulesAreTrimmedRemovedByIdAndABurstOfEditsIsSavedOnce) {
    auto& viewModel = harness.make();
    const int builtInActive = viewModel.enabledPatternCount();
    EXPECT_FALSE(viewModel.addExclusionPattern(QStringLiteral(" \t ")));
    EXPECT_TRUE(viewModel.addExclusionPattern(QStringLiteral(" \t*.bak \t")));
    EXPECT_TRUE(viewModel.addExclusionPattern(QStringLiteral("*.bak")));
    const auto rules = viewModel.excludePatterns();
    ASSERT_EQ(rules.size(), builtInPatterns().size() + 2);
    const ExclusionPattern& typed = rules[rules.size() - 2];
    EXPECT_EQ(typed, (ExclusionPattern{.id = typed.id, .pattern = "*.bak", .label = "*.bak"}));
    EXPECT_EQ(viewModel.enabledPatternCount(), builtInActive + 2);
    viewModel.removeExclusionPattern(typed.id);
    EXPECT_EQ(viewModel.excludePatterns().back(), rules.back());
    EXPECT_EQ(viewModel.enabledPatternCount(), builtInActive + 1);

    QTest::qWait(300);
    int saves = 0;
    harness.storage().addObserver([&](StorageService::Collection collection) {
        saves += collection == StorageService::Collection::exclusionPatterns;
    });
    const std::vector last{rule("c")};
    viewModel.setExcludePatterns({rule("a")});
    viewModel.setExcludePatterns(last);
    EXPECT_EQ(saves, 0);
    QTest::qWait(300);
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(harness.storage().exclusionPatterns(), last);
}

TEST_F(AppViewModelTest, OnlyTheNewestFolderCountIsPublished) {
    auto& viewModel = harness.make();
    writeFile(harness.root() / "first/one.txt", "1");
    writeFile(harness.root() / "second/a.txt", "a");
    writeFile(harness.root() / "second/b.txt", "b");
    std::vector<std::int64_t> published;
    QObject::connect(&viewModel, &AppViewModel::sourceStatsChanged, [&] {
        if (viewModel.sourceStats())
            published.push_back(viewModel.sourceStats()->files);
    });
    viewModel.setSourcePath(harness.folder("first"));
    EXPECT_TRUE(viewModel.isComputingSourceStats());
    viewModel.setSourcePath(harness.folder("second"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !viewModel.isComputingSourceStats(); }));
    QTest::qWait(100);
    EXPECT_EQ(published, std::vector<std::int64_t>{2});
    viewModel.setSourcePath(QString());
    EXPECT_FALSE(viewModel.sourceStats() || viewModel.isComputingSourceStats());
}

TEST_F(AppViewModelTest, ProfilesSaveLoadDeleteExportAndImportKeepTheScheduleConsistent) {
    auto& viewModel = harness.make();
    viewModel.setSourcePath(harness.folder("work"));
    viewModel.setDeleteExtras(true);
    viewModel.saveProfile(QStringLiteral("Work"));
    ASSERT_EQ(harness.storage().profiles().size(), 1u);
    const SyncProfile saved = harness.storage().profiles().front();
    EXPECT_TRUE(saved.name == "Work" && saved.deleteExtras);
    EXPECT_EQ(saved.excludePatterns, viewModel.excludePatterns());

    // A profile without rules keeps the current list; watching follows the source.
    const SyncProfile other{.source = harness.folder("photos").toStdString(),
                            .destination = harness.folder("drive").toStdString()};
    viewModel.setWatchMode(true);
    viewModel.loadProfile(other);
    EXPECT_EQ(viewModel.excludePatterns(), saved.excludePatterns);
    EXPECT_FALSE(viewModel.deleteExtras());
    EXPECT_TRUE(viewModel.isWatching());
    viewModel.setWatchMode(false);

    harness.storage().savePreferences(
        {.scheduledProfileId = saved.id, .scheduleFrequency = ScheduleFrequency::weekly});
    viewModel.applySchedule();
    const auto exported = harness.root() / "settings.json";
    viewModel.exportSettings(); // cancelled: nothing written
    EXPECT_FALSE(std::filesystem::exists(exported));
    harness.dialogs().answer(toQString(exported));
    viewModel.exportSettings();
    EXPECT_TRUE(harness.dialogs().requests().back().text.startsWith("Quillfen-settings-"));

    viewModel.deleteProfile(Uuid::random());
    EXPECT_TRUE(viewModel.nextFireDate().isValid());
    viewModel.deleteProfile(saved.id);
    EXPECT_FALSE(viewModel.isScheduleArmed() || viewModel.nextFireDate().isValid());
    EXPECT_FALSE(harness.storage().preferences().scheduledProfileId);
    EXPECT_EQ(harness.storage().preferences().scheduleFrequency, ScheduleFrequency::weekly);

    const auto snapshot = [&] {
        return readFile(container / "profiles.json") + readFile(container / "preferences.json");
    };
    const std::string before = snapshot();
    harness.dialogs().answer(toQString(container / "profiles.json")); // not a backup
    viewModel.importSettings();
    EXPECT_FALSE(viewModel.importPendingBackup());
    harness.dialogs().answer(toQString(exported));
    viewModel.importSettings();
    EXPECT_EQ(harness.dialogs().requests().back().text, "Choose a Quillfen settings backup");
    ASSERT_TRUE(viewModel.importPendingBackup());
    viewModel.cancelImport();
    EXPECT_FALSE(viewModel.importPendingBackup());
    QTest::qWait(200);
    EXPECT_EQ(snapshot(), before);

    harness.dialogs().answer(toQString(exported));
    viewModel.importSettings();
    viewModel.confirmImport();
    EXPECT_FALSE(viewModel.importPendingBackup());
    ASSERT_EQ(harness.storage().profiles().size(), 1u);
    EXPECT_EQ(harness.storage().profiles().front().id, saved.id);
    EXPECT_TRUE(viewModel.nextFireDate().isValid()) << "a restored schedule is armed at once";
    EXPECT_EQ(viewModel.sourcePath().toStdString(), other.source) << "the folders stay";
}

TEST_F(AppViewModelTest, SavingAScheduleStoresAndArmsItAnnouncingOnlyChanges) {
    auto& viewModel = harness.make();
    viewModel.saveProfile(QStringLiteral("Work"));
    QSignalSpy armed(&viewModel, &AppViewModel::isScheduleArmedChanged);
    AppPreferences preferences{.scheduledProfileId = viewModel.profiles().front().id,
                               .scheduleFrequency = ScheduleFrequency::hourly};
    viewModel.saveSchedule(preferences);
    EXPECT_EQ(harness.storage().preferences(), preferences);
    EXPECT_TRUE(viewModel.isScheduleArmed());
    EXPECT_GT(viewModel.nextFireDate(), QDateTime::currentDateTime());
    viewModel.saveSchedule(preferences); // re-armed: still armed
    EXPECT_EQ(armed.count(), 1);
    preferences.scheduleFrequency = ScheduleFrequency::never;
    viewModel.saveSchedule(preferences);
    EXPECT_FALSE(viewModel.isScheduleArmed());
    EXPECT_EQ(armed.count(), 2);
}

TEST_F(AppViewModelTest, DeletingARunTakesItsOwnLogAndClearingTakesEveryLog) {
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
    EXPECT_EQ(harness.storage().history(), std::vector{runs[1]});
    viewModel.clearHistory();
    EXPECT_TRUE(test::folderNames(logs).empty());
    EXPECT_TRUE(harness.storage().history().empty());
    EXPECT_EQ(changed.count(), 3);
}

TEST_F(AppViewModelTest, TourStepsOpenTheirSheetsAfterTheirDelays) {
    auto& viewModel = harness.make();
    const auto opensLater = [&](bool (AppViewModel::*sheet)() const) {
        return !(viewModel.*sheet)() && QTest::qWaitFor([&] { return (viewModel.*sheet)(); }, 1000);
    };
    viewModel.setShowProfiles(true);
    viewModel.setShowHelp(true);
    viewModel.startTour();
    EXPECT_FALSE(viewModel.showProfiles());
    EXPECT_TRUE(viewModel.showHelp()) << "help is not one of the tour's sheets";
    EXPECT_EQ(viewModel.activeTourStep(), TourStep::exclusions);
    EXPECT_TRUE(opensLater(&AppViewModel::showExclusions));
    for (int i = 0; i < 3; ++i)
        viewModel.advanceTour();
    EXPECT_EQ(viewModel.activeTourStep(), TourStep::cleanSource);
    EXPECT_TRUE(opensLater(&AppViewModel::showCleanSource));
    viewModel.advanceTour();
    EXPECT_EQ(viewModel.activeTourStep(), TourStep::syncAndPreview);
    EXPECT_FALSE(viewModel.showCleanSource());
    viewModel.advanceTour();
    EXPECT_TRUE(opensLater(&AppViewModel::showHistory));
    viewModel.advanceTour();
    viewModel.advanceTour(); // past the end stays ended
    EXPECT_FALSE(viewModel.activeTourStep() || viewModel.showHistory());
    viewModel.startTour();
    viewModel.endTour();
    EXPECT_FALSE(viewModel.activeTourStep());
    QSignalSpy stepChanged(&viewModel, &AppViewModel::activeTourStepChanged);
    viewModel.endTour();
    EXPECT_EQ(stepChanged.count(), 0) << "nothing changed";
}

// The way out by "Get Started" keeps the real half second; both ways out,
// by their buttons, are proved with the sheet.
TEST_F(AppViewModelTest, GetStartedEndsTheOnboardingAndStartsTheTourHalfASecondLater) {
    auto& viewModel = harness.make();
    viewModel.setShowOnboarding(true);
    finishOnboarding(viewModel, harness.defaults(), OnboardingExit::getStarted);
    EXPECT_TRUE(harness.defaults().hasSeenOnboarding());
    EXPECT_FALSE(viewModel.showOnboarding());
    QTest::qWait(400);
    EXPECT_FALSE(viewModel.activeTourStep()) << "not before half a second";
    EXPECT_TRUE(QTest::qWaitFor([&] { return viewModel.activeTourStep().has_value(); }, 1000));
}

} // namespace
} // namespace quillfen
