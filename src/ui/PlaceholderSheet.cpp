#include "ui/PlaceholderSheet.h"

#include <QVBoxLayout>

namespace quillfen {

PlaceholderSheet::PlaceholderSheet(const QString& title, QWidget* parent)
    : SheetDialog(title, parent) {
    setObjectName(QStringLiteral("placeholderSheetDialog"));
    contentLayout()->addStretch();
    setMinimumSize(420, 320);
}

} // namespace quillfen
