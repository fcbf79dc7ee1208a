#include "ui/CellGrid.h"

#include "ui/NamedColors.h"
#include "ui/PaletteFollower.h"
#include "ui/Typography.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>

namespace quillfen {

CellGrid::CellGrid(QWidget* parent) : QWidget(parent), grid_(new QGridLayout(this)) {
    grid_->setContentsMargins(0, 0, 0, 0);
    grid_->setHorizontalSpacing(16);
    grid_->setVerticalSpacing(6);
    grid_->setColumnStretch(1, 1);
    followPalette(this, [this] { applyPalette(); });
}

void CellGrid::setCells(const std::vector<SummaryCell>& cells) {
    if (cells == cells_)
        return;
    cells_ = cells;
    // Rows are made once and reused: the live counters change many times a
    // second.
    while (rows_.size() < cells.size()) {
        auto* label = new QLabel;
        label->setObjectName(QStringLiteral("cellLabel"));
        applyTextStyle(label, TextStyle::subheadline);
        applyTextColor(label, secondaryTextColor());
        auto* value = new QLabel;
        value->setObjectName(QStringLiteral("cellValueLabel"));
        applyTextStyle(value, TextStyle::body);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        const int row = int(rows_.size());
        grid_->addWidget(label, row, 0, Qt::AlignLeft | Qt::AlignTop);
        grid_->addWidget(value, row, 1, Qt::AlignRight | Qt::AlignTop);
        rows_.emplace_back(label, value);
    }
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        const bool shown = row < cells.size();
        rows_[row].first->setVisible(shown);
        rows_[row].second->setVisible(shown);
        if (!shown)
            continue;
        rows_[row].first->setText(cells[row].label);
        rows_[row].second->setText(cells[row].value);
    }
}

void CellGrid::applyPalette() {
    for (const auto& row : rows_)
        applyTextColor(row.first, secondaryTextColor());
}

} // namespace quillfen
