#include "WindowHarness.h"
#include "app/ApplicationMenuEntry.h"
#include "ui/BadgedToolButton.h"
#include "ui/FileDialogs.h"
#include "ui/FolderPicker.h"
#include "ui/ImportAlert.h"
#include "ui/TrayIcon.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QSystemTrayIcon>

#include <gtest/gtest.h>

namespace quillfen {
namespace {

using MainWindowTest = test::WindowTest;

// The controls while a run goes on are proved with the runs.
TEST_F(MainWindowTest, ControlsFollowTheFoldersAndTheRules) {
    const auto expect = [&](bool start, bool watch, bool clean) {
        for (const char* name : {"startSyncButton", "previewButton"})
            EXPECT_EQ(harness.find<QWidget>(name).isEnabled(), start) << name;
        EXPECT_EQ(harness.find<QWidget>("watchCheckBox").isEnabled(), watch);
        EXPECT_EQ(harness.find<QWidget>("cleanSourceButton").isEnabled(), clean);
        EXPECT_FALSE(harness.find<QWidget>("cancelButton").isVisible());
    };
    expect(false, false, false);
    viewModel.setSourcePath(harness.folder("source"));
    expect(false, true, true);
    auto rules = viewModel.excludePatterns();
    for (auto& rule : rules)
        rule.enabled = false;
    viewModel.setExcludePatterns(rules);
    expect(false, true, false);
    EXPECT_EQ(harness.find<BadgedToolButton>("exclusionsButton").badge(), "");
    viewModel.setDestinationPath(harness.folder("destination"));
    expect(true, true, false);
}

// Which drops are taken is proved with the view model.
TEST_F(MainWindowTest, APickerInvitesADropAndTakesTheFirstFolder) {
    auto& picker = harness.find<FolderPicker>("destinationPickerFrame");
    const auto label = [&](const char* name) {
        return picker.findChild<QLabel*>(QString::fromLatin1(name))->text();
    };
    EXPECT_EQ(label("folderNameLabel"), "No folder selected");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(harness.folder("first")),
                  QUrl::fromLocalFile(harness.folder("second"))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&picker, &enter);
    EXPECT_TRUE(enter.isAccepted() && picker.isTargeted());
    EXPECT_EQ(label("folderNameLabel"), "Drop folder here");
    QDragLeaveEvent leave;
    QApplication::sendEvent(&picker, &leave);
    EXPECT_EQ(label("folderNameLabel"), "No folder selected");

    QApplication::sendEvent(&picker, &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&picker, &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_FALSE(picker.isTargeted());
    EXPECT_EQ(viewModel.destinationPath(), harness.folder("first"));
    EXPECT_EQ(label("folderNameLabel"), "first");
    EXPECT_EQ(label("folderPathLabel"), harness.folder("first"));
    EXPECT_TRUE(viewModel.sourcePath().isEmpty());
}

TEST_F(MainWindowTest, OptionsEditTheViewModelAndFollowIt) {
    auto& slider = harness.find<QSlider>("bandwidthSlider");
    EXPECT_EQ(harness.text("bandwidthValueLabel"), "Unlimited");
    slider.setValue(3640); // between two steps
    EXPECT_EQ(viewModel.bandwidthLimit(), 3600);
    EXPECT_EQ(slider.value(), 3600);
    EXPECT_EQ(harness.text("bandwidthValueLabel"), "3600 KB/s");

    auto& mirror = harness.find<QCheckBox>("mirrorCheckBox");
    mirror.click();
    EXPECT_TRUE(viewModel.deleteExtras());
    viewModel.loadProfile({.bandwidthLimit = 250});
    EXPECT_FALSE(mirror.isChecked());
    EXPECT_EQ(harness.text("bandwidthValueLabel"), "250 KB/s");

    auto& login = harness.find<QCheckBox>("openAtLoginCheckBox");
    login.click();
    EXPECT_TRUE(viewModel.launchAtLogin());
    EXPECT_TRUE(login.isChecked());
}

TEST_F(MainWindowTest, ClosingHidesOrMinimisesAndTheWindowComesBackWhereItWas) {
    auto& window = harness.window();
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
    MainWindow again(viewModel, harness.shell(), harness.defaults());
    EXPECT_EQ(again.geometry(), QRect(60, 70, 1000, 700));
}

TEST_F(MainWindowTest, TheLogsButtonOpensTheLogsFolder) {
    test::UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &recorder, "open");
    harness.find<QPushButton>("logsButton").click();
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    EXPECT_EQ(recorder.opened, QList<QUrl>{QUrl::fromLocalFile(viewModel.logsFolder())});
}

// The alert's message is proved with the window's texts.
TEST_F(MainWindowTest, ImportAsksOverTheWindowAndDoesWhatTheAnswerSays) {
    viewModel.saveProfile(QStringLiteral("Work"));
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
        QMessageBox* box = harness.window().importAlert().messageBox();
        EXPECT_TRUE(box && box->isVisible() && box->windowModality() == Qt::WindowModal);
        return box;
    };
    QMessageBox* box = import();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text(), "Import Settings?");
    QTest::keyClick(box, Qt::Key_Escape);
    EXPECT_FALSE(viewModel.importPendingBackup());
    EXPECT_EQ(viewModel.profileCount(), 0);

    box = import();
    ASSERT_TRUE(box);
    box->findChild<QPushButton*>("importButton")->click();
    EXPECT_FALSE(viewModel.importPendingBackup());
    EXPECT_EQ(viewModel.profileCount(), 1);
    EXPECT_FALSE(harness.window().importAlert().messageBox());
}

// What each entry does is proved with the shell; the icon shows its entries.
TEST_F(MainWindowTest, TrayShowsTheShellsMenuAndLastRunAndBringsTheWindowBack) {
    auto& window = harness.window();
    AppShell& shell = harness.shell();
    TrayIcon tray(shell, viewModel);
    const auto entries = shell.menuEntries();
    const auto actions = tray.menu()->actions();
    ASSERT_EQ(actions.size(), qsizetype(entries.size()));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE(entries[i].title.toStdString());
        EXPECT_EQ(actions[i]->isSeparator(), entries[i].isSeparator);
        if (!entries[i].isSeparator) {
            EXPECT_EQ(actions[i]->text(), entries[i].title);
            EXPECT_EQ(actions[i]->isEnabled(), entries[i].enabled);
            EXPECT_EQ(actions[i]->shortcut(), entries[i].shortcut);
        }
    }
    EXPECT_TRUE(tray.icon()->toolTip().isEmpty());
    shell.updateLastSyncItem({.status = SyncStatus::cancelled});
    EXPECT_EQ(actions.front()->text(), shell.lastSyncLine());
    EXPECT_EQ(tray.icon()->toolTip(), shell.toolTip());

    window.showMinimized();
    emit tray.icon()->activated(QSystemTrayIcon::Trigger);
    EXPECT_FALSE(window.isMinimized());
    window.hide();
    emit tray.icon()->activated(QSystemTrayIcon::DoubleClick);
    EXPECT_TRUE(window.isVisible());
    QSignalSpy quit(&shell, &AppShell::quitRequested);
    actions.back()->trigger();
    EXPECT_EQ(quit.count(), 1);
}

QAction* menuBarAction(const MainWindow& window, const ApplicationMenuEntry& entry) {
    for (const QAction* menu : window.menuBar()->actions())
        if (menu->text() == u'&' + entry.menuTitle)
            for (QAction* action : menu->menu()->actions())
                if (action->text() == entry.title)
                    return action;
    return nullptr;
}

TEST_F(MainWindowTest, EveryMenuEntryWorksAndItsShortcutAlsoFromASheet) {
    auto& window = harness.window();
    QSignalSpy quit(&harness.shell(), &AppShell::quitRequested);
    for (const auto& entry : applicationMenuEntries()) {
        if (entry.isSeparator)
            continue;
        SCOPED_TRACE(entry.title.toStdString());
        QAction* action = menuBarAction(window, entry);
        ASSERT_TRUE(action);
        const auto quitsBefore = quit.count();
        action->trigger();
        EXPECT_EQ(quit.count() - quitsBefore, entry.quits ? 1 : 0);
        if (entry.opens) {
            EXPECT_TRUE(viewModel.isShown(*entry.opens));
            viewModel.setShown(*entry.opens, false);
        }
    }

    // A sheet blocks the window; help and quit still answer.
    viewModel.setShowAbout(true);
    SheetDialog* about = harness.sheet(Sheet::about);
    ASSERT_TRUE(QTest::qWaitForWindowActive(about));
    QTest::keyClick(about, Qt::Key_Question, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(viewModel.showHelp());
    const auto quitsBefore = quit.count();
    QTest::keyClick(about, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(quit.count(), quitsBefore + 1);
    viewModel.setShowHelp(false);
    viewModel.setShowAbout(false);
    harness.press(Qt::Key_F1);
    EXPECT_TRUE(viewModel.showHelp());
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
