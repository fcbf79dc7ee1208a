#include "ui/TopicBrowser.h"

#include "ui/SheetParts.h"
#include "ui/SymbolIcons.h"
#include "ui/Tint.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QScrollArea>
#include <QStackedWidget>

namespace quillfen {

TopicBrowser::TopicBrowser(const QString& listName, QWidget* parent)
    : QWidget(parent), list_(new QListWidget), pages_(new QStackedWidget) {
    list_->setObjectName(QStringLiteral("topicListWidget"));
    list_->setAccessibleName(listName);
    list_->setUniformItemSizes(true);
    list_->setMinimumWidth(150);
    list_->setMaximumWidth(190);
    list_->setSpacing(2);
    list_->setIconSize(QSize(20, 20));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list_);
    layout->addWidget(pages_, 1);
    followTints(this, [this] { paintIcons(); });
    followChosenRow(list_, [this](int row) { pages_->setCurrentIndex(row); });
}

void TopicBrowser::addTopic(const QString& title, const QString& symbol, QWidget* page) {
    auto* item = new QListWidgetItem(title, list_);
    item->setData(Qt::UserRole, symbol);
    paintIcons();
    auto* scroller = new QScrollArea;
    scroller->setWidgetResizable(true);
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setWidget(page);
    pages_->addWidget(scroller);
    if (list_->count() == 1)
        list_->setCurrentRow(0);
}

void TopicBrowser::paintIcons() {
    const QColor tint = tintColor(Tint::accent, palette());
    // On the chosen topic's highlight, which is the accent itself.
    const QColor chosenTint = palette().color(QPalette::HighlightedText);
    for (int row = 0; row < list_->count(); ++row) {
        QListWidgetItem* item = list_->item(row);
        const QString symbol = item->data(Qt::UserRole).toString();
        if (symbol.isEmpty())
            continue;
        QIcon icon = symbolIcon(symbol, tint);
        icon.addPixmap(
            symbolIcon(symbol, chosenTint).pixmap(list_->iconSize(), devicePixelRatioF()),
            QIcon::Selected);
        item->setIcon(icon);
    }
}

QWidget* TopicBrowser::currentPage() const {
    auto* scroller = qobject_cast<QScrollArea*>(pages_->currentWidget());
    return scroller ? scroller->widget() : nullptr;
}

} // namespace quillfen
