#pragma once

#include "records/SyncResult.h"

#include <QWidget>

#include <optional>

class QLabel;

namespace quillfen {

class CellGrid;

// The summary of the last run: its status symbol and title, its figures and
// the error that failed it.
class RunSummaryPanel : public QWidget {
    Q_OBJECT

public:
    explicit RunSummaryPanel(QWidget* parent = nullptr);

    void display(const SyncResult& result);

private:
    void applyColors();

    QLabel* iconLabel_;
    QLabel* titleLabel_;
    CellGrid* cells_;
    QLabel* errorLabel_;
    std::optional<SyncResult> shown_;
};

} // namespace quillfen
