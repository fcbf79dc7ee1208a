#include "ui/EmptyState.h"

#include "ui/SheetParts.h"

#include <QLabel>
#include <QVBoxLayout>

namespace quillfen {

EmptyState::EmptyState(const QString& symbol, Tint symbolTint, const QString& text,
                       const QString& caption, QWidget* parent)
    : QWidget(parent), textLabel_(makeTextLabel(text, TextStyle::body, Tint::secondary)) {
    auto* icon = new QLabel;
    icon->setAlignment(Qt::AlignCenter);
    applySymbol(icon, symbol, symbolTint, 40);
    textLabel_->setAlignment(Qt::AlignCenter);
    textLabel_->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addStretch(1);
    layout->addWidget(icon);
    layout->addWidget(textLabel_);
    if (!caption.isEmpty()) {
        auto* captionLabel = makeTextLabel(caption, TextStyle::caption, Tint::secondary);
        captionLabel->setAlignment(Qt::AlignCenter);
        captionLabel->setWordWrap(true);
        layout->addWidget(captionLabel);
    }
    layout->addStretch(1);
}

} // namespace quillfen
