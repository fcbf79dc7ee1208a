#include "ui/WheelStepper.h"

#include <QWheelEvent>

namespace quillfen {

int WheelStepper::steps(const QWheelEvent& event) {
    if (event.phase() == Qt::ScrollMomentum) {
        if (!std::exchange(inMomentum_, true))
            accumulator_ = 0;
        return 0;
    }
    inMomentum_ = false;
    if (event.phase() == Qt::ScrollBegin)
        accumulator_ = 0;
    if (event.pixelDelta().isNull()) {
        const int vertical = event.angleDelta().y();
        return (vertical > 0) - (vertical < 0);
    }
    accumulator_ += event.pixelDelta().y();
    int steps = 0;
    for (; accumulator_ >= kPointsPerStep; accumulator_ -= kPointsPerStep)
        ++steps;
    for (; accumulator_ <= -kPointsPerStep; accumulator_ += kPointsPerStep)
        --steps;
    return steps;
}

} // namespace quillfen
