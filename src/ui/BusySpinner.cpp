#include "ui/BusySpinner.h"

#include <QPainter>
#include <QTimerEvent>

namespace quillfen {
namespace {

constexpr int kSpokes = 12;
constexpr int kStepMilliseconds = 80;

} // namespace

BusySpinner::BusySpinner(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize BusySpinner::sizeHint() const {
    const int extent = fontMetrics().height();
    return QSize(extent, extent);
}

void BusySpinner::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal radius = std::min(width(), height()) / 2.0;
    painter.translate(width() / 2.0, height() / 2.0);
    QColor color = palette().color(QPalette::WindowText);
    QPen pen(color, std::max(1.5, radius / 5), Qt::SolidLine, Qt::RoundCap);
    // The spoke at the current step is the darkest; the ones behind it fade.
    for (int spoke = 0; spoke < kSpokes; ++spoke) {
        const int age = (step_ - spoke + kSpokes) % kSpokes;
        color.setAlphaF(1.0f - 0.8f * float(age) / kSpokes);
        pen.setColor(color);
        painter.setPen(pen);
        painter.save();
        painter.rotate(spoke * 360.0 / kSpokes);
        painter.drawLine(QPointF(0, -radius * 0.45), QPointF(0, -radius * 0.9));
        painter.restore();
    }
}

void BusySpinner::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    timer_.start(kStepMilliseconds, this);
}

void BusySpinner::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    timer_.stop();
}

void BusySpinner::timerEvent(QTimerEvent* event) {
    if (event->timerId() != timer_.timerId())
        return QWidget::timerEvent(event);
    step_ = (step_ + 1) % kSpokes;
    update();
}

} // namespace quillfen
