#include "WindowHarness.h"
#include "ui/NamedColors.h"
#include "ui/PreviewSheet.h"
#include "ui/StatusDot.h"
#include "ui/TrayIcon.h"

#include <QFrame>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QToolButton>

#include <gtest/gtest.h>

namespace quillfen {
namespace {

namespace fs = std::filesystem;
using test::writeFile;

class WindowRun : public ::testing::Test {
protected:
    WindowRun() { harness.show(); }

    QString text(const char* name) {
        const auto& label = harness.find<QLabel>(name);
        return label.isVisibleTo(&harness.window()) ? label.text() : QString();
    }
    QStringList summaryCells() {
        QStringList cells;
        for (const auto* label :
             harness.find<QWidget>("summaryCellsWidget").findChildren<QLabel*>())
            if (label->isVisibleTo(&harness.window()))
                cells << label->text();
        return cells;
    }
    QColor summaryTint() const {
        return harness.find<QLabel>("summaryIconLabel").property("tint").value<QColor>();
    }
    QColor badgeColor() const { return harness.find<StatusDot>("lastRunDot").color(); }

    // Both folders through their "Choose…" buttons and the folder dialog.
    void chooseFolders() {
        for (const char* picker : {"sourcePickerFrame", "destinationPickerFrame"}) {
            harness.dialogs().answer(harness.folder(picker));
            harness.find<QFrame>(picker)
                .findChild<QPushButton*>(QStringLiteral("chooseButton"))
                ->click();
        }
    }
    // Offscreen there is no window manager to hand the focus back after a
    // sheet closes.
    void press(QKeyCombination keys) {
        harness.window().activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&harness.window()));
        QTest::keyClick(&harness.window(), keys.key(), keys.keyboardModifiers());
    }
    PreviewSheet* previewAfter(std::function<void()> start) {
        start();
        EXPECT_TRUE(harness.waitUntilIdle());
        return qobject_cast<PreviewSheet*>(harness.sheet(Sheet::preview));
    }

    test::WindowHarness harness;
    fs::path source = harness.root() / "sourcePickerFrame";
    fs::path destination = harness.root() / "destinationPickerFrame";
};

TEST_F(WindowRun, PreviewSyncCancelAndFailureThroughTheWindowsOwnControls) {
    auto& viewModel = harness.viewModel();
    TrayIcon tray(harness.shell(), viewModel);
    EXPECT_EQ(text("progressHintLabel"),
              "Choose source and destination, then start sync or preview.");
    chooseFolders();
    writeFile(source / "a.txt", "alpha");
    writeFile(source / "sub/b.txt", "bravo");

    PreviewSheet* sheet = previewAfter([&] { press(Qt::CTRL | Qt::SHIFT | Qt::Key_P); });
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->subtitleLabel()->text(), "2 changes");
    EXPECT_EQ(text("summaryTitleLabel"), "Preview complete");
    EXPECT_EQ(summaryCells(),
              (QStringList{"To copy", "2 files \u00b7 10 bytes", "Processed", "2 files"}));
    EXPECT_EQ(text("lastRunBadgeLabel"), "Preview: 2 to copy");

    sheet->syncNowButton()->click();
    EXPECT_FALSE(viewModel.showPreview()) << "the sheet closes before the run";
    EXPECT_TRUE(viewModel.isSyncing());
    ASSERT_TRUE(harness.waitUntilIdle());
    EXPECT_EQ(test::readFile(destination / "sub/b.txt"), "bravo");
    EXPECT_EQ(text("summaryTitleLabel"), "Success");
    EXPECT_EQ(summaryCells().mid(0, 2), (QStringList{"Copied", "2 files \u00b7 10 bytes"}));
    EXPECT_EQ(summaryTint(), namedColor(NamedColor::green));

    // A slow run, cancelled: the tray shows how far it got meanwhile.
    viewModel.setBandwidthLimit(100);
    writeFile(source / "slow.bin", std::string(300 * 1024, 's'));
    press(Qt::CTRL | Qt::Key_S);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !text("percentLabel").isEmpty(); }));
    EXPECT_TRUE(tray.icon()->toolTip().startsWith(QStringLiteral("Quillfen \u00b7 Syncing ")));
    harness.find<QPushButton>("cancelButton").click();
    ASSERT_TRUE(harness.waitUntilIdle());
    EXPECT_EQ(text("summaryTitleLabel"), "Cancelled");
    EXPECT_EQ(summaryTint(), namedColor(NamedColor::orange));
    EXPECT_EQ(badgeColor(), namedColor(NamedColor::red));
    EXPECT_EQ(tray.icon()->toolTip(), harness.shell().toolTip());

    // A destination inside the source fails the run before it writes.
    viewModel.setBandwidthLimit(0);
    viewModel.setDestinationPath(harness.folder("sourcePickerFrame/inner"));
    harness.find<QPushButton>("startSyncButton").click();
    ASSERT_TRUE(harness.waitUntilIdle());
    EXPECT_EQ(text("summaryTitleLabel"), "Failed");
    EXPECT_EQ(harness.find<QLabel>("summaryIconLabel").property("symbol"), "xmark.circle.fill");
    EXPECT_EQ(summaryTint(), namedColor(NamedColor::red));
    EXPECT_FALSE(text("summaryErrorLabel").isEmpty());
    EXPECT_EQ(harness.find<QLabel>("summaryErrorLabel").palette().color(QPalette::WindowText),
              namedColor(NamedColor::red));
}

TEST_F(WindowRun, PreviewSheetOfAnEmptyADeletionsOnlyAndAZeroSizePlan) {
    auto& viewModel = harness.viewModel();
    chooseFolders();
    const auto preview = [&] {
        return previewAfter([&] { harness.find<QPushButton>("previewButton").click(); });
    };
    const auto shown = [](const QWidget* sheet, const char* name) {
        const auto* label = sheet->findChild<QLabel*>(QString::fromLatin1(name));
        return label->isVisibleTo(sheet) ? label->text() : QString();
    };

    PreviewSheet* sheet = preview(); // identical (empty) folders
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->subtitleLabel()->text(), "0 changes");
    EXPECT_EQ(shown(sheet, "upToDateLabel"), "Everything is up to date");
    EXPECT_FALSE(sheet->syncNowButton()->isEnabled());
    sheet->closeButton()->click();

    viewModel.setDeleteExtras(true);
    writeFile(destination / "x.txt", "x");
    writeFile(destination / "y.txt", "y");
    sheet = preview();
    EXPECT_EQ(sheet->subtitleLabel()->text(), "2 changes");
    EXPECT_EQ(shown(sheet, "upToDateLabel"), "");
    EXPECT_EQ(shown(sheet, "copyCountLabel"), "0");
    EXPECT_EQ(shown(sheet, "copyBytesLabel"), "");
    EXPECT_EQ(shown(sheet, "deleteCountLabel"), "2");
    EXPECT_TRUE(sheet->syncNowButton()->isEnabled());
    sheet->closeButton()->click();

    viewModel.setDeleteExtras(false);
    writeFile(source / "empty-1", "");
    writeFile(source / "empty-2", "");
    sheet = preview();
    EXPECT_EQ(shown(sheet, "copyCountLabel"), "2");
    EXPECT_EQ(shown(sheet, "copyBytesLabel"), "") << "no byte line for empty files";
    EXPECT_EQ(shown(sheet, "deleteCountLabel"), "");
    EXPECT_EQ(sheet->listView()->model()->rowCount(), 2);
}

} // namespace
} // namespace quillfen
