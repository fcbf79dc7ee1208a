#pragma once

#include <QString>

#include <vector>

namespace quillfen {

struct SyncProgress;
struct SyncResult;

// A byte count as the window shows it: "0 bytes", "12 KB", "3.4 MB".
QString byteCountText(qint64 bytes);

// How far a run is, from 0 to 100: by bytes when the run has any, else by
// files, else 0. Counts that outgrow their total (files grown during the
// run) never take it past 100.
double progressPercent(const SyncProgress& progress);

// "42%": the percentage cut toward zero.
QString percentText(const SyncProgress& progress);

// "1.2 MB / 3.4 MB" when the run counts bytes, else "3 / 10 files".
QString progressCounterText(const SyncProgress& progress);

// "12 files · 3.4 MB".
QString filesAndBytesText(qint64 files, qint64 bytes);

// One label and value of a run's summary.
struct SummaryCell {
    QString label;
    QString value;

    friend bool operator==(const SummaryCell&, const SummaryCell&) = default;
};

// The live block's counters: what was copied, and what was deleted once
// anything was.
std::vector<SummaryCell> liveCounterCells(const SyncProgress& progress);

// "Success", "Cancelled", "Failed", or "Preview complete" for any preview.
QString summaryTitle(const SyncResult& result);

// The summary's cells in their order; a cell that has nothing to say is left
// out.
std::vector<SummaryCell> summaryCells(const SyncResult& result);

// "Last synced 5 minutes ago" for a last sync `seconds` ago.
QString lastSyncedText(qint64 seconds);

// How long until lastSyncedText(seconds) reads differently, in seconds.
qint64 secondsUntilAgeTextChanges(qint64 seconds);

// "48.2 MB/s · about 2 min left".
QString transferEstimateText(double bytesPerSecond, double secondsLeft);

// The tray icon's tooltip while a run is going: "Quillfen · Syncing 42%";
// empty when no run is going.
QString runningToolTip(const SyncProgress& progress);

} // namespace quillfen
