#include "ui/OptionsPanel.h"

#include "app/AppViewModel.h"
#include "ui/QuietLabel.h"
#include "ui/Typography.h"
#include "ui/WindowTexts.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include <cmath>

namespace quillfen {
namespace {

constexpr int kBandwidthMaximum = 10000;
constexpr int kBandwidthStep = 100;

// Shows `read` on the box now and after each `changed`; a click writes
// through `write`.
void bind(QCheckBox* box, AppViewModel& viewModel, bool (AppViewModel::*read)() const,
          void (AppViewModel::*changed)(), std::function<void(bool)> write) {
    const auto show = [box, &viewModel, read] {
        const QSignalBlocker blocker(box);
        box->setChecked((viewModel.*read)());
    };
    show();
    QObject::connect(&viewModel, changed, box, show);
    QObject::connect(box, &QCheckBox::toggled, box, [write = std::move(write), show](bool on) {
        write(on);
        show(); // a write the view model refused leaves the box as it was
    });
}

} // namespace

OptionsPanel::OptionsPanel(AppViewModel& viewModel, QWidget* parent)
    : QWidget(parent), viewModel_(viewModel),
      mirrorCheckBox_(
          addToggle(QStringLiteral("Mirror mode (delete extras)"),
                    QStringLiteral("Removes files from destination that no longer exist in source"),
                    "mirrorCheckBox")),
      preserveRootCheckBox_(addToggle(
          QStringLiteral("Preserve root folder"),
          QStringLiteral("Copies the source folder itself into destination, not just its contents"),
          "preserveRootCheckBox")),
      watchCheckBox_(addToggle(
          QStringLiteral("Watch for changes"),
          QStringLiteral("Automatically sync when the source folder changes (5 second delay)"),
          "watchCheckBox")),
      verifyCheckBox_(addToggle(
          QStringLiteral("Verify after sync"),
          QStringLiteral("Compare SHA-256 checksums of copied files to confirm data integrity"),
          "verifyCheckBox")),
      openAtLoginCheckBox_(addToggle(
          QStringLiteral("Open at login"),
          QStringLiteral("Launch Quillfen automatically when you log in"), "openAtLoginCheckBox")),
      bandwidthValueLabel_(new QuietLabel), bandwidthSlider_(new QSlider(Qt::Horizontal)) {
    setObjectName(QStringLiteral("optionsPanelWidget"));
    auto* title = new QLabel(QStringLiteral("Options"));
    applyTextStyle(title, TextStyle::headline);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(title);
    for (auto* box : {mirrorCheckBox_, preserveRootCheckBox_, watchCheckBox_, verifyCheckBox_,
                      openAtLoginCheckBox_})
        layout->addWidget(box);

    auto* bandwidthLabel = new QLabel(QStringLiteral("Bandwidth limit"));
    bandwidthLabel->setBuddy(bandwidthSlider_);
    bandwidthValueLabel_->setObjectName(QStringLiteral("bandwidthValueLabel"));
    auto* bandwidthRow = new QHBoxLayout;
    bandwidthRow->addWidget(bandwidthLabel);
    bandwidthRow->addStretch();
    bandwidthRow->addWidget(bandwidthValueLabel_);
    layout->addSpacing(6);
    layout->addLayout(bandwidthRow);
    layout->addWidget(bandwidthSlider_);

    bindToggles();
    bindBandwidth();
}

QCheckBox* OptionsPanel::addToggle(const QString& text, const QString& help,
                                   const char* objectName) {
    auto* box = new QCheckBox(text);
    box->setObjectName(QString::fromLatin1(objectName));
    box->setToolTip(help);
    return box;
}

void OptionsPanel::bindToggles() {
    auto& vm = viewModel_;
    bind(mirrorCheckBox_, vm, &AppViewModel::deleteExtras, &AppViewModel::deleteExtrasChanged,
         [&vm](bool on) { vm.setDeleteExtras(on); });
    bind(preserveRootCheckBox_, vm, &AppViewModel::preserveRoot, &AppViewModel::preserveRootChanged,
         [&vm](bool on) { vm.setPreserveRoot(on); });
    bind(watchCheckBox_, vm, &AppViewModel::watchMode, &AppViewModel::watchModeChanged,
         [&vm](bool on) { vm.setWatchMode(on); });
    bind(verifyCheckBox_, vm, &AppViewModel::verifyAfterSync, &AppViewModel::verifyAfterSyncChanged,
         [&vm](bool on) { vm.setVerifyAfterSync(on); });
    bind(openAtLoginCheckBox_, vm, &AppViewModel::launchAtLogin,
         &AppViewModel::launchAtLoginChanged, [&vm](bool) { vm.toggleLaunchAtLogin(); });

    const auto enableWatch = [this] {
        watchCheckBox_->setEnabled(!viewModel_.sourcePath().isEmpty());
    };
    enableWatch();
    connect(&viewModel_, &AppViewModel::sourcePathChanged, this, enableWatch);
}

void OptionsPanel::bindBandwidth() {
    bandwidthSlider_->setObjectName(QStringLiteral("bandwidthSlider"));
    bandwidthSlider_->setAccessibleName(QStringLiteral("Bandwidth limit"));
    bandwidthSlider_->setRange(0, kBandwidthMaximum);
    bandwidthSlider_->setSingleStep(kBandwidthStep);
    bandwidthSlider_->setPageStep(10 * kBandwidthStep);
    connect(bandwidthSlider_, &QSlider::valueChanged, this, [this](int value) {
        // The slider moves in steps of 100; a drag lands between them.
        const qint64 stepped = std::lround(double(value) / kBandwidthStep) * kBandwidthStep;
        viewModel_.setBandwidthLimit(stepped);
        showBandwidth();
    });
    connect(&viewModel_, &AppViewModel::bandwidthLimitChanged, this, &OptionsPanel::showBandwidth);
    showBandwidth();
}

void OptionsPanel::showBandwidth() {
    const qint64 limit = viewModel_.bandwidthLimit();
    bandwidthValueLabel_->setText(bandwidthText(limit));
    const QSignalBlocker blocker(bandwidthSlider_);
    bandwidthSlider_->setValue(int(std::clamp<qint64>(limit, 0, kBandwidthMaximum)));
}

} // namespace quillfen
