#pragma once

#include <optional>

namespace quillfen {

// The feature tour's steps in order; the codes are the enumerators' values.
enum class TourStep {
    exclusions = 0,
    profiles,
    schedule,
    cleanSource,
    syncAndPreview,
    historyAndBackup
};

inline constexpr int kTourStepCount = 6;

// The step after `step`; none after the last one.
inline std::optional<TourStep> nextTourStep(TourStep step) {
    if (step == TourStep::historyAndBackup)
        return std::nullopt;
    return static_cast<TourStep>(static_cast<int>(step) + 1);
}

// What the tour banner says on a step (UTF-8).
const char* tourStepTitle(TourStep step);
const char* tourStepBody(TourStep step);

} // namespace quillfen
