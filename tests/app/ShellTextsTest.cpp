#include "app/ShellTexts.h"

#include "records/SyncResult.h"

#include <gtest/gtest.h>
#include <tuple>

namespace quillfen {
namespace {

TEST(ShellTexts, LastRunLineAndTooltipShowTheOutcome) {
    const QLocale english("en_US");
    const QTime morning(9, 41);
    const QString time = english.toString(morning, QLocale::ShortFormat);
    const std::tuple<SyncResult, const char*, const char*> cases[] = {
        {{.status = SyncStatus::cancelled, .filesCopied = 5, .isDryRun = true},
         "⊘ %1 · Preview · 5 to copy",
         "⊘ %1"},
        {{.status = SyncStatus::failed}, "✗ %1 · 0 copied · 0 bytes", "✗ %1"},
        {{.filesCopied = 1234, .bytesTransferred = 3'400'000},
         "✓ %1 · 1234 copied · 3.4 MB",
         "✓ %1"},
    };
    for (const auto& [result, line, tooltip] : cases) {
        EXPECT_EQ(lastSyncLine(result, morning, english), QString::fromUtf8(line).arg(time));
        EXPECT_EQ(lastSyncTooltip(result, morning, english),
                  "Quillfen · Last sync " + QString::fromUtf8(tooltip).arg(time));
    }
    EXPECT_EQ(suggestedBackupFileName(QDate(2026, 3, 1)), "Quillfen-settings-2026-03-01.json");

    // Hours and minutes only, also where the locale's short style has seconds.
    for (const auto& [locale, text] : {std::pair{QLocale::c(), "17:30"},
                                       {QLocale("de_DE"), "17:30"},
                                       {QLocale("fi_FI"), "17.30"}})
        EXPECT_EQ(shortTimeText(QTime(17, 30, 12), locale), text);
}

} // namespace
} // namespace quillfen
