#include "ui/RunSummaryPanel.h"

#include "records/SyncResult.h"
#include "ui/CellGrid.h"
#include "ui/NamedColors.h"
#include "ui/PaletteFollower.h"
#include "ui/ProgressTexts.h"
#include "ui/Separator.h"
#include "ui/SymbolIcons.h"
#include "ui/Typography.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace quillfen {
namespace {

struct StatusLook {
    const char16_t* symbol;
    NamedColor color;
};

StatusLook lookOf(SyncStatus status) {
    switch (status) {
    case SyncStatus::success:
        return {u"checkmark.circle.fill", NamedColor::green};
    case SyncStatus::cancelled:
        return {u"stop.circle.fill", NamedColor::orange};
    case SyncStatus::failed:
        break;
    }
    return {u"xmark.circle.fill", NamedColor::red};
}

} // namespace

RunSummaryPanel::RunSummaryPanel(QWidget* parent)
    : QWidget(parent), iconLabel_(new QLabel), titleLabel_(new QLabel), cells_(new CellGrid),
      errorLabel_(new QLabel) {
    setObjectName(QStringLiteral("runSummaryWidget"));
    iconLabel_->setObjectName(QStringLiteral("summaryIconLabel"));
    titleLabel_->setObjectName(QStringLiteral("summaryTitleLabel"));
    QFont titleFont = fontFor(TextStyle::subheadline, font());
    titleFont.setWeight(QFont::Medium);
    titleLabel_->setFont(titleFont);
    cells_->setObjectName(QStringLiteral("summaryCellsWidget"));
    errorLabel_->setObjectName(QStringLiteral("summaryErrorLabel"));
    errorLabel_->setWordWrap(true);
    errorLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    applyTextStyle(errorLabel_, TextStyle::caption);

    auto* header = new QHBoxLayout;
    header->setSpacing(6);
    header->addWidget(iconLabel_);
    header->addWidget(titleLabel_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addLayout(header);
    layout->addWidget(new Separator);
    layout->addWidget(cells_);
    layout->addWidget(errorLabel_);
    layout->addStretch(1);
    followPalette(this, [this] { applyColors(); });
}

void RunSummaryPanel::display(const SyncResult& result) {
    shown_ = result;
    titleLabel_->setText(summaryTitle(result));
    cells_->setCells(summaryCells(result));
    errorLabel_->setText(QString::fromStdString(result.errorMessage.value_or(std::string())));
    errorLabel_->setVisible(result.errorMessage.has_value());
    applyColors();
}

void RunSummaryPanel::applyColors() {
    if (!shown_)
        return;
    const StatusLook look = lookOf(shown_->status);
    const QColor color = namedColor(look.color);
    const int extent = titleLabel_->fontMetrics().height() + 2;
    iconLabel_->setPixmap(symbolIcon(QStringView(look.symbol), color)
                              .pixmap(QSize(extent, extent), devicePixelRatioF()));
    iconLabel_->setAccessibleName(QString::fromStdString(displayName(shown_->status)));
    // Kept beside the picture, so that what it shows can be read back.
    iconLabel_->setProperty("symbol", QString::fromUtf16(look.symbol));
    iconLabel_->setProperty("tint", color);
    applyTextColor(errorLabel_, namedColor(NamedColor::red));
}

} // namespace quillfen
