#pragma once

#include "ui/Tint.h"
#include "ui/Typography.h"

#include <QString>

#include <functional>

class QAbstractItemView;
class QFrame;
class QLabel;
class QLayout;
class QPushButton;
class QScrollArea;
class QToolButton;
class QWidget;

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
// A row of a short list, which screen readers call `accessibleName`.
QWidget* makeListRow(const char* objectName, const QString& accessibleName);
// A line of text with a smaller one under it.
QLayout* stackLines(QWidget* main, QWidget* under);
// For a list with one chosen row: runs `chosen` with the selected row
// whenever the selection moves, by mouse, by keyboard or by a screen reader
// (which selects a row without making it current), and keeps the current
// row with it. Unselecting the chosen row selects it again.
void followChosenRow(QAbstractItemView* list, std::function<void(int row)> chosen);
// Puts `content` in `area` in place of what was there, which goes later:
// the click that changed a list may have come from one of its old rows.
void replaceScrolledContent(QScrollArea* area, QWidget* content);

} // namespace quillfen
