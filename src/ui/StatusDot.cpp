#include "ui/StatusDot.h"

#include <QPainter>

namespace quillfen {

StatusDot::StatusDot(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void StatusDot::setColor(const QColor& color) {
    color_ = color;
    update();
}

QSize StatusDot::sizeHint() const {
    return QSize(8, 8);
}

void StatusDot::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color_);
    const int extent = std::min(width(), height());
    painter.drawEllipse(
        QRectF((width() - extent) / 2.0, (height() - extent) / 2.0, extent, extent));
}

} // namespace quillfen
