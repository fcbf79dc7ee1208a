#include "WindowHarness.h"
#include "app/ApplicationMenuEntry.h"
#include "ui/FileDialogs.h"
#include "ui/TrayIcon.h"

#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QSystemTrayIcon>

#include <gtest/gtest.h>

namespace quillfen {
namespace {

using test::WindowHarness;

// What each entry does is proved with the shell; the icon shows its entries.
TEST(TrayIcon, ShowsTheShellsMenuAndLastRunAndBringsTheWindowBack) {
    WindowHarness harness;
    auto& window = harness.show();
    AppShell& shell = harness.shell();
    TrayIcon tray(shell, harness.viewModel());
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

TEST(MainWindowShell, EveryMenuEntryWorksAndItsShortcutAlsoFromASheet) {
    WindowHarness harness;
    auto& window = harness.show();
    auto& viewModel = harness.viewModel();
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
