#include "app/ShellTexts.h"

#include "records/SyncResult.h"
#include "records/TextFormat.h"

#include <QRegularExpression>

namespace quillfen {
namespace {

QString statusMark(SyncStatus status) {
    switch (status) {
    case SyncStatus::success:
        return QStringLiteral("\u2713");
    case SyncStatus::cancelled:
        return QStringLiteral("\u2298");
    case SyncStatus::failed:
        break;
    }
    return QStringLiteral("\u2717");
}

QString runSummary(const SyncResult& result) {
    if (result.isDryRun)
        return QStringLiteral("Preview \u00b7 ") + QString::number(result.filesCopied) +
               QStringLiteral(" to copy");
    return copiedSummary(result);
}

QString markAndTime(const SyncResult& result, QTime now, const QLocale& locale) {
    return statusMark(result.status) + u' ' + shortTimeText(now, locale);
}

} // namespace

QString shortTimeText(QTime time, const QLocale& locale) {
    QString format = locale.timeFormat(QLocale::ShortFormat);
    // The seconds go with the separator before them, and any fraction with them.
    static const QRegularExpression seconds(QStringLiteral("[^\\w']?s{1,2}([^\\w']?z{1,3})?"));
    format.remove(seconds);
    return locale.toString(time, format.trimmed());
}

QString copiedSummary(const SyncResult& result) {
    return QString::number(result.filesCopied) + QStringLiteral(" copied \u00b7 ") +
           QString::fromStdString(formatFileSize(result.bytesTransferred));
}

QString lastSyncLine(const SyncResult& result, QTime now, const QLocale& locale) {
    return markAndTime(result, now, locale) + QStringLiteral(" \u00b7 ") + runSummary(result);
}

QString lastSyncTooltip(const SyncResult& result, QTime now, const QLocale& locale) {
    return QStringLiteral("Quillfen \u00b7 Last sync ") + markAndTime(result, now, locale);
}

QString suggestedBackupFileName(QDate today) {
    return QStringLiteral("Quillfen-settings-") + today.toString(u"yyyy-MM-dd") +
           QStringLiteral(".json");
}

} // namespace quillfen
