#include "ui/OnboardingSheet.h"

#include "app/Onboarding.h"
#include "ui/SheetParts.h"
#include "ui/SymbolIcons.h"

#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillfen {
namespace {

struct Slide {
    const char* icon; // none: the application's icon
    Tint color;
    const char* title;
    const char* subtitle;
    const char* body;
};

constexpr Slide kSlides[] = {
    {nullptr, Tint::accent, "Welcome to\nQuillfen",
     "Native Linux folder sync \u2014 fast, incremental, offline.",
     "No bundled binaries, no web runtime, no cloud relay. Your files stay on your machine and "
     "move exactly where you tell them."},
    {"tray.2.fill", Tint::blue, "Smart Incremental Sync",
     "Copies only new or changed files \u2014 nothing more.",
     "Save named source-destination pairs as Profiles. Exclusion rules travel with each profile "
     "so the right files always end up in the right place."},
    {"calendar", Tint::orange, "Runs on Your Schedule",
     "Hourly, daily, or weekly \u2014 fully automated.",
     "Pick a profile, set a time, and the app syncs silently in the background. A notification "
     "confirms when it's done and a full log is saved every run."},
    {"eye.fill", Tint::teal, "Always in Control", "Preview changes before they happen.",
     "Run a dry-run preview to inspect every file before committing. Or enable Watch mode to "
     "sync automatically whenever your source folder changes."},
    {"checkmark.circle.fill", Tint::green, "You're All Set", "Choose your folders and hit Sync.",
     "Drag folders onto the pickers or tap Choose\u2026 to browse. History, logs, and settings "
     "are saved automatically after every run."},
};

constexpr int kIconExtent = 72;

} // namespace

int OnboardingSheet::pageCount() {
    return int(std::size(kSlides));
}

OnboardingSheet::OnboardingSheet(AppViewModel& viewModel, UserDefaults& defaults, QWidget* parent)
    : TintedSheet(QStringLiteral("Welcome to Quillfen"), parent), viewModel_(viewModel),
      defaults_(defaults), slide_(new QWidget), iconLabel_(new QLabel),
      slideTitleLabel_(
          makeTextLabel(QString(), TextStyle::largeTitle, Tint::text, "slideTitleLabel")),
      slideSubtitleLabel_(
          makeTextLabel(QString(), TextStyle::headline, Tint::secondary, "slideSubtitleLabel")),
      bodyLabel_(makeTextLabel(QString(), TextStyle::body, Tint::text, "slideBodyLabel")),
      pageLabel_(makeTextLabel(QString(), TextStyle::caption, Tint::tertiary, "pageLabel")),
      skipButton_(makeSheetButton(QStringLiteral("Skip Tour"), "skipTourButton")),
      continueButton_(makeSheetButton(QString(), "continueButton")) {
    setObjectName(QStringLiteral("onboardingSheetDialog"));
    hideHeaderTitle();
    iconLabel_->setObjectName(QStringLiteral("slideIconLabel"));
    iconLabel_->setFixedHeight(kIconExtent);
    for (QLabel* label :
         {iconLabel_, slideTitleLabel_, slideSubtitleLabel_, bodyLabel_, pageLabel_}) {
        label->setAlignment(Qt::AlignCenter);
        label->setWordWrap(true);
    }
    continueButton_->setDefault(true);

    auto* slideLayout = new QVBoxLayout(slide_);
    slideLayout->setSpacing(10);
    slideLayout->addStretch(1);
    slideLayout->addWidget(iconLabel_);
    slideLayout->addWidget(slideTitleLabel_);
    slideLayout->addWidget(slideSubtitleLabel_);
    slideLayout->addWidget(bodyLabel_);
    slideLayout->addStretch(1);
    auto* fading = new QGraphicsOpacityEffect(slide_);
    fading->setOpacity(1.0);
    slide_->setGraphicsEffect(fading);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(skipButton_);
    buttons->addStretch(1);
    buttons->addWidget(pageLabel_);
    buttons->addStretch(1);
    buttons->addWidget(continueButton_);
    contentLayout()->addWidget(slide_, 1);
    contentLayout()->addLayout(buttons);

    connect(skipButton_, &QPushButton::clicked, this,
            [this] { finishOnboarding(viewModel_, defaults_, OnboardingExit::skipTour); });
    connect(continueButton_, &QPushButton::clicked, this, &OnboardingSheet::advance);
    showPage(0);
    setFixedSize(520, 440);
}

void OnboardingSheet::showPage(int page) {
    page_ = page;
    const Slide& slide = kSlides[page];
    if (slide.icon)
        applySymbol(iconLabel_, QString::fromLatin1(slide.icon), slide.color, kIconExtent);
    else
        iconLabel_->setPixmap(
            applicationIcon().pixmap(QSize(kIconExtent, kIconExtent), devicePixelRatioF()));
    iconLabel_->setAccessibleName(slide.icon ? QString() : QStringLiteral("Quillfen"));
    slideTitleLabel_->setText(QString::fromUtf8(slide.title));
    slideSubtitleLabel_->setText(QString::fromUtf8(slide.subtitle));
    bodyLabel_->setText(QString::fromUtf8(slide.body));
    pageLabel_->setText(QString::number(page + 1) + QStringLiteral(" of ") +
                        QString::number(pageCount()));
    const bool last = page == pageCount() - 1;
    skipButton_->setVisible(!last);
    continueButton_->setText(last ? QStringLiteral("Get Started") : QStringLiteral("Continue"));
}

void OnboardingSheet::advance() {
    if (page_ == pageCount() - 1) {
        finishOnboarding(viewModel_, defaults_, OnboardingExit::getStarted);
        return;
    }
    showPage(page_ + 1);
    auto* fade = new QPropertyAnimation(slide_->graphicsEffect(), "opacity", slide_);
    fade->setDuration(200);
    fade->setStartValue(0.0);
    fade->setEndValue(1.0);
    fade->start(QAbstractAnimation::DeleteWhenStopped);
}

} // namespace quillfen
