#include "ui/CleanSourceSheet.h"

#include "app/AppViewModel.h"
#include "app/CleanSourceSession.h"
#include "ui/CleanItemModel.h"
#include "ui/Confirmation.h"
#include "ui/EmptyState.h"
#include "ui/SheetParts.h"
#include "ui/SheetTexts.h"
#include "ui/SymbolIcons.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTreeView>
#include <QVBoxLayout>

namespace quillfen {

CleanSourceSheet::CleanSourceSheet(AppViewModel& viewModel, QWidget* parent)
    : TintedSheet(QStringLiteral("Clean Source"), parent),
      session_(viewModel.makeCleanSourceSession()), model_(new CleanItemModel(this)),
      pages_(new QStackedWidget), scanningPage_(makeScanningPage()),
      outcomePage_(makeOutcomePage()), listPage_(makeListPage()),
      emptyPage_(new EmptyState(QStringLiteral("checkmark.circle.fill"), Tint::green,
                                QStringLiteral("No items match your active exclusion patterns"))),
      moveOffer_(new QWidget) {
    setObjectName(QStringLiteral("cleanSourceSheetDialog"));
    setMinimumSize(460, 360);
    resize(560, 440);
    emptyPage_->setObjectName(QStringLiteral("cleanSourceEmptyWidget"));
    for (QWidget* page : {scanningPage_, outcomePage_, listPage_, emptyPage_})
        pages_->addWidget(page);
    contentLayout()->addWidget(pages_, 1);
    contentLayout()->addLayout(makeFooter());
    model_->setPathFont(monospacedFontFor(TextStyle::caption, font()));
    paletteChanged();
    connect(session_.get(), &CleanSourceSession::changed, this, &CleanSourceSheet::render);
    session_->startScan();
    render();
}

CleanSourceSheet::~CleanSourceSheet() = default;

QWidget* CleanSourceSheet::makeScanningPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("scanningWidget"));
    auto* busy = new QProgressBar;
    busy->setRange(0, 0);
    busy->setTextVisible(false);
    busy->setAccessibleName(QStringLiteral("Scanning"));
    busy->setMaximumWidth(220);
    auto* text = makeTextLabel(QStringLiteral("Scanning for exclusion matches\u2026"),
                               TextStyle::body, Tint::secondary);
    auto* layout = new QVBoxLayout(page);
    layout->addStretch(1);
    layout->addWidget(busy, 0, Qt::AlignHCenter);
    layout->addWidget(text, 0, Qt::AlignHCenter);
    layout->addStretch(1);
    return page;
}

QWidget* CleanSourceSheet::makeOutcomePage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("outcomeWidget"));
    outcomeIcon_ = new QLabel;
    movedLabel_ = makeTextLabel(QString(), TextStyle::headline, Tint::text, "movedLabel");
    failedLabel_ = makeTextLabel(QString(), TextStyle::body, Tint::red, "failedLabel");
    auto* layout = new QVBoxLayout(page);
    layout->addStretch(1);
    for (QLabel* label : {outcomeIcon_, movedLabel_, failedLabel_})
        layout->addWidget(label, 0, Qt::AlignHCenter);
    layout->addStretch(1);
    return page;
}

QWidget* CleanSourceSheet::makeListPage() {
    list_ = new QTreeView;
    list_->setObjectName(QStringLiteral("cleanItemsTreeView"));
    list_->setAccessibleName(QStringLiteral("Matches"));
    list_->setModel(model_);
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setHeaderHidden(true);
    list_->setSelectionMode(QAbstractItemView::NoSelection);
    list_->setTextElideMode(Qt::ElideMiddle);
    list_->header()->setStretchLastSection(false);
    list_->header()->setSectionResizeMode(CleanItemModel::pathColumn, QHeaderView::Stretch);
    list_->header()->setSectionResizeMode(CleanItemModel::sizeColumn,
                                          QHeaderView::ResizeToContents);
    return list_;
}

QLayout* CleanSourceSheet::makeFooter() {
    auto* note = makeTextLabel(
        QStringLiteral("Items move to Trash \u2014 recoverable from your file manager."),
        TextStyle::caption, Tint::secondary, "trashNoteLabel");
    auto* cancel = makeSheetButton(QStringLiteral("Cancel"), "cancelButton");
    moveButton_ = makeSheetButton(QString(), "moveToTrashButton");
    applyTint(moveButton_, Tint::red);
    applySymbol(moveButton_, QStringLiteral("trash"), Tint::red);
    auto* offerLayout = new QHBoxLayout(moveOffer_);
    offerLayout->setContentsMargins(0, 0, 0, 0);
    offerLayout->addWidget(note, 1);
    offerLayout->addWidget(cancel);
    offerLayout->addWidget(moveButton_);
    doneButton_ = makeSheetButton(QStringLiteral("Done"), "doneButton");
    auto* footer = new QHBoxLayout;
    footer->addWidget(moveOffer_, 1);
    footer->addWidget(doneButton_, 0, Qt::AlignRight);
    connect(cancel, &QPushButton::clicked, this, &CleanSourceSheet::reject);
    connect(doneButton_, &QPushButton::clicked, this, &CleanSourceSheet::accept);
    connect(moveButton_, &QPushButton::clicked, this, &CleanSourceSheet::confirmMove);
    return footer;
}

void CleanSourceSheet::render() {
    const auto& items = session_->items();
    const auto moved = session_->movedCount();
    const bool scanning = session_->isScanning();
    if (scanning) {
        setSubtitle(QStringLiteral("Scanning\u2026"));
        pages_->setCurrentWidget(scanningPage_);
    } else if (moved) {
        setSubtitle(QStringLiteral("Done"));
        renderOutcome(*moved, session_->failedCount());
        pages_->setCurrentWidget(outcomePage_);
    } else if (!items.empty()) {
        setSubtitle(session_->summaryText());
        // The matches are found once; later changes (asking, moving) keep them.
        if (model_->rowCount() != int(items.size()))
            model_->setItems(items);
        pages_->setCurrentWidget(listPage_);
    } else {
        setSubtitle(QStringLiteral("Nothing to clean"));
        pages_->setCurrentWidget(emptyPage_);
    }
    moveOffer_->setVisible(!scanning && !moved && !items.empty());
    moveButton_->setText(QStringLiteral("Move ") + QString::number(items.size()) +
                         QStringLiteral(" to Trash"));
    moveButton_->setEnabled(!session_->isMoving());
    doneButton_->setVisible(moved.has_value());
}

void CleanSourceSheet::renderOutcome(int moved, int failed) {
    applySymbol(outcomeIcon_,
                failed != 0 ? QStringLiteral("exclamationmark.triangle.fill")
                            : QStringLiteral("trash.circle.fill"),
                failed != 0 ? Tint::orange : Tint::green, 48);
    movedLabel_->setText(QStringLiteral("Moved ") + itemCountText(moved) +
                         QStringLiteral(" to Trash"));
    failedLabel_->setText(itemCountText(failed) + QStringLiteral(" could not be moved"));
    failedLabel_->setVisible(failed >= 1);
}

void CleanSourceSheet::confirmMove() {
    const auto count = session_->items().size();
    session_->requestMove();
    auto* box = askToConfirm(
        this,
        {QStringLiteral("Move ") + QString::number(count) +
             (count == 1 ? QStringLiteral(" Item") : QStringLiteral(" Items")) +
             QStringLiteral(" to Trash?"),
         QStringLiteral("Moves ") + session_->summaryText() +
             QStringLiteral(" from your source folder to the system Trash. You can recover them "
                            "from your file manager if needed."),
         QStringLiteral("Move to Trash")},
        [this] { session_->moveToTrash(); });
    connect(box, &QDialog::finished, session_.get(),
            [session = session_.get()] { session->setConfirmMove(false); });
}

void CleanSourceSheet::paletteChanged() {
    model_->setIcons(symbolIcon(u"folder.fill", tintColor(Tint::blue, palette())),
                     symbolIcon(u"doc.fill", tintColor(Tint::secondary, palette())));
}

} // namespace quillfen
