#pragma once

#include "ui/TransferRate.h"

#include <QWidget>

#include <chrono>
#include <functional>

class QLabel;
class QStackedWidget;
class QTimer;

namespace quillfen {

class AppViewModel;
class BusySpinner;
class LiveProgressPanel;
class RunSummaryPanel;
struct SyncProgress;

struct SyncProgressViewTiming {
    // Snapshots arrive once per file; within one phase the view shows at
    // most one per interval (about 30 a second).
    std::chrono::milliseconds repaintInterval{33};
    // What the transfer rate is measured against; tests pass their own.
    std::function<TransferRate::Clock::time_point()> clock = [] {
        return TransferRate::Clock::now();
    };
};

// The main window's progress column: a resting message before the first
// run, a spinner while a run scans or verifies, the live block while it
// copies, and the summary of the last run after it, from the view model's
// syncProgress, lastResult and lastSyncDate.
class SyncProgressView : public QWidget {
    Q_OBJECT

public:
    explicit SyncProgressView(AppViewModel& viewModel, SyncProgressViewTiming timing = {},
                              QWidget* parent = nullptr);

    // Shows `progress` as if the view model had published it, with the view
    // model's last result and last sync date. The view follows the view
    // model by itself; this shows a phase a real run passes too quickly to
    // catch.
    void present(const SyncProgress& progress);

private:
    QWidget* makeIdlePage();
    QWidget* makeWaitingPage();
    void follow();
    void showIdle();
    void showWaiting(const QString& text);
    void showLive(const SyncProgress& progress, bool isNewPhase);
    void showDone();
    void applyPalette();

    AppViewModel& viewModel_;
    SyncProgressViewTiming timing_;
    QStackedWidget* pages_;
    QLabel* readyLabel_;
    QLabel* lastSyncedIcon_;
    QLabel* lastSyncedLabel_;
    QLabel* hintLabel_;
    QWidget* idlePage_;
    BusySpinner* spinner_;
    QLabel* waitingLabel_;
    QWidget* waitingPage_;
    LiveProgressPanel* live_;
    RunSummaryPanel* summary_;
    QWidget* emptyPage_;
    QTimer* repaintTimer_;
    QTimer* ageTimer_;
    TransferRate rate_;
    int shownPhase_ = -1;
};

} // namespace quillfen
