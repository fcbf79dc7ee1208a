#pragma once

#include <QObject>
#include <QString>

#ifndef Q_MOC_RUN
#include "app/BackgroundRunner.h"
#include "cleanup/CleanSourceScanner.h"
#include "cleanup/TrashService.h"

#include <optional>
#include <vector>
#endif

namespace quillfen {

class AppViewModel;

// The state of one opening of the clean-source sheet: the scan for matches,
// the confirmation and the move to the Trash. Both the scan and the move run
// on worker threads; their results are applied on the main thread and
// dropped once the sheet has closed. A move goes on after the sheet closes
// and still refreshes the source's statistics when it is done.
class CleanSourceSession : public QObject {
    Q_OBJECT

public:
    CleanSourceSession(AppViewModel& viewModel, const TrashService& trash,
                       QObject* parent = nullptr);

    // Scans the view model's source with its enabled rules. With no source or
    // no enabled rule there is nothing to scan.
    void startScan();
    void requestMove() { setConfirmMove(true); }
    void setConfirmMove(bool shown);
    // Moves every listed item to the Trash, then refreshes the source's
    // statistics on the view model. Only the first call on a session moves.
    void moveToTrash();

    const std::vector<CleanItem>& items() const { return items_; }
    bool isScanning() const { return isScanning_; }
    bool isMoving() const { return isMoving_; }
    bool confirmMove() const { return confirmMove_; }
    std::optional<int> movedCount() const { return movedCount_; }
    int failedCount() const { return failedCount_; }

    std::int64_t totalBytes() const;
    // "2 items · 1.2 MB"
    QString summaryText() const;

signals:
    void changed();

private:
    struct MoveCounts {
        int moved = 0;
        int failed = 0;
    };

    AppViewModel& viewModel_;
    TrashService trash_;
    std::vector<CleanItem> items_;
    bool isScanning_ = true;
    bool isMoving_ = false;
    bool confirmMove_ = false;
    std::optional<int> movedCount_;
    int failedCount_ = 0;
    BackgroundRunner runner_;
};

} // namespace quillfen
