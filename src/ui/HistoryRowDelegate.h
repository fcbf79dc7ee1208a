#pragma once

#include <QStyledItemDelegate>

namespace quillfen {

// Draws a run of the history list: its status dot, the source folder's name
// and under it the date; the chosen run on a faint rounded backing.
class HistoryRowDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

} // namespace quillfen
