#include "app/ShellTexts.h"

#include "app/StatusMenuEntry.h"
#include "records/SyncResult.h"

#include <gtest/gtest.h>

namespace quillfen {
namespace {

const QLocale kEnglish("en_US");
const QTime kMorning(9, 41);

QString utf8(const char* text) {
    return QString::fromUtf8(text);
}

QString shortTime() {
    return kEnglish.toString(kMorning, QLocale::ShortFormat);
}

TEST(ShellTexts, TimeIsTheLocalesShortTimeOfDay) {
    EXPECT_TRUE(shortTime().startsWith("9:41")) << shortTime().toStdString();
    EXPECT_TRUE(shortTime().endsWith("AM")) << shortTime().toStdString();
}

SyncResult resultOf(SyncStatus status, bool isDryRun, std::int64_t copied, std::int64_t bytes) {
    SyncResult result;
    result.status = status;
    result.isDryRun = isDryRun;
    result.filesCopied = copied;
    result.bytesTransferred = bytes;
    return result;
}

TEST(ShellTexts, LastRunLineAndTooltipShowTheOutcome) {
    const auto cancelledPreview = resultOf(SyncStatus::cancelled, true, 5, 0);
    EXPECT_EQ(lastSyncLine(cancelledPreview, kMorning, kEnglish),
              utf8("⊘ ") + shortTime() + utf8(" · Preview · 5 to copy"));
    EXPECT_EQ(lastSyncTooltip(cancelledPreview, kMorning, kEnglish),
              utf8("Quillfen · Last sync ⊘ ") + shortTime());

    const auto failedRun = resultOf(SyncStatus::failed, false, 0, 0);
    EXPECT_EQ(lastSyncLine(failedRun, kMorning, kEnglish),
              utf8("✗ ") + shortTime() + utf8(" · 0 copied · 0 bytes"));
    EXPECT_EQ(lastSyncTooltip(failedRun, kMorning, kEnglish),
              utf8("Quillfen · Last sync ✗ ") + shortTime());

    const auto success = resultOf(SyncStatus::success, false, 1234, 3'400'000);
    EXPECT_EQ(lastSyncLine(success, kMorning, kEnglish),
              utf8("✓ ") + shortTime() + utf8(" · 1234 copied · 3.4 MB"));
    EXPECT_EQ(lastSyncTooltip(success, kMorning, kEnglish),
              utf8("Quillfen · Last sync ✓ ") + shortTime());
}

TEST(ShellTexts, BackupFileNameCarriesTheDate) {
    EXPECT_EQ(suggestedBackupFileName(QDate(2026, 3, 1)), "Quillfen-settings-2026-03-01.json");
}

TEST(StatusMenu, ListsTheEntriesInOrder) {
    const auto entries = statusMenuEntries();
    QStringList titles;
    for (const auto& entry : entries)
        titles << (entry.isSeparator ? QStringLiteral("---") : entry.title);
    EXPECT_EQ(titles, (QStringList{"No syncs yet", "---", "Show Quillfen", "---", "Take the Tour",
                                   "Enable Notifications", "---", utf8("Export Settings…"),
                                   utf8("Import Settings…"), "---", "Release Notes", "Terms of Use",
                                   "---", "Quit Quillfen"}));

    using enum StatusMenuAction;
    const std::vector<StatusMenuAction> actions{none,
                                                none,
                                                showMainWindow,
                                                none,
                                                takeTour,
                                                enableNotifications,
                                                none,
                                                exportSettings,
                                                importSettings,
                                                none,
                                                openReleaseNotes,
                                                openTerms,
                                                none,
                                                quit};
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].action, actions[i]) << i;
        EXPECT_EQ(entries[i].enabled, i != 0 && !entries[i].isSeparator) << i;
        EXPECT_EQ(entries[i].shortcut.isEmpty(), i != 13) << i;
    }
    EXPECT_EQ(entries.back().shortcut, QKeySequence(Qt::CTRL | Qt::Key_Q));
}

} // namespace
} // namespace quillfen
