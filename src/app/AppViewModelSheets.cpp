#include "app/AppViewModel.h"

#include <QTimer>

// The view model's sheets and the tour that opens them one after another.

namespace quillfen {

bool AppViewModel::isShown(Sheet sheet) const {
    return shownSheets_[std::size_t(sheet)];
}

void AppViewModel::setShown(Sheet sheet, bool shown) {
    if (std::exchange(shownSheets_[std::size_t(sheet)], shown) == shown)
        return;
    using Signal = void (AppViewModel::*)();
    static constexpr std::array<Signal, kSheetCount> kSignals = {
        &AppViewModel::showExclusionsChanged, &AppViewModel::showProfilesChanged,
        &AppViewModel::showScheduleChanged,   &AppViewModel::showHistoryChanged,
        &AppViewModel::showHelpChanged,       &AppViewModel::showReleaseNotesChanged,
        &AppViewModel::showTermsChanged,      &AppViewModel::showAboutChanged,
        &AppViewModel::showPreviewChanged,    &AppViewModel::showCleanSourceChanged,
        &AppViewModel::showOnboardingChanged,
    };
    (this->*kSignals[std::size_t(sheet)])();
    emit sheetShownChanged(sheet);
}

void AppViewModel::closeAllSheets() {
    for (auto sheet : {Sheet::exclusions, Sheet::profiles, Sheet::schedule, Sheet::history,
                       Sheet::preview, Sheet::cleanSource})
        setShown(sheet, false);
}

void AppViewModel::setActiveTourStep(std::optional<TourStep> step) {
    if (std::exchange(activeTourStep_, step) != step)
        emit activeTourStepChanged();
}

void AppViewModel::openSheetLater(std::optional<TourStep> step, std::chrono::milliseconds delay) {
    const auto sheet = step ? sheetForStep(*step) : std::nullopt;
    if (!sheet)
        return;
    // Not withdrawn when the tour moves on within the delay.
    QTimer::singleShot(delay, this, [this, sheet] { setShown(*sheet, true); });
}

void AppViewModel::startTour() {
    closeAllSheets();
    setActiveTourStep(TourStep::exclusions);
    openSheetLater(TourStep::exclusions, timing_.firstTourStepDelay);
}

void AppViewModel::startTourLater() {
    QTimer::singleShot(timing_.tourAfterOnboardingDelay, this, &AppViewModel::startTour);
}

void AppViewModel::advanceTour() {
    if (!activeTourStep_)
        return;
    const auto next = nextTourStep(*activeTourStep_);
    closeAllSheets();
    setActiveTourStep(next);
    openSheetLater(next, timing_.nextTourStepDelay);
}

void AppViewModel::endTour() {
    setActiveTourStep(std::nullopt);
    closeAllSheets();
}

} // namespace quillfen
