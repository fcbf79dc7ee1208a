#include "ui/TourBanner.h"

#include "app/AppViewModel.h"
#include "ui/SheetDialog.h"
#include "ui/SheetParts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillfen {

TourBanner::TourBanner(AppViewModel& viewModel, std::optional<Sheet> sheet, QWidget* parent)
    : QFrame(parent), viewModel_(viewModel), sheet_(sheet),
      stepLabel_(makeTextLabel(QString(), TextStyle::caption, Tint::accent, "tourStepLabel")),
      titleLabel_(makeTextLabel(QString(), TextStyle::headline, Tint::text, "tourTitleLabel")),
      bodyLabel_(makeTextLabel(QString(), TextStyle::callout, Tint::text, "tourBodyLabel")),
      skipButton_(makeSheetButton(QStringLiteral("Skip Tour"), "skipTourButton")),
      nextButton_(makeSheetButton(QString(), "nextTourButton")) {
    setObjectName(QStringLiteral("tourBannerFrame"));
    setAccessibleName(QStringLiteral("Tour"));
    setStyleSheet(QStringLiteral("QFrame#tourBannerFrame { border: 1px solid palette(highlight);"
                                 " border-radius: 8px; background: palette(base); }"));
    bodyLabel_->setWordWrap(true);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    texts->addWidget(stepLabel_);
    texts->addWidget(titleLabel_);
    texts->addWidget(bodyLabel_);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(nextButton_);
    buttons->addWidget(skipButton_);
    buttons->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 10, 12, 10);
    layout->addLayout(texts, 1);
    layout->addLayout(buttons);
    connect(skipButton_, &QPushButton::clicked, &viewModel_, &AppViewModel::endTour);
    connect(nextButton_, &QPushButton::clicked, this, &TourBanner::next);
    connect(&viewModel_, &AppViewModel::activeTourStepChanged, this, &TourBanner::render);
    // On a sheet the sheet does it.
    if (!sheet_)
        followTints(this);
    render();
}

void TourBanner::addTo(SheetDialog& dialog, AppViewModel& viewModel, Sheet sheet) {
    if (auto* layout = qobject_cast<QVBoxLayout*>(dialog.layout()))
        layout->insertWidget(0, new TourBanner(viewModel, sheet));
}

void TourBanner::render() {
    const auto step = viewModel_.activeTourStep();
    setVisible(step && (!sheet_ || sheetForStep(*step) == sheet_));
    if (!step)
        return;
    stepLabel_->setText(QStringLiteral("Step %1 of %2").arg(int(*step) + 1).arg(kTourStepCount));
    titleLabel_->setText(QString::fromUtf8(tourStepTitle(*step)));
    bodyLabel_->setText(QString::fromUtf8(tourStepBody(*step)));
    nextButton_->setText(nextTourStep(*step) ? QStringLiteral("Next \u2192")
                                             : QStringLiteral("Finish Tour"));
}

void TourBanner::next() {
    const auto step = viewModel_.activeTourStep();
    if (step && nextTourStep(*step))
        viewModel_.advanceTour();
    else
        viewModel_.endTour();
}

} // namespace quillfen
