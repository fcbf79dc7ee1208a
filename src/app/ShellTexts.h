#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <QTime>

namespace quillfen {

struct SyncResult;

// "12 copied · 3.4 MB": what a real run moved, as the status menu and the
// window's badge both say it.
QString copiedSummary(const SyncResult& result);

// A time of day in the locale's short style, in hours and minutes only:
// "9:41 AM", "09:41". The C locale's short style would add the seconds.
QString shortTimeText(QTime time, const QLocale& locale = QLocale());

// The status menu's last-run line: mark, time of day, summary, e.g.
// "✓ 9:41 AM · 12 copied · 3.4 MB" or "⊘ 9:41 AM · Preview · 5 to copy".
QString lastSyncLine(const SyncResult& result, QTime now, const QLocale& locale = QLocale());

// The tray icon's tooltip after a run: "Quillfen · Last sync ✓ 9:41 AM".
QString lastSyncTooltip(const SyncResult& result, QTime now, const QLocale& locale = QLocale());

// "Quillfen-settings-2026-03-01.json" for a backup exported on `today`.
QString suggestedBackupFileName(QDate today);

} // namespace quillfen
