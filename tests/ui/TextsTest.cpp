#include "WindowHarness.h"
#include "records/SettingsBackup.h"
#include "records/SyncProgress.h"
#include "records/SyncResult.h"
#include "ui/ProgressTexts.h"
#include "ui/TransferRate.h"
#include "ui/WindowTexts.h"

#include <gtest/gtest.h>

namespace quillfen {
namespace {

using namespace std::chrono_literals;

SyncProgress copying(std::int64_t processedBytes, std::int64_t totalBytes,
                     std::int64_t processedFiles, std::int64_t totalFiles) {
    return {.phase = SyncProgress::Phase::syncing,
            .totalFiles = totalFiles,
            .processedFiles = processedFiles,
            .totalBytes = totalBytes,
            .processedBytes = processedBytes};
}

TEST(ProgressTexts, PercentageAndCounterComeFromBytesElseFiles) {
    const struct {
        SyncProgress progress;
        double percent;
        const char* percentText;
        const char* counter;
    } cases[] = {
        {copying(333, 1000, 1, 3), 33.3, "33%", "333 bytes / 1 KB"},
        {copying(999'999, 1'000'000, 9, 10), 99.9999, "99%",
         "1 MB / 1 MB"},                                 // cut, never rounded up
        {copying(0, 0, 1, 4), 25, "25%", "1 / 4 files"}, // empty files only
        {copying(0, 0, 0, 0), 0, "0%", "0 / 0 files"},
        {copying(1500, 1000, 2, 2), 100, "100%", "2 KB / 1 KB"}, // grown during the run
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.counter);
        EXPECT_DOUBLE_EQ(progressPercent(c.progress), c.percent);
        EXPECT_EQ(percentText(c.progress), QString::fromUtf8(c.percentText));
        EXPECT_EQ(progressCounterText(c.progress), QString::fromUtf8(c.counter));
    }
}

// A preview's title and cells are read through the window in its tests.
TEST(ProgressTexts, SummaryNamesTheRunAndLeavesOutEmptyCells) {
    SyncResult failed{.status = SyncStatus::failed,
                      .filesProcessed = 9,
                      .filesDeleted = 1,
                      .duration = 65.9,
                      .failedCount = 3,
                      .filesExcluded = 4,
                      .verificationFailures = 2};
    EXPECT_EQ(summaryTitle(failed), "Failed");
    EXPECT_EQ(summaryCells(failed), (std::vector<SummaryCell>{
                                        {"Copied", "0 files \u00b7 0 bytes"},
                                        {"Deleted", "1 files"},
                                        {"Processed", "9 files"},
                                        {"Failed", "3 files"},
                                        {"Excluded", "4 items"},
                                        {"Verify failed", "2 files"},
                                        {"Duration", "1m 5s"},
                                    }));
    failed.status = SyncStatus::cancelled;
    EXPECT_EQ(summaryTitle(failed), "Cancelled");
}

TEST(ProgressTexts, LastSyncedAgeAndWhenItNextChanges) {
    const struct {
        qint64 seconds;
        const char* text;
        qint64 untilChange;
    } cases[] = {
        {-5, "Last synced 0 seconds ago", 1}, // a clock set back
        {1, "Last synced 1 second ago", 1},
        {59, "Last synced 59 seconds ago", 1},
        {90, "Last synced 1 minute ago", 30},
        {7200, "Last synced 2 hours ago", 3600},
        {3 * 86400 + 5, "Last synced 3 days ago", 86395},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(lastSyncedText(c.seconds), QString::fromUtf8(c.text));
        EXPECT_EQ(secondsUntilAgeTextChanges(c.seconds), c.untilChange) << c.text;
    }
}

TEST(TransferRate, EstimatesOnceDataMovedForTwoSecondsFromTheRecentRate) {
    TransferRate rate;
    const TransferRate::Clock::time_point start;
    rate.add(copying(0, 0, 0, 10), start + 5s); // counts no bytes: never estimated
    EXPECT_FALSE(rate.estimate());
    rate.add(copying(0, 100'000'000, 0, 10), start);
    rate.add(copying(10'000'000, 100'000'000, 1, 10), start + 1s);
    EXPECT_FALSE(rate.estimate()) << "data has moved for one second only";
    rate.add(copying(30'000'000, 100'000'000, 3, 10), start + 3s);
    ASSERT_TRUE(rate.estimate());
    EXPECT_DOUBLE_EQ(rate.estimate()->bytesPerSecond, 10'000'000);
    EXPECT_DOUBLE_EQ(rate.estimate()->secondsLeft, 7);

    // Only the last ten seconds count: a slower stretch takes over.
    rate.add(copying(40'000'000, 100'000'000, 4, 10), start + 13s);
    rate.add(copying(50'000'000, 100'000'000, 5, 10), start + 23s);
    EXPECT_DOUBLE_EQ(rate.estimate()->bytesPerSecond, 1'000'000);
    rate.add(copying(50'000'000, 100'000'000, 5, 10), start + 40s);
    EXPECT_FALSE(rate.estimate()) << "stalled";
    rate.reset();
    rate.add(copying(60'000'000, 100'000'000, 6, 10), start + 41s);
    EXPECT_FALSE(rate.estimate());

    EXPECT_EQ(transferEstimateText(48.2e6, 118), "48.2 MB/s \u00b7 about 2 min left");
    EXPECT_EQ(transferEstimateText(1500, 11), "2 KB/s \u00b7 about 15 s left");
    EXPECT_EQ(transferEstimateText(1e6, 2 * 3600 + 300), "1 MB/s \u00b7 about 2 h 5 min left");
}

// The common cases are read through the window in its tests.
TEST(WindowTexts, CasesARunThroughTheWindowDoesNotReach) {
    EXPECT_EQ(bandwidthText(-5), "Unlimited");
    EXPECT_EQ(runningToolTip({.phase = SyncProgress::Phase::scanning}),
              "Quillfen \u00b7 Scanning files\u2026");
    EXPECT_EQ(nextFireText(QDateTime(QDate(2026, 3, 1), QTime(9, 41)),
                           QLocale(QLocale::English, QLocale::UnitedStates)),
              "Next: 9:41 AM");
}

TEST(WindowTexts, TheImportMessageNamesTheCountAndAShortDateInTheLocalesOrder) {
    for (const auto& [locale, date] :
         {std::pair<QLocale, const char*>{QLocale(QLocale::English, QLocale::UnitedStates),
                                          "Mar 1, 2026"},
          {QLocale(QLocale::German, QLocale::Germany), "1. M\u00e4rz 2026"},
          {QLocale::c(), "1 Mar 2026"}})
        EXPECT_EQ(abbreviatedDate(QDate(2026, 3, 1), locale), date);

    SettingsBackup backup;
    backup.profiles.resize(1);
    const QDateTime noon(QDate(2026, 3, 1), QTime(12, 0));
    backup.exportedAt = Date(std::chrono::milliseconds(noon.toMSecsSinceEpoch()));
    EXPECT_EQ(importAlertMessage(backup, QLocale(QLocale::English, QLocale::UnitedStates)),
              "This will replace your 1 profile(s), exclusion patterns, and schedule settings "
              "with the backup from Mar 1, 2026. This cannot be undone.");
}

} // namespace
} // namespace quillfen
