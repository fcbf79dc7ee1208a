#pragma once

#include "ui/ProgressTexts.h"

#include <QWidget>

#include <vector>

class QGridLayout;
class QLabel;

namespace quillfen {

// Rows of a label (secondary) and its value (body, fixed-width digits), as
// the live block's counters and a run's summary show them.
class CellGrid : public QWidget {
    Q_OBJECT

public:
    explicit CellGrid(QWidget* parent = nullptr);

    // Shows exactly these cells, in order.
    void setCells(const std::vector<SummaryCell>& cells);
    const std::vector<SummaryCell>& cells() const { return cells_; }

private:
    void applyPalette();

    QGridLayout* grid_;
    std::vector<std::pair<QLabel*, QLabel*>> rows_;
    std::vector<SummaryCell> cells_;
};

} // namespace quillfen
