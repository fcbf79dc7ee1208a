#pragma once

#include <QColor>
#include <QFont>

class QWidget;

namespace quillfen {

// The text sizes the window uses, relative to the desktop's own font so
// they follow the user's font settings.
enum class TextStyle { largeTitle, title, headline, subheadline, body, callout, caption, caption2 };

QFont fontFor(TextStyle style, const QFont& base);
// The desktop's fixed-width font at the size of `style`.
QFont monospacedFontFor(TextStyle style, const QFont& base);

void applyTextStyle(QWidget* widget, TextStyle style);
// Text in `color` (a label's text, a button's label) while the widget is
// enabled.
void applyTextColor(QWidget* widget, const QColor& color);

} // namespace quillfen
