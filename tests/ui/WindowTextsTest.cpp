#include "ui/WindowTexts.h"

#include "records/SettingsBackup.h"
#include "records/SyncResult.h"

#include <gtest/gtest.h>

namespace quillfen {
namespace {

TEST(WindowTexts, BadgeAndBandwidth) {
    SyncResult run;
    run.filesCopied = 12;
    run.bytesTransferred = 3'400'000;
    EXPECT_EQ(lastRunBadgeText(run).toStdString(), "12 copied \u00b7 3.4 MB");
    run.isDryRun = true;
    EXPECT_EQ(lastRunBadgeText(run).toStdString(), "Preview: 12 to copy");
    for (const auto& [limit, text] : {std::pair<qint64, const char*>{0, "Unlimited"},
                                      {-5, "Unlimited"},
                                      {300, "300 KB/s"},
                                      {10000, "10000 KB/s"}})
        EXPECT_EQ(bandwidthText(limit).toStdString(), text);
    EXPECT_EQ(nextFireText(QDateTime(QDate(2026, 3, 1), QTime(9, 41)),
                           QLocale(QLocale::English, QLocale::UnitedStates))
                  .toStdString(),
              "Next: 9:41 AM");
}

TEST(WindowTexts, TheImportMessageNamesTheCountAndAShortDateInTheLocalesOrder) {
    for (const auto& [locale, date] :
         {std::pair<QLocale, const char*>{QLocale(QLocale::English, QLocale::UnitedStates),
                                          "Mar 1, 2026"},
          {QLocale(QLocale::German, QLocale::Germany), "1. M\u00e4rz 2026"},
          {QLocale::c(), "1 Mar 2026"}})
        EXPECT_EQ(abbreviatedDate(QDate(2026, 3, 1), locale).toStdString(), date);

    SettingsBackup backup;
    backup.profiles.resize(1);
    const QDateTime noon(QDate(2026, 3, 1), QTime(12, 0));
    backup.exportedAt = Date(std::chrono::milliseconds(noon.toMSecsSinceEpoch()));
    EXPECT_EQ(
        importAlertMessage(backup, QLocale(QLocale::English, QLocale::UnitedStates)).toStdString(),
        "This will replace your 1 profile(s), exclusion patterns, and schedule settings "
        "with the backup from Mar 1, 2026. This cannot be undone.");
}

} // namespace
} // namespace quillfen
