#include "app/Onboarding.h"

#include "app/AppViewModel.h"
#include "app/UserDefaults.h"

namespace quillfen {

void finishOnboarding(AppViewModel& viewModel, UserDefaults& defaults, OnboardingExit exit) {
    defaults.setHasSeenOnboarding(true);
    viewModel.setShowOnboarding(false);
    if (exit == OnboardingExit::getStarted)
        viewModel.startTourLater();
}

} // namespace quillfen
