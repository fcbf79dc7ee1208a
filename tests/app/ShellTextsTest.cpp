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

TEST(ShellTexts, LastRunLineForACancelledPreview) {
    SyncResult result;
    result.status = SyncStatus::cancelled;
    result.isDryRun = true;
    result.filesCopied = 5;
    EXPECT_EQ(lastSyncLine(result, kMorning, kEnglish),
              utf8("⊘ ") + shortTime() + utf8(" · Preview · 5 to copy"));
    EXPECT_EQ(lastSyncTooltip(result, kMorning, kEnglish),
              utf8("Quillfen · Last sync ⊘ ") + shortTime());
}

TEST(ShellTexts, LastRunLineForAFailedRunThatCopiedNothing) {
    SyncResult result;
    result.status = SyncStatus::failed;
    result.errorMessage = "Source not found: /gone";
    EXPECT_EQ(lastSyncLine(result, kMorning, kEnglish),
              utf8("✗ ") + shortTime() + utf8(" · 0 copied · 0 bytes"));
    EXPECT_EQ(lastSyncTooltip(result, kMorning, kEnglish),
              utf8("Quillfen · Last sync ✗ ") + shortTime());
}

TEST(ShellTexts, LastRunLineForASuccessfulRun) {
    SyncResult result;
    result.filesCopied = 1234;
    result.bytesTransferred = 3'400'000;
    EXPECT_EQ(lastSyncLine(result, QTime(21, 5), kEnglish),
              utf8("✓ ") + kEnglish.toString(QTime(21, 5), QLocale::ShortFormat) +
                  utf8(" · 1234 copied · 3.4 MB"));
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
