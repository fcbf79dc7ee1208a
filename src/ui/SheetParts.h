#pragma once

#include "ui/Tint.h"
#include "ui/Typography.h"

#include <QString>

class QFrame;
class QLabel;
class QPushButton;
class QToolButton;

namespace quillfen {

// The small parts every sheet is built from.

// A button that never turns into the dialog's default when it takes the
// focus: Return belongs to the sheet's field or its one prominent button.
QPushButton* makeSheetButton(const QString& text, const char* objectName);
// A button that shows only a symbol; `accessibleName` is what screen
// readers say and the tooltip shows.
QToolButton* makeIconButton(const QString& symbol, Tint tint, const QString& accessibleName,
                            const char* objectName);
QLabel* makeTextLabel(const QString& text, TextStyle style, Tint tint = Tint::text,
                      const char* objectName = nullptr);
// A wrapping paragraph whose **marked** runs are bold; screen readers get
// the text without the marks.
QLabel* makeMarkedLabel(const QString& marked, const char* objectName = nullptr);
// "Use **Preview** first" as rich text with the run in bold, the rest
// escaped.
QString markedTextToHtml(const QString& marked);
QFrame* makeDivider();

} // namespace quillfen
