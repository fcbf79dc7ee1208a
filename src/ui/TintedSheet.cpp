#include "ui/TintedSheet.h"

#include "ui/Tint.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>

namespace quillfen {

void TintedSheet::hideHeaderTitle() {
    titleLabel()->hide();
    for (auto* line : findChildren<QFrame*>(Qt::FindDirectChildrenOnly)) {
        if (line->frameShape() == QFrame::HLine)
            line->hide();
    }
}

void TintedSheet::changeEvent(QEvent* event) {
    SheetDialog::changeEvent(event);
    if (event->type() == QEvent::ApplicationPaletteChange)
        reapplyTints(this);
}

} // namespace quillfen
