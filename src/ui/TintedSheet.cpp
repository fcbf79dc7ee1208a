#include "ui/TintedSheet.h"

#include "ui/Tint.h"

#include <QFrame>
#include <QLabel>

namespace quillfen {

TintedSheet::TintedSheet(const QString& title, QWidget* parent) : SheetDialog(title, parent) {
    followTints(this, [this] { paletteChanged(); });
}

void TintedSheet::hideHeaderTitle() {
    titleLabel()->hide();
    for (auto* line : findChildren<QFrame*>(Qt::FindDirectChildrenOnly)) {
        if (line->frameShape() == QFrame::HLine)
            line->hide();
    }
}

} // namespace quillfen
