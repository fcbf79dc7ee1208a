#include "ui/SyncProgressView.h"

#include "app/AppViewModel.h"
#include "ui/BusySpinner.h"
#include "ui/LiveProgressPanel.h"
#include "ui/NamedColors.h"
#include "ui/PaletteFollower.h"
#include "ui/ProgressTexts.h"
#include "ui/RunSummaryPanel.h"
#include "ui/SymbolIcons.h"
#include "ui/Typography.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace quillfen {

using Phase = SyncProgress::Phase;

SyncProgressView::SyncProgressView(AppViewModel& viewModel, SyncProgressViewTiming timing,
                                   QWidget* parent)
    : QWidget(parent), viewModel_(viewModel), timing_(std::move(timing)),
      pages_(new QStackedWidget), readyLabel_(new QLabel(QStringLiteral("Ready"))),
      lastSyncedIcon_(new QLabel), lastSyncedLabel_(new QLabel),
      hintLabel_(
          new QLabel(QStringLiteral("Choose source and destination, then start sync or preview."))),
      idlePage_(makeIdlePage()), spinner_(new BusySpinner), waitingLabel_(new QLabel),
      waitingPage_(makeWaitingPage()), live_(new LiveProgressPanel), summary_(new RunSummaryPanel),
      emptyPage_(new QWidget), repaintTimer_(new QTimer(this)), ageTimer_(new QTimer(this)) {
    setObjectName(QStringLiteral("syncProgressView"));
    for (QWidget* page : {idlePage_, waitingPage_, static_cast<QWidget*>(live_),
                          static_cast<QWidget*>(summary_), emptyPage_})
        pages_->addWidget(page);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pages_);

    repaintTimer_->setSingleShot(true);
    repaintTimer_->setInterval(timing_.repaintInterval);
    connect(repaintTimer_, &QTimer::timeout, this, [this] { present(viewModel_.syncProgress()); });
    ageTimer_->setSingleShot(true);
    connect(ageTimer_, &QTimer::timeout, this, &SyncProgressView::showIdle);
    connect(&viewModel_, &AppViewModel::syncProgressChanged, this, &SyncProgressView::follow);
    const auto again = [this] {
        present(viewModel_.syncProgress());
    };
    connect(&viewModel_, &AppViewModel::lastResultChanged, this, again);
    connect(&viewModel_, &AppViewModel::lastSyncDateChanged, this, again);
    followPalette(this, [this] { applyPalette(); });
    present(viewModel_.syncProgress());
}

QWidget* SyncProgressView::makeIdlePage() {
    readyLabel_->setObjectName(QStringLiteral("progressStatusLabel"));
    applyTextStyle(readyLabel_, TextStyle::subheadline);
    lastSyncedIcon_->setObjectName(QStringLiteral("lastSyncedIconLabel"));
    lastSyncedLabel_->setObjectName(QStringLiteral("lastSyncedLabel"));
    applyTextStyle(lastSyncedLabel_, TextStyle::callout);
    hintLabel_->setObjectName(QStringLiteral("progressHintLabel"));
    hintLabel_->setWordWrap(true);
    applyTextStyle(hintLabel_, TextStyle::callout);
    auto* lastSynced = new QHBoxLayout;
    lastSynced->setSpacing(4);
    lastSynced->addWidget(lastSyncedIcon_);
    lastSynced->addWidget(lastSyncedLabel_, 1);
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(readyLabel_);
    layout->addLayout(lastSynced);
    layout->addWidget(hintLabel_);
    layout->addStretch(1);
    return page;
}

QWidget* SyncProgressView::makeWaitingPage() {
    spinner_->setObjectName(QStringLiteral("busySpinner"));
    waitingLabel_->setObjectName(QStringLiteral("waitingLabel"));
    auto* row = new QHBoxLayout;
    row->addWidget(spinner_);
    row->addWidget(waitingLabel_, 1);
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(row);
    layout->addStretch(1);
    return page;
}

void SyncProgressView::follow() {
    // A new phase shows at once; snapshots within a phase wait for the next
    // repaint, and only the latest of them is shown.
    if (int(viewModel_.syncProgress().phase) != shownPhase_) {
        repaintTimer_->stop();
        present(viewModel_.syncProgress());
    } else if (!repaintTimer_->isActive()) {
        repaintTimer_->start();
    }
}

void SyncProgressView::present(const SyncProgress& progress) {
    const bool isNewPhase = int(progress.phase) != shownPhase_;
    shownPhase_ = int(progress.phase);
    ageTimer_->stop();
    switch (progress.phase) {
    case Phase::idle:
        return showIdle();
    case Phase::scanning:
        return showWaiting(QStringLiteral("Scanning files\u2026"));
    case Phase::syncing:
        return showLive(progress, isNewPhase);
    case Phase::verifying:
        return showWaiting(QStringLiteral("Verifying copied files\u2026"));
    case Phase::done:
        break;
    }
    showDone();
}

void SyncProgressView::showIdle() {
    const QDateTime lastSync = viewModel_.lastSyncDate();
    lastSyncedIcon_->setVisible(lastSync.isValid());
    lastSyncedLabel_->setVisible(lastSync.isValid());
    hintLabel_->setVisible(!lastSync.isValid());
    pages_->setCurrentWidget(idlePage_);
    if (!lastSync.isValid())
        return;
    // Shown again the moment its text would read differently.
    const qint64 ageMs = lastSync.msecsTo(QDateTime::currentDateTime());
    const qint64 seconds = std::max<qint64>(ageMs, 0) / 1000;
    lastSyncedLabel_->setText(lastSyncedText(seconds));
    const qint64 nextChangeMs = (seconds + secondsUntilAgeTextChanges(seconds)) * 1000;
    ageTimer_->start(int(std::clamp<qint64>(nextChangeMs - ageMs, 50, 3600 * 1000)));
}

void SyncProgressView::showWaiting(const QString& text) {
    waitingLabel_->setText(text);
    spinner_->setAccessibleName(text);
    pages_->setCurrentWidget(waitingPage_);
}

void SyncProgressView::showLive(const SyncProgress& progress, bool isNewPhase) {
    if (isNewPhase)
        rate_.reset();
    rate_.add(progress, timing_.clock());
    const auto estimate = rate_.estimate();
    live_->display(progress,
                   estimate ? transferEstimateText(estimate->bytesPerSecond, estimate->secondsLeft)
                            : QString());
    pages_->setCurrentWidget(live_);
}

void SyncProgressView::showDone() {
    const auto& result = viewModel_.lastResult();
    if (!result) {
        pages_->setCurrentWidget(emptyPage_);
        return;
    }
    summary_->display(*result);
    pages_->setCurrentWidget(summary_);
}

void SyncProgressView::applyPalette() {
    const QColor secondary = secondaryTextColor();
    applyTextColor(readyLabel_, secondary);
    applyTextColor(lastSyncedLabel_, secondary);
    applyTextColor(waitingLabel_, secondary);
    applyTextColor(hintLabel_, tertiaryTextColor());
    const int extent = lastSyncedLabel_->fontMetrics().height();
    lastSyncedIcon_->setPixmap(symbolIcon(u"checkmark.circle", secondary)
                                   .pixmap(QSize(extent, extent), devicePixelRatioF()));
}

} // namespace quillfen
