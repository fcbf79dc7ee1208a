#include "app/ShellTexts.h"

#include "records/SyncResult.h"

#include <gtest/gtest.h>

namespace quillfen {
namespace {

TEST(ShellTexts, LastRunLineAndTooltipShowTheOutcome) {
    const QLocale english("en_US");
    const QTime morning(9, 41);
    const QString time = english.toString(morning, QLocale::ShortFormat);
    struct Case {
        SyncStatus status;
        bool isDryRun;
        std::int64_t copied, bytes;
        const char *line, *tooltip;
    };
    const Case cases[] = {
        {SyncStatus::cancelled, true, 5, 0, "⊘ %1 · Preview · 5 to copy", "⊘ %1"},
        {SyncStatus::failed, false, 0, 0, "✗ %1 · 0 copied · 0 bytes", "✗ %1"},
        {SyncStatus::success, false, 1234, 3'400'000, "✓ %1 · 1234 copied · 3.4 MB", "✓ %1"},
    };
    for (const auto& c : cases) {
        SyncResult result;
        result.status = c.status;
        result.isDryRun = c.isDryRun;
        result.filesCopied = c.copied;
        result.bytesTransferred = c.bytes;
        EXPECT_EQ(lastSyncLine(result, morning, english), QString::fromUtf8(c.line).arg(time));
        EXPECT_EQ(lastSyncTooltip(result, morning, english),
                  "Quillfen · Last sync " + QString::fromUtf8(c.tooltip).arg(time));
    }
    EXPECT_EQ(suggestedBackupFileName(QDate(2026, 3, 1)), "Quillfen-settings-2026-03-01.json");
}

} // namespace
} // namespace quillfen
