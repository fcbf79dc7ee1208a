#include "app/Sheet.h"

namespace quillfen {

std::optional<Sheet> sheetForStep(TourStep step) {
    switch (step) {
    case TourStep::exclusions:
        return Sheet::exclusions;
    case TourStep::profiles:
        return Sheet::profiles;
    case TourStep::schedule:
        return Sheet::schedule;
    case TourStep::cleanSource:
        return Sheet::cleanSource;
    case TourStep::syncAndPreview:
        return std::nullopt;
    case TourStep::historyAndBackup:
        return Sheet::history;
    }
    return std::nullopt;
}

} // namespace quillfen
