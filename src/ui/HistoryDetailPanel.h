#pragma once

#include <QWidget>

#ifndef Q_MOC_RUN
#include "records/HistoryEntry.h"
#endif

#include <array>

class QLabel;
class QPushButton;
class QToolButton;

namespace quillfen {

class AppViewModel;
class ElidedLabel;

// The right-hand side of the history sheet for one run: its kind and
// status, its figures, and the buttons that open its log, copy its source
// path and (after asking) delete it.
class HistoryDetailPanel : public QWidget {
    Q_OBJECT

public:
    explicit HistoryDetailPanel(AppViewModel& viewModel, QWidget* parent = nullptr);

    void showEntry(const HistoryEntry& entry);

private:
    enum Row { date, duration, source, destination, copied, deleted, error, rowCount };

    void showRow(Row row, const QString& value);
    void openLog();
    void copySourcePath();
    void confirmDelete();

    AppViewModel& viewModel_;
    HistoryEntry entry_;
    QLabel* kindBadge_;
    QLabel* statusLabel_;
    std::array<QLabel*, rowCount> names_{};
    std::array<ElidedLabel*, rowCount> values_{};
    QPushButton* openLogButton_;
    QPushButton* copySourceButton_;
    QToolButton* deleteButton_;
};

} // namespace quillfen
