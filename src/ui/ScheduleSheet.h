#pragma once

#include "ui/TintedSheet.h"

#ifndef Q_MOC_RUN
#include "records/AppPreferences.h"
#endif

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace quillfen {

class AppViewModel;
class TimeColumn;

// Sets up the one scheduled run: how often, when, which profile and whether
// silently. Edits a working copy of the stored schedule, taken afresh at
// each opening; only "Apply" stores it (and re-arms the scheduler), and
// "Cancel Schedule" clears the stored profile.
class ScheduleSheet : public TintedSheet {
    Q_OBJECT

public:
    explicit ScheduleSheet(AppViewModel& viewModel, QWidget* parent = nullptr);

    const AppPreferences& workingCopy() const { return local_; }

protected:
    bool event(QEvent* event) override;

private:
    QWidget* makeFrequencyRow();
    QWidget* makeTimeSection();
    QWidget* makeBehaviourSection();
    QWidget* makeLoginWarning();
    QWidget* makeProfileSection();
    QLayout* makeButtonRow();
    void fillProfiles();
    void render();
    void keepRoomForContent();
    void activate(TimeColumn* column);
    void apply();
    void cancelSchedule();

    AppViewModel& viewModel_;
    AppPreferences local_;
    QButtonGroup* frequencyGroup_;
    QWidget* details_;
    QLabel* timeTitle_;
    QWidget* weekdayRow_;
    QButtonGroup* weekdayGroup_;
    QWidget* hourlyRow_;
    QSpinBox* minuteSpinBox_;
    QLabel* pastHourLabel_;
    QWidget* runAtRow_;
    TimeColumn* hourColumn_;
    TimeColumn* minuteColumn_;
    QCheckBox* silentCheckBox_;
    QWidget* loginWarning_;
    QLabel* noProfilesLabel_;
    QWidget* profileRow_;
    QComboBox* profileComboBox_;
    QPushButton* cancelScheduleButton_;
    QPushButton* applyButton_;
};

} // namespace quillfen
