#include "ui/SheetTexts.h"

#include "app/ShellTexts.h"
#include "records/HistoryEntry.h"
#include "records/TextFormat.h"
#include "ui/WindowTexts.h"

#include <QRegularExpression>

namespace quillfen {

QString longDate(QDate date, const QLocale& locale) {
    QString format = locale.dateFormat(QLocale::LongFormat);
    // The weekday goes with whatever separates it from the rest.
    static const QRegularExpression weekday(QStringLiteral("d{4}[^dMy]*|[^dMy]*d{4}"));
    format.remove(weekday);
    return locale.toString(date, format.trimmed());
}

QString dateAndTime(const QDateTime& when, const QLocale& locale) {
    return abbreviatedDate(when.date(), locale) + QStringLiteral(", ") +
           shortTimeText(when.time(), locale);
}

QDateTime startedAt(const HistoryEntry& entry) {
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(entry.startedAt.time_since_epoch());
    return QDateTime::fromMSecsSinceEpoch(ms.count());
}

QString copiedText(std::int64_t files, std::int64_t bytes) {
    return QString::number(files) + QStringLiteral(" files \u00B7 ") +
           QString::fromStdString(formatFileSize(bytes));
}

QString itemCountText(qsizetype count) {
    return QString::number(count) +
           (count == 1 ? QStringLiteral(" item") : QStringLiteral(" items"));
}

} // namespace quillfen
