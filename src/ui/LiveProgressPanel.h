#pragma once

#include <QWidget>

#include <optional>

class QLabel;
class QProgressBar;

namespace quillfen {

class CellGrid;
class ElidedLabel;
struct SyncProgress;

// The live block of a run that is copying: the bar and its percentage, the
// bytes or files counter, the rate and time left once known, the file being
// copied and the copied and deleted counters.
class LiveProgressPanel : public QWidget {
    Q_OBJECT

public:
    explicit LiveProgressPanel(QWidget* parent = nullptr);

    // `estimate` is the rate and time-left text, empty while unknown.
    void display(const SyncProgress& progress, const QString& estimate);

private:
    void applyPalette();

    QProgressBar* bar_;
    QLabel* percentLabel_;
    QLabel* counterLabel_;
    QLabel* estimateLabel_;
    ElidedLabel* currentFileLabel_;
    CellGrid* counters_;
};

} // namespace quillfen
