#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
class QSlider;

namespace quillfen {

class AppViewModel;

// The run options: five toggles, each with its help text as tooltip, and
// the bandwidth limit. Every control edits the view model in place and
// follows it when something else (a loaded profile) changes it.
class OptionsPanel : public QWidget {
    Q_OBJECT

public:
    explicit OptionsPanel(AppViewModel& viewModel, QWidget* parent = nullptr);

private:
    QCheckBox* addToggle(const QString& text, const QString& help, const char* objectName);
    void bindToggles();
    void bindBandwidth();
    void showBandwidth();

    AppViewModel& viewModel_;
    QCheckBox* mirrorCheckBox_;
    QCheckBox* preserveRootCheckBox_;
    QCheckBox* watchCheckBox_;
    QCheckBox* verifyCheckBox_;
    QCheckBox* openAtLoginCheckBox_;
    QLabel* bandwidthValueLabel_;
    QSlider* bandwidthSlider_;
};

} // namespace quillfen
