#include "WindowHarness.h"
#include "ui/ElidedLabel.h"
#include "ui/NamedColors.h"
#include "ui/PreviewSheet.h"
#include "ui/ProgressTexts.h"
#include "ui/StatusDot.h"
#include "ui/SyncProgressView.h"
#include "ui/TrayIcon.h"

#include <QFrame>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QRegularExpression>
#include <QSystemTrayIcon>

#include <gtest/gtest.h>

namespace quillfen {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::writeFile;

// What a run records and reports is proved with the view model; these prove
// that the window's controls start it and its labels show it.
class WindowRun : public test::WindowTest {
protected:
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
    PreviewSheet* previewAfter(const std::function<void()>& start) {
        start();
        EXPECT_TRUE(harness.waitUntilIdle());
        return qobject_cast<PreviewSheet*>(harness.sheet(Sheet::preview));
    }

    fs::path source = harness.root() / "sourcePickerFrame";
    fs::path destination = harness.root() / "destinationPickerFrame";
};

TEST_F(WindowRun, PreviewSyncCancelAndFailureThroughTheWindowsOwnControls) {
    TrayIcon tray(harness.shell(), viewModel);
    EXPECT_EQ(harness.text("progressHintLabel"),
              "Choose source and destination, then start sync or preview.");
    EXPECT_FALSE(harness.find<QWidget>("lastRunBadgeLabel").isVisible());
    chooseFolders();
    writeFile(source / "a.txt", "alpha");
    writeFile(source / "sub/b.txt", "bravo");

    PreviewSheet* sheet = previewAfter([&] { harness.press(Qt::CTRL | Qt::SHIFT | Qt::Key_P); });
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->subtitleLabel()->text(), "2 changes");
    EXPECT_EQ(harness.text("summaryTitleLabel"), "Preview complete");
    EXPECT_EQ(summaryCells(),
              (QStringList{"To copy", "2 files \u00b7 10 bytes", "Processed", "2 files"}));
    EXPECT_EQ(harness.text("lastRunBadgeLabel"), "Preview: 2 to copy");
    EXPECT_EQ(badgeColor(), namedColor(NamedColor::green));

    sheet->syncNowButton()->click();
    EXPECT_FALSE(viewModel.showPreview()) << "the sheet closes before the run";
    EXPECT_TRUE(viewModel.isSyncing());
    ASSERT_TRUE(harness.waitUntilIdle());
    EXPECT_EQ(test::readFile(destination / "sub/b.txt"), "bravo");
    EXPECT_EQ(harness.text("summaryTitleLabel"), "Success");
    EXPECT_EQ(summaryCells().mid(0, 2), (QStringList{"Copied", "2 files \u00b7 10 bytes"}));
    EXPECT_EQ(summaryTint(), namedColor(NamedColor::green));
    EXPECT_EQ(harness.text("lastRunBadgeLabel"), "2 copied \u00b7 10 bytes");
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return harness.text("folderStatsLabel") != "Calculating\u2026"; }));

    // A slow run, cancelled: meanwhile the controls and the tray show it runs.
    viewModel.setBandwidthLimit(100);
    writeFile(source / "slow.bin", std::string(300 * 1024, 's'));
    harness.press(Qt::CTRL | Qt::Key_S);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !harness.text("percentLabel").isEmpty(); }));
    EXPECT_TRUE(tray.icon()->toolTip().startsWith(QStringLiteral("Quillfen \u00b7 Syncing ")));
    for (const char* name : {"startSyncButton", "previewButton"})
        EXPECT_FALSE(harness.find<QWidget>(name).isEnabled()) << name;
    EXPECT_TRUE(harness.find<QWidget>("watchCheckBox").isEnabled());
    harness.press(Qt::CTRL | Qt::Key_S); // refused while running
    harness.find<QPushButton>("cancelButton").click();
    ASSERT_TRUE(harness.waitUntilIdle());
    EXPECT_FALSE(harness.find<QWidget>("cancelButton").isVisible());
    EXPECT_EQ(harness.text("summaryTitleLabel"), "Cancelled");
    EXPECT_EQ(summaryTint(), namedColor(NamedColor::orange));
    EXPECT_EQ(badgeColor(), namedColor(NamedColor::red));
    EXPECT_EQ(tray.icon()->toolTip(), harness.shell().toolTip());
    EXPECT_EQ(harness.storage().history().size(), 3u);

    // A destination inside the source fails the run before it writes.
    viewModel.setBandwidthLimit(0);
    viewModel.setDestinationPath(harness.folder("sourcePickerFrame/inner"));
    harness.find<QPushButton>("startSyncButton").click();
    ASSERT_TRUE(harness.waitUntilIdle());
    EXPECT_EQ(harness.text("summaryTitleLabel"), "Failed");
    EXPECT_EQ(harness.find<QLabel>("summaryIconLabel").property("symbol"), "xmark.circle.fill");
    EXPECT_EQ(summaryTint(), namedColor(NamedColor::red));
    EXPECT_FALSE(harness.text("summaryErrorLabel").isEmpty());
    EXPECT_EQ(harness.find<QLabel>("summaryErrorLabel").palette().color(QPalette::WindowText),
              namedColor(NamedColor::red));
}

TEST_F(WindowRun, PreviewSheetOfAnEmptyADeletionsOnlyAndAZeroSizePlan) {
    chooseFolders();
    const auto preview = [&] {
        return previewAfter([&] { harness.find<QPushButton>("previewButton").click(); });
    };
    const auto shown = [](const QWidget* sheet, const char* name) {
        const auto* label = sheet->findChild<QLabel*>(QString::fromLatin1(name));
        return label->isVisibleTo(sheet) ? label->text() : QString();
    };
    // What screen readers hear for the rows of the plan.
    const auto spokenRows = [](const PreviewSheet* sheet) {
        QStringList rows;
        const auto* model = sheet->listView()->model();
        for (int row = 0; row < model->rowCount(); ++row)
            rows << model->index(row, 0).data(Qt::AccessibleTextRole).toString();
        rows.sort();
        return rows;
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
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->subtitleLabel()->text(), "2 changes");
    EXPECT_EQ(shown(sheet, "upToDateLabel"), "");
    EXPECT_EQ(shown(sheet, "copyCountLabel"), "0");
    EXPECT_EQ(shown(sheet, "copyBytesLabel"), "");
    EXPECT_EQ(shown(sheet, "deleteCountLabel"), "2");
    EXPECT_EQ(spokenRows(sheet), (QStringList{"Delete x.txt", "Delete y.txt"}));
    EXPECT_TRUE(sheet->syncNowButton()->isEnabled());
    sheet->closeButton()->click();

    viewModel.setDeleteExtras(false);
    writeFile(source / "empty-1", "");
    writeFile(source / "empty-2", "");
    sheet = preview();
    ASSERT_TRUE(sheet);
    EXPECT_EQ(shown(sheet, "copyCountLabel"), "2");
    EXPECT_EQ(shown(sheet, "copyBytesLabel"), "") << "no byte line for empty files";
    EXPECT_EQ(shown(sheet, "deleteCountLabel"), "");
    EXPECT_EQ(spokenRows(sheet), (QStringList{"Copy empty-1", "Copy empty-2"}));
}

QString textOf(const QWidget& view, const char* name) {
    const auto* label = view.findChild<QLabel*>(QString::fromLatin1(name));
    return label && label->isVisibleTo(&view) ? label->text() : QString();
}

SyncProgress snapshot(SyncProgress::Phase phase, std::int64_t processedBytes = 0) {
    SyncProgress progress;
    progress.phase = phase;
    progress.totalBytes = 100'000'000;
    progress.processedBytes = processedBytes;
    progress.totalFiles = 10;
    progress.processedFiles = 4;
    progress.copiedFiles = 3;
    progress.copiedBytes = processedBytes;
    progress.currentFile = "photos/2025/summer.jpg";
    return progress;
}

TEST(SyncProgressView, RestsThenShowsEachPhaseOfARun) {
    test::AppHarness harness;
    HistoryEntry earlier;
    earlier.endedAt = now() - 59s;
    earlier.result = SyncResult();
    harness.storage().addHistoryEntry(earlier);
    auto& viewModel = harness.make();
    TransferRate::Clock::time_point clock;
    SyncProgressViewTiming timing;
    timing.clock = [&clock] {
        return clock;
    };
    SyncProgressView view(viewModel, timing);
    view.show();

    EXPECT_EQ(textOf(view, "progressStatusLabel"), "Ready");
    EXPECT_EQ(textOf(view, "lastSyncedLabel"), "Last synced 59 seconds ago");
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return textOf(view, "lastSyncedLabel") == "Last synced 1 minute ago"; }, 3000))
        << "the age is kept current";

    view.present(snapshot(SyncProgress::Phase::scanning));
    EXPECT_EQ(textOf(view, "waitingLabel"), "Scanning files\u2026");
    EXPECT_TRUE(view.findChild<QWidget*>(QStringLiteral("busySpinner"))->isVisibleTo(&view));

    view.present(snapshot(SyncProgress::Phase::syncing, 10'000'000));
    EXPECT_EQ(textOf(view, "percentLabel"), "10%");
    EXPECT_EQ(textOf(view, "progressCounterLabel"), "10 MB / 100 MB");
    EXPECT_EQ(textOf(view, "transferEstimateLabel"), "") << "no rate before two seconds";
    EXPECT_EQ(view.findChild<ElidedLabel*>()->fullText(), "photos/2025/summer.jpg");
    clock += 3s;
    auto later = snapshot(SyncProgress::Phase::syncing, 40'000'000);
    later.deletedFiles = 2;
    view.present(later);
    EXPECT_EQ(textOf(view, "transferEstimateLabel"), "10 MB/s \u00b7 about 10 s left");
    QStringList cells;
    for (const auto* label :
         view.findChildren<QLabel*>(QRegularExpression(QStringLiteral("^cell"))))
        if (label->isVisibleTo(&view))
            cells << label->text();
    EXPECT_EQ(cells, (QStringList{"Copied", "3 files \u00b7 40 MB", "Deleted", "2 files"}));

    view.present(snapshot(SyncProgress::Phase::verifying));
    EXPECT_EQ(textOf(view, "waitingLabel"), "Verifying copied files\u2026");

    view.present(snapshot(SyncProgress::Phase::done)); // no result yet: nothing to sum up
    for (const auto* label : view.findChildren<QLabel*>())
        EXPECT_FALSE(label->isVisibleTo(&view)) << label->objectName().toStdString();
}

TEST(SyncProgressView, HoldsSnapshotsOfAPhaseForTheRepaintAndShowsANewPhaseAtOnce) {
    test::AppHarness harness;
    auto& viewModel = harness.make();
    for (int file = 0; file < 30; ++file)
        test::writeFile(harness.root() / "source" / std::to_string(file), std::string(10'000, 'f'));
    viewModel.setSourcePath(harness.folder("source"));
    viewModel.setDestinationPath(harness.folder("destination"));
    viewModel.setBandwidthLimit(100); // about ten files, ten snapshots a second
    SyncProgressView view(viewModel, {.repaintInterval = 1h});
    view.show();
    viewModel.startSync(RunMode::sync);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !textOf(view, "progressCounterLabel").isEmpty(); }));
    const QString shown = textOf(view, "progressCounterLabel");
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return progressCounterText(viewModel.syncProgress()) != shown; }));
    EXPECT_EQ(textOf(view, "progressCounterLabel"), shown);
    viewModel.cancelSync();
    ASSERT_TRUE(harness.waitUntilIdle());
    EXPECT_EQ(textOf(view, "summaryTitleLabel"), "Cancelled");
}

} // namespace
} // namespace quillfen
