#pragma once

#include "ui/TintedSheet.h"

class QLabel;
class QPushButton;

namespace quillfen {

class AppViewModel;
class UserDefaults;

// The first-run welcome: five slides, "Continue" through them, "Skip Tour"
// to leave, and "Get Started" on the last slide, which also starts the
// feature tour once the welcome has closed. Both ways out remember that the
// welcome was seen.
class OnboardingSheet : public TintedSheet {
    Q_OBJECT

public:
    OnboardingSheet(AppViewModel& viewModel, UserDefaults& defaults, QWidget* parent = nullptr);

    int page() const { return page_; }
    static int pageCount();

private:
    void showPage(int page);
    void advance();

    AppViewModel& viewModel_;
    UserDefaults& defaults_;
    int page_ = 0;
    QWidget* slide_;
    QLabel* iconLabel_;
    QLabel* slideTitleLabel_;
    QLabel* slideSubtitleLabel_;
    QLabel* bodyLabel_;
    QLabel* pageLabel_;
    QPushButton* skipButton_;
    QPushButton* continueButton_;
};

} // namespace quillfen
