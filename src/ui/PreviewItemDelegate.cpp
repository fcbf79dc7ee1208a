#include "ui/PreviewItemDelegate.h"

#include "ui/NamedColors.h"
#include "ui/PreviewListModel.h"
#include "ui/ProgressTexts.h"
#include "ui/SymbolIcons.h"
#include "ui/Typography.h"

#include <QApplication>
#include <QPainter>

namespace quillfen {
namespace {

constexpr int kPadding = 6;

} // namespace

PreviewItemDelegate::PreviewItemDelegate(QWidget* view) : QStyledItemDelegate(view) {
    refreshLook(*view);
}

void PreviewItemDelegate::refreshLook(const QWidget& view) {
    const QFont base = QApplication::font();
    pathFont_ = monospacedFontFor(TextStyle::caption, base);
    sizeFont_ = fontFor(TextStyle::caption2, base);
    sizeColor_ = secondaryTextColor(view.palette());
    iconExtent_ = QFontMetrics(fontFor(TextStyle::caption, base)).height();
    rowHeight_ = std::max(QFontMetrics(pathFont_).height(), iconExtent_) + kPadding;
    // Drawn once here, not for every row.
    const qreal ratio = view.devicePixelRatioF();
    const QSize extent(iconExtent_, iconExtent_);
    copyIcon_ = symbolIcon(u"arrow.down.circle", namedColor(NamedColor::blue, view.palette()))
                    .pixmap(extent, ratio);
    deleteIcon_ = symbolIcon(u"minus.circle", namedColor(NamedColor::red, view.palette()))
                      .pixmap(extent, ratio);
}

void PreviewItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    QStyleOptionViewItem panel = option;
    initStyleOption(&panel, index);
    panel.text.clear();
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &panel, painter, widget);

    const bool selected = option.state.testFlag(QStyle::State_Selected);
    const QRect row = option.rect.adjusted(kPadding, 0, -kPadding, 0);
    const bool isDeletion = index.data(PreviewListModel::isDeletionRole).toBool();
    const QRect iconRect(row.left(), row.center().y() - iconExtent_ / 2, iconExtent_, iconExtent_);
    painter->drawPixmap(iconRect, isDeletion ? deleteIcon_ : copyIcon_);

    painter->save();
    int textRight = row.right();
    const qint64 size = index.data(PreviewListModel::sizeRole).toLongLong();
    if (size >= 1) {
        const QString sizeText = byteCountText(size);
        const QFontMetrics metrics(sizeFont_);
        const int width = metrics.horizontalAdvance(sizeText);
        painter->setFont(sizeFont_);
        painter->setPen(selected ? option.palette.color(QPalette::HighlightedText) : sizeColor_);
        painter->drawText(QRect(row.right() - width, row.top(), width, row.height()),
                          Qt::AlignRight | Qt::AlignVCenter, sizeText);
        textRight -= width + kPadding * 2;
    }
    const QRect pathRect(iconRect.right() + kPadding, row.top(),
                         textRight - iconRect.right() - kPadding, row.height());
    const QString path = index.data(Qt::DisplayRole).toString();
    painter->setFont(pathFont_);
    painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter->drawText(pathRect, Qt::AlignLeft | Qt::AlignVCenter,
                      QFontMetrics(pathFont_).elidedText(path, Qt::ElideMiddle, pathRect.width()));
    painter->restore();
}

QSize PreviewItemDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
    return QSize(200, rowHeight_);
}

} // namespace quillfen
