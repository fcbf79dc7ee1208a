#include "ui/HistorySheet.h"

#include "app/AppViewModel.h"
#include "ui/Confirmation.h"
#include "ui/EmptyState.h"
#include "ui/HistoryDetailPanel.h"
#include "ui/HistoryListModel.h"
#include "ui/HistoryRowDelegate.h"
#include "ui/SheetParts.h"

#include <QHBoxLayout>
#include <QListView>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace quillfen {

HistorySheet::HistorySheet(AppViewModel& viewModel, QWidget* parent)
    : TintedSheet(QStringLiteral("History"), parent), viewModel_(viewModel),
      model_(new HistoryListModel(this)), list_(new QListView),
      detail_(new HistoryDetailPanel(viewModel)),
      empty_(new EmptyState(QStringLiteral("clock.badge.xmark"), Tint::tertiary,
                            QStringLiteral("No history yet"))),
      pages_(new QStackedWidget),
      clearAllButton_(makeIconButton(QStringLiteral("trash"), Tint::red,
                                     QStringLiteral("Clear All History"), "clearAllButton")) {
    setObjectName(QStringLiteral("historySheetDialog"));
    setMinimumSize(540, 380);
    resize(640, 460);
    addHeaderWidget(clearAllButton_);

    list_->setObjectName(QStringLiteral("historyListView"));
    list_->setAccessibleName(QStringLiteral("Runs"));
    list_->setModel(model_);
    list_->setItemDelegate(new HistoryRowDelegate(list_));
    list_->setUniformItemSizes(true);
    list_->setMinimumWidth(160);
    list_->setMaximumWidth(200);
    list_->setFrameShape(QFrame::NoFrame);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);

    auto* split = new QWidget;
    auto* splitLayout = new QHBoxLayout(split);
    splitLayout->setContentsMargins(0, 0, 0, 0);
    splitLayout->addWidget(list_);
    splitLayout->addWidget(detail_, 1);
    empty_->setObjectName(QStringLiteral("historyEmptyWidget"));
    pages_->addWidget(empty_);
    pages_->addWidget(split);
    contentLayout()->addWidget(pages_);

    followChosenRow(list_, [this](int row) { showRun(row); });
    connect(clearAllButton_, &QToolButton::clicked, this, &HistorySheet::confirmClearAll);
    connect(&viewModel_, &AppViewModel::historyChanged, this, &HistorySheet::render);
    render();
}

void HistorySheet::render() {
    const auto& history = viewModel_.history();
    const auto count = history.size();
    setSubtitle(QString::number(count) + QStringLiteral(" runs"));
    clearAllButton_->setEnabled(count > 0);
    pages_->setCurrentIndex(count > 0 ? 1 : 0);
    const std::optional<Uuid> chosen = selected_;
    model_->setEntries(history);
    const int row = chosen ? model_->rowOf(*chosen) : -1;
    // A chosen run that is gone gives way to the newest one.
    selected_ = row >= 0 ? chosen : std::nullopt;
    if (count > 0)
        list_->setCurrentIndex(model_->index(std::max(row, 0)));
}

void HistorySheet::showRun(int row) {
    const HistoryEntry& entry = model_->entry(row);
    selected_ = entry.id;
    detail_->showEntry(entry);
}

void HistorySheet::confirmClearAll() {
    askToConfirm(this,
                 {QStringLiteral("Clear all history?"),
                  QStringLiteral("Log files will also be deleted."), QStringLiteral("Clear All")},
                 [this] {
                     selected_.reset();
                     viewModel_.clearHistory();
                 });
}

} // namespace quillfen
