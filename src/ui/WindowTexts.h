#pragma once

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>

namespace quillfen {

struct SettingsBackup;
struct SyncResult;

// The header's last-run badge: "Preview: 5 to copy" or "12 copied · 3.4 MB".
QString lastRunBadgeText(const SyncResult& result);

// "Unlimited" below 1 KB/s, else "300 KB/s".
QString bandwidthText(qint64 kilobytesPerSecond);

// "Next: 9:41 AM": the scheduler's next firing, time only, short style.
QString nextFireText(const QDateTime& when, const QLocale& locale = QLocale());

// The date without the weekday and with the month's short name, in the
// locale's order: "Mar 1, 2026", "1. März 2026".
QString abbreviatedDate(QDate date, const QLocale& locale = QLocale());

// The import alert's message for the backup waiting to be confirmed.
QString importAlertMessage(const SettingsBackup& backup, const QLocale& locale = QLocale());

// The last component of a folder's path; the path itself for "/".
QString folderName(const QString& path);

} // namespace quillfen
