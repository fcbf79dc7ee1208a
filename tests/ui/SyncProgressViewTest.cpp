#include "ui/SyncProgressView.h"

#include "AppHarness.h"
#include "ui/ElidedLabel.h"
#include "ui/ProgressTexts.h"

#include <QLabel>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace quillfen {
namespace {

using namespace std::chrono_literals;

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
