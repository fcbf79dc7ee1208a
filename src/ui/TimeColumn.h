#pragma once

#include "ui/WheelStepper.h"

#include <QWidget>

class QLabel;
class QToolButton;
class QVariantAnimation;

namespace quillfen {

// One column of the schedule's time: a chevron up, the value as two digits,
// a chevron down. Chevrons, the scroll wheel, a touchpad and the Up and
// Down keys step the value by one, wrapping from the maximum to 0 and back.
// A click makes the column the active one: outlined in the accent colour
// and drawn a little larger, with a short spring.
class TimeColumn : public QWidget {
    Q_OBJECT

public:
    // `unit` names the column for screen readers: "Hour", "Minute".
    TimeColumn(const QString& unit, int maximum, QWidget* parent = nullptr);

    int value() const { return value_; }
    int maximum() const { return maximum_; }
    void setValue(int value);
    // Moves by `delta`, wrapping at both ends.
    void step(int delta);

    bool isActive() const { return active_; }
    void setActive(bool active);

    QLabel* valueLabel() const { return valueLabel_; }

signals:
    void valueChanged(int value);
    // The user clicked the column.
    void activated();

protected:
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void showScale(double scale);
    void reserveRoomForActive();

    int maximum_;
    int value_ = 0;
    bool active_ = false;
    WheelStepper stepper_;
    QToolButton* upButton_;
    QLabel* valueLabel_;
    QToolButton* downButton_;
    QVariantAnimation* scaleAnimation_;
};

} // namespace quillfen
