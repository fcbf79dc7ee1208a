#pragma once

#include "app/TourStep.h"

#include <cstddef>
#include <optional>

namespace quillfen {

// The window's sheets; each is open while its flag on the view model is set.
enum class Sheet {
    exclusions,
    profiles,
    schedule,
    history,
    help,
    releaseNotes,
    terms,
    about,
    preview,
    cleanSource,
    onboarding,
};

inline constexpr std::size_t kSheetCount = 11;

// The sheet a tour step opens; none for the step about the main window.
std::optional<Sheet> sheetForStep(TourStep step);

} // namespace quillfen
