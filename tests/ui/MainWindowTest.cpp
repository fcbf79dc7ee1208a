#include "WindowHarness.h"
#include "ui/BadgedToolButton.h"
#include "ui/FolderPicker.h"
#include "ui/ImportAlert.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSlider>

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

} // namespace
} // namespace quillfen
