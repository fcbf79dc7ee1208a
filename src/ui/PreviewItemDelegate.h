#pragma once

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QStyledItemDelegate>

namespace quillfen {

// Draws one row of a preview's plan: the action's symbol, the relative path
// in a fixed-width font cut in the middle, and the size of a copy at the
// row's end. Every row has the same height, so the list lays out a plan of
// any length at once.
class PreviewItemDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    explicit PreviewItemDelegate(QWidget* view);

    // Takes the fonts and colours of `view` again (after a palette change).
    void refreshLook(const QWidget& view);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    QFont pathFont_;
    QFont sizeFont_;
    QColor sizeColor_;
    QPixmap copyIcon_;
    QPixmap deleteIcon_;
    int iconExtent_ = 14;
    int rowHeight_ = 22;
};

} // namespace quillfen
