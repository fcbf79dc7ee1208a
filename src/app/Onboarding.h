#pragma once

namespace quillfen {

class AppViewModel;
class UserDefaults;

// How the user leaves the first-run onboarding.
enum class OnboardingExit { skipTour, getStarted };

// Ends the onboarding by either of its buttons: it is remembered as seen, so
// the next start does not offer it again, and it closes; "Get Started" then
// starts the feature tour once the onboarding is out of the way.
void finishOnboarding(AppViewModel& viewModel, UserDefaults& defaults, OnboardingExit exit);

} // namespace quillfen
