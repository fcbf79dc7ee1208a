#include "ui/TimeColumn.h"

#include "ui/NamedColors.h"
#include "ui/SheetParts.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QEasingCurve>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>
#include <QVariantAnimation>
#include <QWheelEvent>

#include <cstdlib>

namespace quillfen {
namespace {

constexpr double kActiveScale = 1.12;

// Screen readers meet a column as what it is, a spin button with a value
// from 0 to its maximum, and hear the value when it changes.
class TimeColumnAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit TimeColumnAccessible(TimeColumn* column)
        : QAccessibleWidget(column, QAccessible::SpinBox) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Value ? column()->valueLabel()->text()
                                          : QAccessibleWidget::text(kind);
    }
    QVariant currentValue() const override { return column()->value(); }
    void setCurrentValue(const QVariant& value) override { column()->setValue(value.toInt()); }
    QVariant maximumValue() const override { return column()->maximum(); }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }

private:
    TimeColumn* column() const { return static_cast<TimeColumn*>(widget()); }
};

QAccessibleInterface* accessibleTimeColumn(const QString& className, QObject* object) {
    if (className == QLatin1String(TimeColumn::staticMetaObject.className()) && object &&
        object->isWidgetType())
        return new TimeColumnAccessible(static_cast<TimeColumn*>(object));
    return nullptr;
}

} // namespace

TimeColumn::TimeColumn(const QString& unit, int maximum, QWidget* parent)
    : QWidget(parent), maximum_(maximum),
      upButton_(makeIconButton(QStringLiteral("chevron.up"), Tint::secondary,
                               unit + QStringLiteral(" up"), "upButton")),
      valueLabel_(new QLabel),
      downButton_(makeIconButton(QStringLiteral("chevron.down"), Tint::secondary,
                                 unit + QStringLiteral(" down"), "downButton")),
      scaleAnimation_(new QVariantAnimation(this)) {
    static const bool accessible = [] {
        QAccessible::installFactory(accessibleTimeColumn);
        return true;
    }();
    (void)accessible;
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(unit);
    valueLabel_->setObjectName(QStringLiteral("timeValueLabel"));
    valueLabel_->setAlignment(Qt::AlignCenter);
    valueLabel_->setAccessibleDescription(unit);
    showScale(1.0);
    reserveRoomForActive();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 4, 8, 4);
    layout->setSpacing(0);
    layout->addWidget(upButton_, 0, Qt::AlignHCenter);
    layout->addWidget(valueLabel_);
    layout->addWidget(downButton_, 0, Qt::AlignHCenter);

    scaleAnimation_->setDuration(220);
    scaleAnimation_->setEasingCurve(QEasingCurve::OutBack);
    connect(scaleAnimation_, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& scale) { showScale(scale.toDouble()); });
    connect(upButton_, &QToolButton::clicked, this, [this] { step(1); });
    connect(downButton_, &QToolButton::clicked, this, [this] { step(-1); });
    setValue(0);
}

void TimeColumn::setValue(int value) {
    value_ = std::clamp(value, 0, maximum_);
    valueLabel_->setText(QStringLiteral("%1").arg(value_, 2, 10, QLatin1Char('0')));
    QAccessibleValueChangeEvent announcement(this, value_);
    QAccessible::updateAccessibility(&announcement);
    emit valueChanged(value_);
}

void TimeColumn::step(int delta) {
    int next = value_ + delta;
    if (next > maximum_)
        next = 0;
    else if (next < 0)
        next = maximum_;
    setValue(next);
}

void TimeColumn::setActive(bool active) {
    if (std::exchange(active_, active) == active)
        return;
    const double current = valueLabel_->property("scale").toDouble();
    scaleAnimation_->stop();
    scaleAnimation_->setStartValue(current);
    scaleAnimation_->setEndValue(active ? kActiveScale : 1.0);
    scaleAnimation_->start();
    update();
}

void TimeColumn::reserveRoomForActive() {
    // The value grows while active; its room does not, so neither the
    // chevrons nor the rest of the sheet move during the spring.
    QFont largest = fontFor(TextStyle::largeTitle, font());
    largest.setPointSizeF(largest.pointSizeF() * kActiveScale);
    const QFontMetrics metrics(largest);
    valueLabel_->setMinimumSize(metrics.horizontalAdvance(QStringLiteral("00")), metrics.height());
}

void TimeColumn::showScale(double scale) {
    valueLabel_->setProperty("scale", scale);
    QFont large = fontFor(TextStyle::largeTitle, font());
    large.setPointSizeF(large.pointSizeF() * scale);
    valueLabel_->setFont(large);
}

void TimeColumn::wheelEvent(QWheelEvent* event) {
    // One unit at a time, so a fast flick wraps like single steps do.
    const int steps = stepper_.steps(*event);
    for (int i = 0; i < std::abs(steps); ++i)
        step(steps > 0 ? 1 : -1);
    event->accept();
}

void TimeColumn::mousePressEvent(QMouseEvent* event) {
    event->accept();
    emit activated();
}

void TimeColumn::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Up)
        step(1);
    else if (event->key() == Qt::Key_Down)
        step(-1);
    else
        QWidget::keyPressEvent(event);
}

void TimeColumn::paintEvent(QPaintEvent*) {
    if (!active_ && !hasFocus())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor outline = accentColor(palette());
    if (!active_)
        outline.setAlphaF(0.45f);
    painter.setPen(QPen(outline, 2));
    painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 8, 8);
}

void TimeColumn::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        showScale(valueLabel_->property("scale").toDouble());
        reserveRoomForActive();
    }
}

} // namespace quillfen
