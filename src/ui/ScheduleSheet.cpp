#include "ui/ScheduleSheet.h"

#include "app/AppViewModel.h"
#include "app/PathText.h"
#include "ui/SheetParts.h"
#include "ui/TimeColumn.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

namespace quillfen {
namespace {

// The weekday buttons, Monday first; the numbers are the calendar's
// (1 = Sunday).
constexpr std::pair<int, const char*> kWeekdays[] = {{2, "Mo"}, {3, "Tu"}, {4, "We"}, {5, "Th"},
                                                     {6, "Fr"}, {7, "Sa"}, {1, "Su"}};

constexpr QSize kSmallestSize(380, 320);

constexpr ScheduleFrequency kFrequencies[] = {ScheduleFrequency::never, ScheduleFrequency::hourly,
                                              ScheduleFrequency::daily, ScheduleFrequency::weekly};

// Choices drawn as one segmented row; the chosen one in the accent colour.
const QString kSegmentStyle = QStringLiteral(
    "QPushButton { border: 1px solid palette(mid); border-radius: 5px; padding: 3px 10px;"
    " background: palette(button); color: palette(button-text); }"
    "QPushButton:checked { background: palette(highlight); color: palette(highlighted-text);"
    " border-color: palette(highlight); }"
    "QPushButton:focus { border-color: palette(highlight); }");

QPushButton* makeSegment(const QString& text, const QString& objectName) {
    auto* button = makeSheetButton(text, objectName.toLatin1().constData());
    button->setCheckable(true);
    // One of a row, as radio buttons are: screen readers say so, and the
    // arrow keys move the choice along the row.
    button->setAutoExclusive(true);
    button->setStyleSheet(kSegmentStyle);
    return button;
}

QLabel* sectionTitle(const QString& text, const char* objectName = nullptr) {
    return makeTextLabel(text, TextStyle::subheadline, Tint::secondary, objectName);
}

} // namespace

ScheduleSheet::ScheduleSheet(AppViewModel& viewModel, QWidget* parent)
    : TintedSheet(QStringLiteral("Schedule"), parent), viewModel_(viewModel),
      local_(viewModel.schedulePreferences()), frequencyGroup_(new QButtonGroup(this)),
      details_(new QWidget), weekdayGroup_(new QButtonGroup(this)),
      hourColumn_(new TimeColumn(QStringLiteral("Hour"), 23)),
      minuteColumn_(new TimeColumn(QStringLiteral("Minute"), 59)) {
    setObjectName(QStringLiteral("scheduleSheetDialog"));
    // A profile that is gone is no choice: the sheet shows none.
    const auto& profiles = viewModel_.profiles();
    if (std::none_of(profiles.begin(), profiles.end(),
                     [&](const auto& profile) { return profile.id == local_.scheduledProfileId; }))
        local_.scheduledProfileId.reset();

    auto* detailsLayout = new QVBoxLayout(details_);
    detailsLayout->setContentsMargins(0, 0, 0, 0);
    detailsLayout->setSpacing(14);
    detailsLayout->addWidget(makeTimeSection());
    detailsLayout->addWidget(makeBehaviourSection());
    detailsLayout->addWidget(makeLoginWarning());
    detailsLayout->addWidget(makeProfileSection());
    contentLayout()->setSpacing(14);
    contentLayout()->addWidget(makeFrequencyRow());
    contentLayout()->addWidget(details_);
    contentLayout()->addStretch(1);
    contentLayout()->addLayout(makeButtonRow());

    connect(&viewModel_, &AppViewModel::launchAtLoginChanged, this, &ScheduleSheet::render);
    connect(&viewModel_, &AppViewModel::isScheduleArmedChanged, this, &ScheduleSheet::render);
    connect(&viewModel_, &AppViewModel::profilesChanged, this, &ScheduleSheet::fillProfiles);
    fillProfiles();
    render();
    resize(440, sizeHint().height());
}

QWidget* ScheduleSheet::makeFrequencyRow() {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(makeTextLabel(QStringLiteral("Run"), TextStyle::body));
    layout->addStretch(1);
    for (const auto frequency : kFrequencies) {
        const QString name = QString::fromStdString(displayName(frequency));
        auto* button = makeSegment(name, name.toLower() + QStringLiteral("FrequencyButton"));
        frequencyGroup_->addButton(button, int(frequency));
        layout->addWidget(button);
    }
    // Any change of the choice, also one a screen reader makes (it toggles
    // the button rather than clicking it).
    connect(frequencyGroup_, &QButtonGroup::idToggled, this, [this](int frequency, bool chosen) {
        if (!chosen)
            return;
        local_.scheduleFrequency = ScheduleFrequency(frequency);
        render();
    });
    return row;
}

QWidget* ScheduleSheet::makeTimeSection() {
    auto* section = new QWidget;
    timeTitle_ = sectionTitle(QString(), "timeTitleLabel");

    weekdayRow_ = new QWidget;
    auto* weekdays = new QHBoxLayout(weekdayRow_);
    weekdays->setContentsMargins(0, 0, 0, 0);
    weekdays->setSpacing(4);
    for (const auto& [number, label] : kWeekdays) {
        const QString text = QString::fromLatin1(label);
        auto* button = makeSegment(text, text.toLower() + QStringLiteral("WeekdayButton"));
        weekdayGroup_->addButton(button, number);
        weekdays->addWidget(button);
    }
    weekdays->addStretch(1);
    connect(weekdayGroup_, &QButtonGroup::idToggled, this, [this](int weekday, bool chosen) {
        if (chosen)
            local_.scheduleWeekday = weekday;
    });

    hourlyRow_ = new QWidget;
    minuteSpinBox_ = new QSpinBox;
    minuteSpinBox_->setObjectName(QStringLiteral("minuteSpinBox"));
    minuteSpinBox_->setAccessibleName(QStringLiteral("At minute"));
    minuteSpinBox_->setRange(0, 59);
    minuteSpinBox_->setWrapping(false);
    pastHourLabel_ = makeTextLabel(QString(), TextStyle::body, Tint::text, "pastHourLabel");
    auto* hourly = new QHBoxLayout(hourlyRow_);
    hourly->setContentsMargins(0, 0, 0, 0);
    auto* atMinute = makeTextLabel(QStringLiteral("At minute"), TextStyle::body);
    atMinute->setBuddy(minuteSpinBox_);
    hourly->addWidget(atMinute);
    hourly->addWidget(minuteSpinBox_);
    hourly->addWidget(pastHourLabel_);
    hourly->addStretch(1);
    connect(minuteSpinBox_, &QSpinBox::valueChanged, this, [this](int minute) {
        local_.scheduleMinute = minute;
        render();
    });

    runAtRow_ = new QWidget;
    hourColumn_->setObjectName(QStringLiteral("hourTimeColumn"));
    minuteColumn_->setObjectName(QStringLiteral("minuteTimeColumn"));
    auto* runAt = new QHBoxLayout(runAtRow_);
    runAt->setContentsMargins(0, 0, 0, 0);
    runAt->addWidget(makeTextLabel(QStringLiteral("Run at"), TextStyle::body));
    runAt->addStretch(1);
    runAt->addWidget(hourColumn_);
    runAt->addWidget(makeTextLabel(QStringLiteral(":"), TextStyle::largeTitle));
    runAt->addWidget(minuteColumn_);
    runAt->addStretch(1);
    connect(hourColumn_, &TimeColumn::valueChanged, this,
            [this](int hour) { local_.scheduleHour = hour; });
    connect(minuteColumn_, &TimeColumn::valueChanged, this,
            [this](int minute) { local_.scheduleMinute = minute; });
    for (TimeColumn* column : {hourColumn_, minuteColumn_})
        connect(column, &TimeColumn::activated, this, [this, column] { activate(column); });

    auto* layout = new QVBoxLayout(section);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(timeTitle_);
    layout->addWidget(weekdayRow_);
    layout->addWidget(hourlyRow_);
    layout->addWidget(runAtRow_);
    return section;
}

QWidget* ScheduleSheet::makeBehaviourSection() {
    auto* section = new QWidget;
    silentCheckBox_ = new QCheckBox(QStringLiteral("Run silently"));
    silentCheckBox_->setObjectName(QStringLiteral("runSilentlyCheckBox"));
    auto* explanation = makeTextLabel(
        QStringLiteral("Sync runs in the background; you get a notification when it finishes. "
                       "Turn off to bring the window to the front when the sync starts."),
        TextStyle::caption, Tint::secondary);
    explanation->setWordWrap(true);
    auto* layout = new QVBoxLayout(section);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(sectionTitle(QStringLiteral("Behaviour")));
    layout->addWidget(silentCheckBox_);
    layout->addWidget(explanation);
    connect(silentCheckBox_, &QCheckBox::toggled, this,
            [this](bool silent) { local_.scheduleSilent = silent; });
    return section;
}

QWidget* ScheduleSheet::makeLoginWarning() {
    loginWarning_ = new QWidget;
    loginWarning_->setObjectName(QStringLiteral("loginWarningWidget"));
    auto* icon = new QLabel;
    applySymbol(icon, QStringLiteral("exclamationmark.triangle"), Tint::orange, 16);
    auto* text = makeMarkedLabel(
        QStringLiteral("Enable **Open at Login** in Options so the app restarts automatically "
                       "and the schedule keeps firing after a reboot."),
        "loginWarningLabel");
    applyTextStyle(text, TextStyle::caption);
    auto* layout = new QHBoxLayout(loginWarning_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(icon, 0, Qt::AlignTop);
    layout->addWidget(text, 1);
    return loginWarning_;
}

QWidget* ScheduleSheet::makeProfileSection() {
    auto* section = new QWidget;
    noProfilesLabel_ = makeTextLabel(QStringLiteral("Save a profile first to use scheduling."),
                                     TextStyle::body, Tint::secondary, "noProfilesLabel");
    profileRow_ = new QWidget;
    profileComboBox_ = new QComboBox;
    profileComboBox_->setObjectName(QStringLiteral("profileComboBox"));
    profileComboBox_->setAccessibleName(QStringLiteral("Use profile"));
    // On Linux a screen reader names a choice by its label and tells the
    // choice itself as its value.
    auto* label = makeTextLabel(QStringLiteral("Use profile"), TextStyle::body);
    label->setBuddy(profileComboBox_);
    auto* row = new QHBoxLayout(profileRow_);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(label);
    row->addWidget(profileComboBox_, 1);
    auto* layout = new QVBoxLayout(section);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(noProfilesLabel_);
    layout->addWidget(profileRow_);
    // Any change of the choice, also one a screen reader makes.
    connect(profileComboBox_, &QComboBox::currentIndexChanged, this, [this](int index) {
        local_.scheduledProfileId =
            Uuid::parse(profileComboBox_->itemData(index).toString().toStdString());
        render();
    });
    return section;
}

QLayout* ScheduleSheet::makeButtonRow() {
    cancelScheduleButton_ =
        makeSheetButton(QStringLiteral("Cancel Schedule"), "cancelScheduleButton");
    applyTint(cancelScheduleButton_, Tint::red);
    auto* cancel = makeSheetButton(QStringLiteral("Cancel"), "cancelButton");
    applyButton_ = makeSheetButton(QStringLiteral("Apply"), "applyButton");
    applyButton_->setDefault(true);
    auto* row = new QHBoxLayout;
    row->addWidget(cancelScheduleButton_);
    row->addStretch(1);
    row->addWidget(cancel);
    row->addWidget(applyButton_);
    connect(cancelScheduleButton_, &QPushButton::clicked, this, &ScheduleSheet::cancelSchedule);
    connect(cancel, &QPushButton::clicked, this, &ScheduleSheet::reject);
    connect(applyButton_, &QPushButton::clicked, this, &ScheduleSheet::apply);
    return row;
}

void ScheduleSheet::fillProfiles() {
    const QSignalBlocker blocker(profileComboBox_);
    profileComboBox_->clear();
    profileComboBox_->addItem(QStringLiteral("None"), QString());
    for (const auto& profile : viewModel_.profiles())
        profileComboBox_->addItem(toQString(profile.name),
                                  QString::fromStdString(profile.id.toString()));
    render();
}

void ScheduleSheet::render() {
    const auto frequency = local_.scheduleFrequency;
    const bool weekly = frequency == ScheduleFrequency::weekly;
    frequencyGroup_->button(int(frequency))->setChecked(true);
    details_->setVisible(frequency != ScheduleFrequency::never);
    timeTitle_->setText(weekly ? QStringLiteral("Day & Time") : QStringLiteral("Time"));
    weekdayRow_->setVisible(weekly);
    if (auto* weekday = weekdayGroup_->button(local_.scheduleWeekday))
        weekday->setChecked(true);
    hourlyRow_->setVisible(frequency == ScheduleFrequency::hourly);
    runAtRow_->setVisible(frequency == ScheduleFrequency::daily || weekly);
    {
        const QSignalBlocker spinBlocker(minuteSpinBox_);
        const QSignalBlocker hourBlocker(hourColumn_);
        const QSignalBlocker minuteBlocker(minuteColumn_);
        minuteSpinBox_->setValue(local_.scheduleMinute);
        hourColumn_->setValue(local_.scheduleHour);
        minuteColumn_->setValue(local_.scheduleMinute);
    }
    pastHourLabel_->setText(
        QStringLiteral(":%1 past the hour").arg(local_.scheduleMinute, 2, 10, QLatin1Char('0')));
    silentCheckBox_->setChecked(local_.scheduleSilent);
    loginWarning_->setVisible(!viewModel_.launchAtLogin());

    const bool hasProfiles = !viewModel_.profiles().empty();
    noProfilesLabel_->setVisible(!hasProfiles);
    profileRow_->setVisible(hasProfiles);
    const QString chosen = local_.scheduledProfileId
                               ? QString::fromStdString(local_.scheduledProfileId->toString())
                               : QString();
    {
        const QSignalBlocker blocker(profileComboBox_);
        profileComboBox_->setCurrentIndex(std::max(0, profileComboBox_->findData(chosen)));
    }

    cancelScheduleButton_->setVisible(viewModel_.isScheduleArmed());
    applyButton_->setEnabled(frequency == ScheduleFrequency::never ||
                             local_.scheduledProfileId.has_value());
    keepRoomForContent();
}

void ScheduleSheet::keepRoomForContent() {
    // The sections under the frequency come and go, and fonts settle only
    // once the sheet is shown: the sheet grows to hold its content rather
    // than squeezing it, and may shrink again to its smallest.
    layout()->activate();
    QSize smallest = layout()->totalMinimumSize();
    // Wrapped texts need more lines the narrower the sheet is.
    if (layout()->hasHeightForWidth())
        smallest.setHeight(
            std::max(smallest.height(), layout()->totalMinimumHeightForWidth(width())));
    smallest = smallest.expandedTo(kSmallestSize);
    if (smallest != minimumSize())
        setMinimumSize(smallest);
}

bool ScheduleSheet::event(QEvent* event) {
    const bool handled = TintedSheet::event(event);
    if (event->type() == QEvent::LayoutRequest || event->type() == QEvent::Resize)
        keepRoomForContent();
    return handled;
}

void ScheduleSheet::activate(TimeColumn* column) {
    hourColumn_->setActive(column == hourColumn_);
    minuteColumn_->setActive(column == minuteColumn_);
}

void ScheduleSheet::apply() {
    viewModel_.saveSchedule(local_);
    accept();
}

void ScheduleSheet::cancelSchedule() {
    viewModel_.disableSchedule();
    accept();
}

} // namespace quillfen
