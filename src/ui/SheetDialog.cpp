#include "ui/SheetDialog.h"

#include "ui/NamedColors.h"
#include "ui/SymbolIcons.h"
#include "ui/Typography.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

namespace quillfen {

SheetDialog::SheetDialog(const QString& title, QWidget* parent)
    : QDialog(parent), titleLabel_(new QLabel(title)), subtitleLabel_(new QLabel),
      headerControls_(new QHBoxLayout), closeButton_(new QToolButton),
      contentLayout_(new QVBoxLayout) {
    setWindowTitle(title);
    titleLabel_->setObjectName(QStringLiteral("sheetTitleLabel"));
    applyTextStyle(titleLabel_, TextStyle::headline);
    subtitleLabel_->setObjectName(QStringLiteral("sheetSubtitleLabel"));
    applyTextStyle(subtitleLabel_, TextStyle::caption);
    subtitleLabel_->hide();

    closeButton_->setObjectName(QStringLiteral("closeButton"));
    closeButton_->setAccessibleName(QStringLiteral("Close"));
    closeButton_->setToolTip(QStringLiteral("Close"));
    closeButton_->setAutoRaise(true);
    closeButton_->setIconSize(QSize(22, 22));
    connect(closeButton_, &QToolButton::clicked, this, &QDialog::reject);

    auto* titles = new QVBoxLayout;
    titles->setSpacing(2);
    titles->addWidget(titleLabel_);
    titles->addWidget(subtitleLabel_);
    auto* header = new QHBoxLayout;
    header->addLayout(titles, 1);
    header->addLayout(headerControls_);
    header->addWidget(closeButton_, 0, Qt::AlignTop);

    auto* separator = new QFrame;
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(header);
    layout->addWidget(separator);
    layout->addLayout(contentLayout_, 1);
    applyPalette();
}

void SheetDialog::setSubtitle(const QString& subtitle) {
    subtitleLabel_->setText(subtitle);
    subtitleLabel_->setVisible(!subtitle.isEmpty());
}

void SheetDialog::addHeaderWidget(QWidget* widget) {
    headerControls_->addWidget(widget, 0, Qt::AlignTop);
}

void SheetDialog::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        applyPalette();
}

void SheetDialog::applyPalette() {
    applyTextColor(subtitleLabel_, secondaryTextColor(palette()));
    closeButton_->setIcon(symbolIcon(u"xmark.circle.fill", secondaryTextColor(palette())));
}

} // namespace quillfen
