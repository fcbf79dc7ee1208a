#include "ui/HistoryRowDelegate.h"

#include "ui/HistoryListModel.h"
#include "ui/Typography.h"

#include <QPainter>
#include <QPainterPath>

namespace quillfen {
namespace {

constexpr int kPadding = 6;
constexpr int kDot = 8;

QFont nameFont(const QFont& base) {
    QFont font = fontFor(TextStyle::callout, base);
    font.setWeight(QFont::Medium);
    return font;
}

} // namespace

void HistoryRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const QPalette& palette = option.palette;
    const QRectF row = QRectF(option.rect).adjusted(2, 1, -2, -1);
    if (option.state & QStyle::State_Selected) {
        QColor backing = palette.color(QPalette::Text);
        backing.setAlphaF(0.1f);
        QPainterPath shape;
        shape.addRoundedRect(row, 6, 6);
        painter->fillPath(shape, backing);
    }
    const auto tint = Tint(index.data(HistoryListModel::dotTintRole).toInt());
    painter->setPen(Qt::NoPen);
    painter->setBrush(tintColor(tint, palette));
    painter->drawEllipse(QRectF(row.left() + kPadding, row.center().y() - kDot / 2.0, kDot, kDot));

    const QFont name = nameFont(option.font);
    const QFont date = fontFor(TextStyle::caption, option.font);
    const QFontMetrics nameMetrics(name);
    const QFontMetrics dateMetrics(date);
    const int left = int(row.left()) + kPadding * 2 + kDot;
    const int width = int(row.right()) - left - kPadding;
    const int top = int(row.top()) + kPadding;
    painter->setPen(palette.color(QPalette::Text));
    painter->setFont(name);
    painter->drawText(QRect(left, top, width, nameMetrics.height()),
                      Qt::AlignLeft | Qt::AlignVCenter,
                      nameMetrics.elidedText(index.data().toString(), Qt::ElideMiddle, width));
    painter->setPen(tintColor(Tint::secondary, palette));
    painter->setFont(date);
    painter->drawText(QRect(left, top + nameMetrics.height(), width, dateMetrics.height()),
                      Qt::AlignLeft | Qt::AlignVCenter,
                      dateMetrics.elidedText(index.data(HistoryListModel::dateTextRole).toString(),
                                             Qt::ElideRight, width));
    painter->restore();
}

QSize HistoryRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    const int height = QFontMetrics(nameFont(option.font)).height() +
                       QFontMetrics(fontFor(TextStyle::caption, option.font)).height();
    return QSize(160, height + kPadding * 2 + 2);
}

} // namespace quillfen
