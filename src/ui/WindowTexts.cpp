#include "ui/WindowTexts.h"

#include "app/ShellTexts.h"
#include "records/SettingsBackup.h"
#include "records/SyncResult.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace quillfen {

QString lastRunBadgeText(const SyncResult& result) {
    if (result.isDryRun)
        return QStringLiteral("Preview: ") + QString::number(result.filesCopied) +
               QStringLiteral(" to copy");
    return copiedSummary(result);
}

QString bandwidthText(qint64 kilobytesPerSecond) {
    if (kilobytesPerSecond < 1)
        return QStringLiteral("Unlimited");
    return QString::number(kilobytesPerSecond) + QStringLiteral(" KB/s");
}

QString nextFireText(const QDateTime& when, const QLocale& locale) {
    return QStringLiteral("Next: ") + shortTimeText(when.time(), locale);
}

QString abbreviatedDate(QDate date, const QLocale& locale) {
    QString format = locale.dateFormat(QLocale::LongFormat);
    // The weekday goes with whatever separates it from the rest.
    static const QRegularExpression weekday(QStringLiteral("d{4}[^dMy]*|[^dMy]*d{4}"));
    format.remove(weekday);
    format.replace(QStringLiteral("MMMM"), QStringLiteral("MMM"));
    return locale.toString(date, format.trimmed());
}

QString importAlertMessage(const SettingsBackup& backup, const QLocale& locale) {
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(backup.exportedAt.time_since_epoch());
    const QDate exported = QDateTime::fromMSecsSinceEpoch(ms.count()).date();
    return QStringLiteral("This will replace your ") + QString::number(backup.profiles.size()) +
           QStringLiteral(" profile(s), exclusion patterns, and schedule settings with the "
                          "backup from ") +
           abbreviatedDate(exported, locale) + QStringLiteral(". This cannot be undone.");
}

QString folderName(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    return name.isEmpty() ? path : name;
}

} // namespace quillfen
