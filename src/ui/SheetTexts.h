#pragma once

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>

#include <cstdint>

namespace quillfen {

struct HistoryEntry;

// The date with the month's full name and no weekday, in the locale's
// order: "December 6, 2026", "6. Dezember 2026".
QString longDate(QDate date, const QLocale& locale = QLocale());

// "Dec 6, 2026, 2:05 PM": the abbreviated date and the short time.
QString dateAndTime(const QDateTime& when, const QLocale& locale = QLocale());

// When the run started, in local time.
QDateTime startedAt(const HistoryEntry& entry);

// "12 files · 3.4 MB"
QString copiedText(std::int64_t files, std::int64_t bytes);

// "1 item", "3 items"
QString itemCountText(qsizetype count);

} // namespace quillfen
