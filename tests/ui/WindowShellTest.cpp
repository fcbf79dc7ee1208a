#include "WindowHarness.h"
#include "records/JsonForms.h"
#include "ui/FileDialogs.h"
#include "ui/ImportAlert.h"
#include "ui/TrayIcon.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSystemTrayIcon>

#include <gtest/gtest.h>

namespace quillfen {
namespace {

using test::WindowHarness;

QStringList titlesOf(const QMenu& menu) {
    QStringList titles;
    for (const QAction* action : menu.actions())
        titles << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return titles;
}

TEST(TrayIcon, ShowsTheStatusMenuAndTheLastRun) {
    WindowHarness harness;
    auto& window = harness.show();
    TrayIcon tray(harness.shell(), harness.viewModel());
    const auto actions = tray.menu()->actions();
    EXPECT_EQ(
        titlesOf(*tray.menu()),
        QStringList({"No syncs yet", "-", "Show Quillfen", "-", "Take the Tour",
                     "Enable Notifications", "-", "Export Settings\u2026", "Import Settings\u2026",
                     "-", "Release Notes", "Terms of Use", "-", "Quit Quillfen"}));
    EXPECT_FALSE(actions.front()->isEnabled());
    EXPECT_TRUE(tray.icon()->toolTip().isEmpty());
    EXPECT_EQ(actions.back()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));

    SyncResult result;
    result.status = SyncStatus::cancelled;
    result.isDryRun = true;
    result.filesCopied = 4;
    harness.shell().updateLastSyncItem(result);
    EXPECT_TRUE(actions.front()->text().startsWith(QStringLiteral("\u2298 ")));
    EXPECT_TRUE(
        actions.front()->text().endsWith(QStringLiteral(" \u00b7 Preview \u00b7 4 to copy")));
    EXPECT_EQ(tray.icon()->toolTip(), harness.shell().toolTip());

    window.showMinimized();
    actions[2]->trigger(); // Show Quillfen
    EXPECT_FALSE(window.isMinimized());
    window.hide();
    emit tray.icon()->activated(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(window.isVisible());
    actions[10]->trigger(); // Release Notes
    EXPECT_TRUE(QTest::qWaitFor([&] { return harness.viewModel().showReleaseNotes(); }));

    QSignalSpy quit(&harness.shell(), &AppShell::quitRequested);
    actions.back()->trigger();
    EXPECT_EQ(quit.count(), 1);
}

TEST(MainWindowShell, MenusAndTheirShortcutsWorkFromTheWindowAndFromASheet) {
    WindowHarness harness;
    auto& window = harness.show();
    auto& viewModel = harness.viewModel();
    QStringList menus;
    for (const QAction* menu : window.menuBar()->actions())
        menus << menu->text() + u':' + titlesOf(*menu->menu()).join(u',');
    EXPECT_EQ(menus, QStringList({"&Quillfen:About Quillfen,Quit Quillfen",
                                  "&Help:Quillfen Help,-,Release Notes,Terms of Use"}));
    window.menuBar()->actions().front()->menu()->actions().front()->trigger();
    EXPECT_TRUE(viewModel.showAbout());

    // The about sheet now blocks the window; help and quit still answer.
    SheetDialog* about = harness.sheet(Sheet::about);
    ASSERT_TRUE(QTest::qWaitForWindowActive(about));
    QTest::keyClick(about, Qt::Key_Question, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(viewModel.showHelp());
    QSignalSpy quit(&harness.shell(), &AppShell::quitRequested);
    QTest::keyClick(about, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(quit.count(), 1);

    viewModel.setShowHelp(false);
    viewModel.setShowAbout(false);
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_F1);
    EXPECT_TRUE(viewModel.showHelp());
}

TEST(MainWindowShell, ClosingHidesOrMinimisesAndTheWindowComesBackWhereItWas) {
    WindowHarness harness;
    auto& window = harness.show();
    EXPECT_EQ(window.size(), QSize(1080, 740));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !harness.notificationOutput().empty(); }))
        << "the first showing asks the notification server";

    window.setGeometry(60, 70, 1000, 700);
    window.close();
    EXPECT_TRUE(window.isVisible()) << "no tray: the window must stay reachable";
    EXPECT_TRUE(window.isMinimized());

    window.showNormal();
    window.setHasTray(true);
    window.close();
    EXPECT_FALSE(window.isVisible());
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::topLevelWidgets().contains(&window), true) << "closing never quits";

    MainWindow again(harness.viewModel(), harness.shell(), harness.defaults());
    EXPECT_EQ(again.geometry(), QRect(60, 70, 1000, 700));
}

TEST(MainWindowShell, TheLogsButtonOpensTheLogsFolder) {
    WindowHarness harness;
    harness.show();
    test::UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &recorder, "open");
    harness.find<QPushButton>("logsButton").click();
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    EXPECT_EQ(recorder.opened, QList<QUrl>{QUrl::fromLocalFile(harness.viewModel().logsFolder())});
}

TEST(MainWindowShell, ImportAsksOverTheWindowAndDoesWhatTheAnswerSays) {
    WindowHarness harness;
    auto& window = harness.show();
    auto& viewModel = harness.viewModel();
    viewModel.saveProfile(QStringLiteral("Work"));
    viewModel.saveProfile(QStringLiteral("Home"));
    const auto backup = harness.root() / "backup.json";
    test::writeFile(backup, harness.storage().makeBackup().value());
    viewModel.deleteProfile(viewModel.profiles().front().id);

    const auto import = [&] {
        harness.dialogs().answer(toQString(backup));
        // The menu pops up without a nested event loop, so the click returns.
        harness.find<QPushButton>("backupButton").click();
        auto& menu = harness.find<QMenu>("backupMenu");
        EXPECT_TRUE(menu.isVisible());
        menu.hide();
        menu.actions()[1]->trigger();
        QMessageBox* box = window.importAlert().messageBox();
        EXPECT_TRUE(box && box->isVisible());
        return box;
    };
    QMessageBox* box = import();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->windowModality(), Qt::WindowModal);
    EXPECT_EQ(box->text(), "Import Settings?");
    EXPECT_TRUE(box->informativeText().startsWith("This will replace your 2 profile(s), exclusion "
                                                  "patterns, and schedule settings with the "
                                                  "backup from "));
    QTest::keyClick(box, Qt::Key_Escape);
    EXPECT_FALSE(viewModel.importPendingBackup());
    EXPECT_EQ(viewModel.profileCount(), 1);

    box = import();
    ASSERT_TRUE(box);
    box->findChild<QPushButton*>("importButton")->click();
    EXPECT_FALSE(viewModel.importPendingBackup());
    EXPECT_EQ(viewModel.profileCount(), 2);
    EXPECT_FALSE(window.importAlert().messageBox());
}

TEST(FileDialogs, AnswerWhenTheDialogClosesWithoutBlocking) {
    QWidget window;
    window.show();
    FileDialogs dialogs;
    dialogs.setParentWindow(&window);
    std::vector<std::optional<QString>> answers;
    const auto record = [&](std::optional<QString> path) {
        answers.push_back(path);
    };
    const test::TempDir folder;

    dialogs.chooseFolder(QStringLiteral("Choose source folder"), record);
    auto* dialog = window.findChild<QFileDialog*>();
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(answers.empty()) << "returned before an answer";
    EXPECT_EQ(dialog->windowTitle(), "Choose source folder");
    EXPECT_EQ(dialog->windowModality(), Qt::WindowModal);
    dialog->setDirectory(toQString(folder.path().parent_path()));
    dialog->selectFile(toQString(folder.path()));
    static_cast<QDialog*>(dialog)->accept(); // as the dialog's Choose button does
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0], toQString(folder.path()));

    dialogs.chooseOpenFile(QStringLiteral("Choose a Quillfen settings backup"), record);
    QPointer<QFileDialog> open = window.findChild<QFileDialog*>();
    open->reject();
    ASSERT_EQ(answers.size(), 2u);
    EXPECT_FALSE(answers[1]);
    EXPECT_TRUE(QTest::qWaitFor([&] { return open.isNull(); }));
}

} // namespace
} // namespace quillfen
