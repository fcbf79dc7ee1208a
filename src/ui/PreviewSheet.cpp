#include "ui/PreviewSheet.h"

#include "app/AppViewModel.h"
#include "ui/NamedColors.h"
#include "ui/PaletteFollower.h"
#include "ui/PreviewItemDelegate.h"
#include "ui/PreviewListModel.h"
#include "ui/ProgressTexts.h"
#include "ui/ProminentButton.h"
#include "ui/Separator.h"
#include "ui/SymbolIcons.h"
#include "ui/Typography.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace quillfen {

PreviewSheet::PreviewSheet(AppViewModel& viewModel, QWidget* parent)
    : SheetDialog(QStringLiteral("Preview"), parent), viewModel_(viewModel),
      syncNowButton_(new ProminentButton(QStringLiteral("Sync Now"))), emptyIcon_(new QLabel),
      emptyLabel_(new QLabel(QStringLiteral("Everything is up to date"))),
      copyCountLabel_(new QLabel), copyBytesLabel_(new QLabel), deleteCountLabel_(new QLabel),
      model_(new PreviewListModel(this)), list_(new QListView),
      delegate_(new PreviewItemDelegate(list_)), emptyPage_(makeEmptyPage()),
      planPage_(makePlanPage()), pages_(new QStackedWidget) {
    setObjectName(QStringLiteral("previewSheetDialog"));
    setMinimumSize(520, 440);
    resize(620, 520);
    syncNowButton_->setObjectName(QStringLiteral("syncNowButton"));
    syncNowButton_->setDefault(true);
    connect(syncNowButton_, &QPushButton::clicked, this, &PreviewSheet::syncNow);
    addHeaderWidget(syncNowButton_);
    // Tab goes the way the header reads: "Sync Now", then the close button.
    setTabOrder(syncNowButton_, closeButton());
    pages_->addWidget(emptyPage_);
    pages_->addWidget(planPage_);
    contentLayout()->addWidget(pages_);
    connect(&viewModel_, &AppViewModel::previewItemsChanged, this, &PreviewSheet::refresh);
    followPalette(this, [this] { applyPalette(); });
    refresh();
}

QWidget* PreviewSheet::makeEmptyPage() {
    emptyIcon_->setObjectName(QStringLiteral("upToDateIconLabel"));
    emptyIcon_->setAlignment(Qt::AlignCenter);
    emptyLabel_->setObjectName(QStringLiteral("upToDateLabel"));
    emptyLabel_->setAlignment(Qt::AlignCenter);
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addStretch(1);
    layout->addWidget(emptyIcon_);
    layout->addWidget(emptyLabel_);
    layout->addStretch(1);
    return page;
}

QWidget* PreviewSheet::makePlanPage() {
    copyCountLabel_->setObjectName(QStringLiteral("copyCountLabel"));
    copyBytesLabel_->setObjectName(QStringLiteral("copyBytesLabel"));
    deleteCountLabel_->setObjectName(QStringLiteral("deleteCountLabel"));
    auto* cards = new QHBoxLayout;
    cards->addWidget(makeCard(copyCountLabel_, QStringLiteral("files to copy"), copyBytesLabel_));
    deleteCard_ = makeCard(deleteCountLabel_, QStringLiteral("files to delete"), nullptr);
    cards->addWidget(deleteCard_);
    cards->addStretch(1);

    list_->setObjectName(QStringLiteral("previewListView"));
    list_->setAccessibleName(QStringLiteral("Changes"));
    // Same-height rows let the view place any row without measuring the rest.
    list_->setUniformItemSizes(true);
    list_->setLayoutMode(QListView::SinglePass);
    list_->setItemDelegate(delegate_);
    list_->setModel(model_);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(cards);
    layout->addWidget(new Separator);
    layout->addWidget(list_, 1);
    return page;
}

QFrame* PreviewSheet::makeCard(QLabel* count, const QString& caption, QLabel* bytes) {
    applyTextStyle(count, TextStyle::title);
    auto* captionLabel = new QLabel(caption);
    applyTextStyle(captionLabel, TextStyle::caption);
    auto* card = new QFrame;
    card->setFrameShape(QFrame::StyledPanel);
    card->setMinimumWidth(140);
    auto* layout = new QVBoxLayout(card);
    layout->setSpacing(2);
    layout->addWidget(count);
    layout->addWidget(captionLabel);
    if (bytes) {
        applyTextStyle(bytes, TextStyle::caption2);
        layout->addWidget(bytes);
    }
    layout->addStretch(1);
    return card;
}

void PreviewSheet::refresh() {
    const auto& items = viewModel_.previewItems();
    qint64 copies = 0;
    qint64 copyBytes = 0;
    for (const auto& item : items) {
        if (item.action == DiffItem::Action::copy) {
            ++copies;
            copyBytes += item.size;
        }
    }
    const qint64 deletions = qint64(items.size()) - copies;
    setSubtitle(QString::number(items.size()) + QStringLiteral(" changes"));
    syncNowButton_->setEnabled(!items.empty());
    copyCountLabel_->setText(QString::number(copies));
    copyBytesLabel_->setText(byteCountText(copyBytes));
    copyBytesLabel_->setVisible(copyBytes >= 1);
    deleteCountLabel_->setText(QString::number(deletions));
    deleteCard_->setVisible(deletions >= 1);
    model_->setItems(&items);
    pages_->setCurrentWidget(items.empty() ? emptyPage_ : planPage_);
}

void PreviewSheet::syncNow() {
    // Closing first: the run's progress belongs to the window behind.
    viewModel_.setShowPreview(false);
    viewModel_.startSync(RunMode::sync);
}

void PreviewSheet::applyPalette() {
    const QPalette colors = QGuiApplication::palette();
    const int extent = QFontMetrics(fontFor(TextStyle::largeTitle, font())).height() * 3 / 2;
    emptyIcon_->setPixmap(symbolIcon(u"checkmark.circle", namedColor(NamedColor::green, colors))
                              .pixmap(QSize(extent, extent), devicePixelRatioF()));
    applyTextColor(emptyLabel_, secondaryTextColor(colors));
    applyTextColor(copyCountLabel_, namedColor(NamedColor::blue, colors));
    applyTextColor(copyBytesLabel_, secondaryTextColor(colors));
    applyTextColor(deleteCountLabel_, namedColor(NamedColor::red, colors));
    delegate_->refreshLook(*list_);
    list_->viewport()->update();
}

} // namespace quillfen
