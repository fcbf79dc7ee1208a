#include "ui/LiveProgressPanel.h"

#include "records/SyncProgress.h"
#include "ui/CellGrid.h"
#include "ui/ElidedLabel.h"
#include "ui/NamedColors.h"
#include "ui/PaletteFollower.h"
#include "ui/ProgressTexts.h"
#include "ui/Separator.h"
#include "ui/Typography.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include <cmath>

namespace quillfen {
namespace {

// The bar counts in hundredths of a percent, so a long run still moves it.
constexpr int kBarSteps = 10000;

} // namespace

LiveProgressPanel::LiveProgressPanel(QWidget* parent)
    : QWidget(parent), bar_(new QProgressBar), percentLabel_(new QLabel), counterLabel_(new QLabel),
      estimateLabel_(new QLabel), currentFileLabel_(new ElidedLabel), counters_(new CellGrid) {
    setObjectName(QStringLiteral("liveProgressWidget"));
    bar_->setObjectName(QStringLiteral("syncProgressBar"));
    bar_->setRange(0, kBarSteps);
    bar_->setTextVisible(false);
    bar_->setAccessibleName(QStringLiteral("Progress"));
    percentLabel_->setObjectName(QStringLiteral("percentLabel"));
    applyTextStyle(percentLabel_, TextStyle::body);
    // Wide enough for "100%", so the counter beside it never jumps.
    percentLabel_->setMinimumWidth(
        percentLabel_->fontMetrics().horizontalAdvance(QStringLiteral("100%")) + 2);
    counterLabel_->setObjectName(QStringLiteral("progressCounterLabel"));
    estimateLabel_->setObjectName(QStringLiteral("transferEstimateLabel"));
    applyTextStyle(estimateLabel_, TextStyle::caption);
    currentFileLabel_->setObjectName(QStringLiteral("currentFileLabel"));
    applyTextStyle(currentFileLabel_, TextStyle::caption);
    counters_->setObjectName(QStringLiteral("progressCountersWidget"));

    auto* figures = new QHBoxLayout;
    figures->addWidget(percentLabel_);
    figures->addWidget(counterLabel_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(bar_);
    layout->addLayout(figures);
    layout->addWidget(estimateLabel_);
    layout->addWidget(currentFileLabel_);
    layout->addWidget(new Separator);
    layout->addWidget(counters_);
    layout->addStretch(1);
    followPalette(this, [this] { applyPalette(); });
}

void LiveProgressPanel::display(const SyncProgress& progress, const QString& estimate) {
    bar_->setValue(int(std::lround(progressPercent(progress) * kBarSteps / 100)));
    percentLabel_->setText(percentText(progress));
    counterLabel_->setText(progressCounterText(progress));
    estimateLabel_->setText(estimate);
    estimateLabel_->setVisible(!estimate.isEmpty());
    currentFileLabel_->setFullText(QString::fromStdString(progress.currentFile));
    currentFileLabel_->setVisible(!progress.currentFile.empty());
    counters_->setCells(liveCounterCells(progress));
}

void LiveProgressPanel::applyPalette() {
    applyTextColor(counterLabel_, secondaryTextColor());
    applyTextColor(estimateLabel_, secondaryTextColor());
    applyTextColor(currentFileLabel_, tertiaryTextColor());
}

} // namespace quillfen
