#include "ui/HistoryDetailPanel.h"

#include "app/AppViewModel.h"
#include "app/PathText.h"
#include "ui/Confirmation.h"
#include "ui/ElidedLabel.h"
#include "ui/SheetParts.h"
#include "ui/SheetTexts.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace quillfen {
namespace {

constexpr std::array kRowNames = {"Date",   "Duration", "Source", "Destination",
                                  "Copied", "Deleted",  "Error"};
constexpr std::array kRowObjectNames = {
    "dateValueLabel",   "durationValueLabel", "sourceValueLabel", "destinationValueLabel",
    "copiedValueLabel", "deletedValueLabel",  "errorValueLabel"};

Tint statusTint(SyncStatus status) {
    switch (status) {
    case SyncStatus::success:
        return Tint::green;
    case SyncStatus::cancelled:
        return Tint::orange;
    case SyncStatus::failed:
        break;
    }
    return Tint::red;
}

} // namespace

HistoryDetailPanel::HistoryDetailPanel(AppViewModel& viewModel, QWidget* parent)
    : QWidget(parent), viewModel_(viewModel), kindBadge_(new QLabel),
      statusLabel_(makeTextLabel(QString(), TextStyle::body, Tint::text, "statusLabel")),
      openLogButton_(makeSheetButton(QStringLiteral("Open Log"), "openLogButton")),
      copySourceButton_(makeSheetButton(QStringLiteral("Copy Source Path"), "copySourceButton")),
      deleteButton_(makeIconButton(QStringLiteral("trash"), Tint::red, QStringLiteral("Delete"),
                                   "deleteEntryButton")) {
    setObjectName(QStringLiteral("historyDetailWidget"));
    setMinimumWidth(300);
    kindBadge_->setObjectName(QStringLiteral("kindBadgeLabel"));
    kindBadge_->setStyleSheet(QStringLiteral(
        "QLabel { border: 1px solid palette(mid); border-radius: 9px; padding: 1px 8px; }"));
    applyTextStyle(kindBadge_, TextStyle::caption);
    QFont semibold = statusLabel_->font();
    semibold.setWeight(QFont::DemiBold);
    statusLabel_->setFont(semibold);
    applySymbol(copySourceButton_, QStringLiteral("doc.on.clipboard"), Tint::text);

    auto* top = new QHBoxLayout;
    top->addWidget(kindBadge_);
    top->addWidget(statusLabel_);
    top->addStretch(1);

    auto* rows = new QGridLayout;
    rows->setColumnStretch(1, 1);
    rows->setHorizontalSpacing(16);
    for (int row = 0; row < rowCount; ++row) {
        names_[row] =
            makeTextLabel(QString::fromLatin1(kRowNames[row]), TextStyle::body, Tint::secondary);
        values_[row] = new ElidedLabel;
        values_[row]->setObjectName(QString::fromLatin1(kRowObjectNames[row]));
        values_[row]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        values_[row]->setTextInteractionFlags(Qt::TextSelectableByMouse);
        rows->addWidget(names_[row], row, 0);
        rows->addWidget(values_[row], row, 1);
    }

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(openLogButton_);
    buttons->addWidget(copySourceButton_);
    buttons->addStretch(1);
    buttons->addWidget(deleteButton_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(makeDivider());
    layout->addLayout(rows);
    layout->addStretch(1);
    layout->addLayout(buttons);

    connect(openLogButton_, &QPushButton::clicked, this, &HistoryDetailPanel::openLog);
    connect(copySourceButton_, &QPushButton::clicked, this, &HistoryDetailPanel::copySourcePath);
    connect(deleteButton_, &QToolButton::clicked, this, &HistoryDetailPanel::confirmDelete);
}

void HistoryDetailPanel::showEntry(const HistoryEntry& entry) {
    entry_ = entry;
    kindBadge_->setText(entry.isDryRun ? QStringLiteral("Preview") : QStringLiteral("Sync"));
    const auto& result = entry.result;
    statusLabel_->setVisible(result.has_value());
    if (result) {
        statusLabel_->setText(QString::fromStdString(displayName(result->status)));
        applyTint(statusLabel_, statusTint(result->status));
    }
    showRow(date, dateAndTime(startedAt(entry)));
    showRow(duration, QString::fromStdString(entry.durationText()));
    showRow(source, toQString(entry.source));
    showRow(destination, toQString(entry.destination));
    showRow(copied, result ? copiedText(result->filesCopied, result->bytesTransferred) : QString());
    showRow(deleted, result && result->filesDeleted >= 1
                         ? QString::number(result->filesDeleted) + QStringLiteral(" files")
                         : QString());
    showRow(error, result && result->errorMessage ? toQString(*result->errorMessage) : QString());
    openLogButton_->setVisible(entry.logFileName.has_value());
}

void HistoryDetailPanel::showRow(Row row, const QString& value) {
    // Date, duration and both folders are always there, even when empty.
    const bool shown = row <= destination || !value.isEmpty();
    names_[row]->setVisible(shown);
    values_[row]->setVisible(shown);
    values_[row]->setFullText(value);
}

void HistoryDetailPanel::openLog() {
    // Handed over as it is: for a missing file the desktop says what it
    // says about missing files.
    QDesktopServices::openUrl(QUrl::fromLocalFile(viewModel_.logFilePath(entry_)));
}

void HistoryDetailPanel::copySourcePath() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(toQString(entry_.source));
}

void HistoryDetailPanel::confirmDelete() {
    askToConfirm(window(), {QStringLiteral("Delete entry?"), QString(), QStringLiteral("Delete")},
                 [viewModel = &viewModel_, id = entry_.id] { viewModel->deleteHistoryEntry(id); });
}

} // namespace quillfen
