#include "AppHarness.h"
#include "app/ApplicationMenuEntry.h"

#include <QSignalSpy>
#include <QUrl>

#include <gtest/gtest.h>

namespace quillfen {
namespace {

using test::AppHarness;

TEST(AppViewModelDrop, OnlyALocalFolderSetsThePathAndItsGrant) {
    AppHarness harness;
    auto& viewModel = harness.make();
    const QString folder = harness.folder("drive");
    test::writeFile(harness.root() / "note.txt", "x");
    const auto grant = [&] {
        return harness.bookmarks().resolveBookmark("destination");
    };

    for (const QUrl& ignored : {QUrl::fromLocalFile(toQString(harness.root() / "note.txt")),
                                QUrl::fromLocalFile(toQString(harness.root() / "missing")),
                                QUrl(QStringLiteral("https://example.org/drive/"))}) {
        EXPECT_FALSE(viewModel.dropDestination(ignored)) << ignored.toString().toStdString();
        EXPECT_TRUE(viewModel.destinationPath().isEmpty());
        EXPECT_FALSE(grant());
    }
    // File managers drop folders with or without the final separator.
    EXPECT_TRUE(viewModel.dropDestination(QUrl::fromLocalFile(folder + u'/')));
    EXPECT_EQ(viewModel.destinationPath(), folder);
    EXPECT_EQ(grant(), toPath(folder));
    EXPECT_FALSE(harness.bookmarks().resolveBookmark("source"));
    EXPECT_TRUE(viewModel.dropSource(QUrl::fromLocalFile(harness.folder("work"))));
    EXPECT_EQ(harness.bookmarks().resolveBookmark("source"), toPath(harness.folder("work")));
}

TEST(AppViewModelWindowState, ProfilesLoginAndScheduleEachAnnounceTheirChange) {
    AppHarness harness;
    auto& viewModel = harness.make();
    QSignalSpy profiles(&viewModel, &AppViewModel::profilesChanged);
    QSignalSpy login(&viewModel, &AppViewModel::launchAtLoginChanged);
    QSignalSpy armed(&viewModel, &AppViewModel::isScheduleArmedChanged);
    QSignalSpy next(&viewModel, &AppViewModel::nextFireDateChanged);

    viewModel.saveProfile(QStringLiteral("Work"));
    viewModel.saveProfile(QStringLiteral("Home"));
    EXPECT_EQ(profiles.count(), 2);
    EXPECT_EQ(viewModel.profileCount(), 2);
    EXPECT_EQ(viewModel.profiles().back().name, "Home");

    viewModel.toggleLaunchAtLogin();
    EXPECT_EQ(login.count(), 1);
    EXPECT_TRUE(viewModel.launchAtLogin());

    AppPreferences preferences;
    preferences.scheduledProfileId = viewModel.profiles().front().id;
    preferences.scheduleFrequency = ScheduleFrequency::daily;
    harness.storage().savePreferences(preferences);
    viewModel.applySchedule();
    EXPECT_TRUE(viewModel.isScheduleArmed());
    EXPECT_EQ(armed.count(), 1);
    EXPECT_GE(next.count(), 1);
    EXPECT_GT(viewModel.nextFireDate(), QDateTime::currentDateTime());
    viewModel.applySchedule(); // re-armed: still armed, no new armed signal
    EXPECT_EQ(armed.count(), 1);

    viewModel.deleteProfile(preferences.scheduledProfileId.value());
    EXPECT_EQ(profiles.count(), 3);
    EXPECT_EQ(viewModel.profileCount(), 1);
    EXPECT_FALSE(viewModel.isScheduleArmed());
    EXPECT_EQ(armed.count(), 2);
    EXPECT_FALSE(viewModel.nextFireDate().isValid());
}

TEST(AppViewModelWindowState, LogsFolderVersionAndMenus) {
    AppHarness harness;
    auto& viewModel = harness.make();
    std::filesystem::remove_all(harness.storage().container() / "Logs");
    EXPECT_TRUE(QFileInfo(viewModel.logsFolder()).isDir()) << "created so it can be opened";
    EXPECT_EQ(viewModel.logsFolder(), toQString(harness.storage().container() / "Logs"));
    EXPECT_TRUE(AppViewModel::versionText().startsWith(QStringLiteral("Version 0.")));

    QStringList titles;
    for (const auto& entry : applicationMenuEntries()) {
        titles << entry.menuTitle + u'/' + entry.title;
        EXPECT_FALSE(entry.title.contains(QStringLiteral("Settings")));
    }
    EXPECT_EQ(titles, QStringList({"Quillfen/About Quillfen", "Quillfen/Quit Quillfen",
                                   "Help/Quillfen Help", "Help/", "Help/Release Notes",
                                   "Help/Terms of Use"}));
    const auto help = applicationMenuEntries()[2];
    EXPECT_EQ(help.opens, Sheet::help);
    EXPECT_EQ(help.shortcuts.front().toString(), "Ctrl+Shift+?");
    EXPECT_EQ(help.shortcuts.back(), QKeySequence(Qt::Key_F1));
}

} // namespace
} // namespace quillfen
