#pragma once

class QWheelEvent;

namespace quillfen {

// Turns scrolling into steps of one, for a value that moves one unit at a
// time. A classic wheel (no pixel delta) steps once per event by the sign of
// its vertical angle, however far it turned. A precise device (touchpad,
// smooth mouse) steps once per 8 points of vertical movement, several times
// from one fast event, keeping the rest for the next event; a new gesture
// starts from nothing. Momentum (inertia) after the fingers lift never
// steps. Positive steps are upward.
class WheelStepper {
public:
    static constexpr double kPointsPerStep = 8.0;

    // The steps `event` makes.
    int steps(const QWheelEvent& event);
    // The points of precise movement not yet turned into a step.
    double remainder() const { return accumulator_; }

private:
    double accumulator_ = 0;
    bool inMomentum_ = false;
};

} // namespace quillfen
