#include "ui/ControlsColumn.h"

#include "app/AppViewModel.h"
#include "ui/BadgedToolButton.h"
#include "ui/NamedColors.h"
#include "ui/PaletteFollower.h"
#include "ui/ProminentButton.h"
#include "ui/StatusDot.h"
#include "ui/SymbolIcons.h"
#include "ui/Typography.h"
#include "ui/WindowTexts.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillfen {

ControlsColumn::ControlsColumn(AppViewModel& viewModel, QWidget* parent)
    : QWidget(parent), viewModel_(viewModel), watchDot_(new StatusDot),
      watchLabel_(new QLabel(QStringLiteral("Watching for changes"))),
      watchLine_(makeStatusLine(watchLabel_, watchDot_, "watchStatusLabel")),
      nextDot_(new StatusDot), nextLabel_(new QLabel),
      nextLine_(makeStatusLine(nextLabel_, nextDot_, "nextFireLabel")),
      exclusionsButton_(
          new BadgedToolButton(QStringLiteral("Exclusions"), QStringLiteral("nosign"))),
      profilesButton_(new BadgedToolButton(QStringLiteral("Profiles"), QStringLiteral("person.2"))),
      scheduleButton_(
          new BadgedToolButton(QStringLiteral("Schedule"), QStringLiteral("calendar.badge.clock"))),
      cleanSourceButton_(
          new BadgedToolButton(QStringLiteral("Clean Source"), QStringLiteral("trash.slash"))),
      startSyncButton_(makeRunButton(
          new ProminentButton(QStringLiteral("Start Sync"), QStringLiteral("play.fill")),
          "startSyncButton")),
      previewButton_(makeRunButton(new QPushButton(QStringLiteral("Preview")), "previewButton")),
      cancelButton_(makeRunButton(new QPushButton(QStringLiteral("Cancel")), "cancelButton")) {
    setObjectName(QStringLiteral("controlsColumnWidget"));
    startSyncButton_->setToolTip(QStringLiteral("Start Sync (Ctrl+S)"));
    previewButton_->setToolTip(QStringLiteral("Preview (Ctrl+Shift+P)"));

    auto* tools = new QGridLayout;
    tools->addWidget(exclusionsButton_, 0, 0);
    tools->addWidget(profilesButton_, 0, 1);
    tools->addWidget(scheduleButton_, 1, 0);
    tools->addWidget(cleanSourceButton_, 1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(watchLine_);
    layout->addWidget(nextLine_);
    layout->addLayout(tools);
    layout->addStretch(1);
    layout->addWidget(startSyncButton_);
    layout->addWidget(previewButton_);
    layout->addWidget(cancelButton_);

    connectTools();
    connect(&viewModel_, &AppViewModel::isWatchingChanged, this, &ControlsColumn::showStatus);
    connect(&viewModel_, &AppViewModel::nextFireDateChanged, this, &ControlsColumn::showStatus);
    connect(&viewModel_, &AppViewModel::excludePatternsChanged, this, &ControlsColumn::showTools);
    connect(&viewModel_, &AppViewModel::profilesChanged, this, &ControlsColumn::showTools);
    connect(&viewModel_, &AppViewModel::isScheduleArmedChanged, this, &ControlsColumn::showTools);
    connect(&viewModel_, &AppViewModel::sourcePathChanged, this, &ControlsColumn::showTools);
    connect(&viewModel_, &AppViewModel::canSyncChanged, this, &ControlsColumn::showRunState);
    connect(&viewModel_, &AppViewModel::isSyncingChanged, this, &ControlsColumn::showRunState);
    followPalette(this, [this] { applyPalette(); });
    showStatus();
    showTools();
    showRunState();
}

QWidget* ControlsColumn::makeStatusLine(QLabel* label, StatusDot* dot, const char* objectName) {
    label->setObjectName(QString::fromLatin1(objectName));
    applyTextStyle(label, TextStyle::caption);
    auto* line = new QWidget;
    auto* layout = new QHBoxLayout(line);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(dot);
    layout->addWidget(label, 1);
    return line;
}

QPushButton* ControlsColumn::makeRunButton(QPushButton* button, const char* objectName) {
    button->setObjectName(QString::fromLatin1(objectName));
    button->setMinimumHeight(34);
    return button;
}

void ControlsColumn::connectTools() {
    exclusionsButton_->setObjectName(QStringLiteral("exclusionsButton"));
    profilesButton_->setObjectName(QStringLiteral("profilesButton"));
    scheduleButton_->setObjectName(QStringLiteral("scheduleButton"));
    cleanSourceButton_->setObjectName(QStringLiteral("cleanSourceButton"));
    const auto opens = [this](BadgedToolButton* button, Sheet sheet) {
        connect(button, &QToolButton::clicked, &viewModel_,
                [this, sheet] { viewModel_.setShown(sheet, true); });
    };
    opens(exclusionsButton_, Sheet::exclusions);
    opens(profilesButton_, Sheet::profiles);
    opens(scheduleButton_, Sheet::schedule);
    opens(cleanSourceButton_, Sheet::cleanSource);
    connect(startSyncButton_, &QPushButton::clicked, &viewModel_,
            [this] { viewModel_.startSync(RunMode::sync); });
    connect(previewButton_, &QPushButton::clicked, &viewModel_,
            [this] { viewModel_.startSync(RunMode::preview); });
    connect(cancelButton_, &QPushButton::clicked, &viewModel_, &AppViewModel::cancelSync);
}

void ControlsColumn::showStatus() {
    watchLine_->setVisible(viewModel_.isWatching());
    const QDateTime next = viewModel_.nextFireDate();
    nextLine_->setVisible(next.isValid());
    if (next.isValid())
        nextLabel_->setText(nextFireText(next));
}

void ControlsColumn::showTools() {
    const int patterns = viewModel_.enabledPatternCount();
    const int profiles = viewModel_.profileCount();
    exclusionsButton_->setBadge(patterns > 0 ? QString::number(patterns) : QString());
    profilesButton_->setBadge(profiles > 0 ? QString::number(profiles) : QString());
    scheduleButton_->setBadge(viewModel_.isScheduleArmed() ? QStringLiteral("\u25cf") : QString());
    cleanSourceButton_->setEnabled(!viewModel_.sourcePath().isEmpty() && patterns > 0);
}

void ControlsColumn::showRunState() {
    startSyncButton_->setEnabled(viewModel_.canSync());
    previewButton_->setEnabled(viewModel_.canSync());
    cancelButton_->setVisible(viewModel_.isSyncing());
}

void ControlsColumn::applyPalette() {
    const QPalette colors = QGuiApplication::palette();
    watchDot_->setColor(namedColor(NamedColor::blue, colors));
    nextDot_->setColor(namedColor(NamedColor::green, colors));
    exclusionsButton_->setTint(QColor());
    profilesButton_->setTint(QColor());
    scheduleButton_->setTint(namedColor(NamedColor::green, colors));
    cleanSourceButton_->setTint(namedColor(NamedColor::red, colors));
    previewButton_->setIcon(symbolIcon(u"eye"));
    const QColor destructive = namedColor(NamedColor::red, colors);
    cancelButton_->setIcon(symbolIcon(u"stop.fill", destructive));
    applyTextColor(cancelButton_, readableOnButton(destructive, colors));
}

} // namespace quillfen
