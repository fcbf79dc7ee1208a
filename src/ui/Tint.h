#pragma once

#include <QColor>
#include <QPalette>
#include <QString>

#include <functional>

class QWidget;

namespace quillfen {

// A colour a sheet names for a text or a symbol, resolved against the
// current palette each time it is applied, so light and dark both work.
enum class Tint { text, secondary, tertiary, accent, green, red, orange, blue, teal };

QColor tintColor(Tint tint, const QPalette& palette);

// The text of `widget` (a label, a button) in `tint`.
void applyTint(QWidget* widget, Tint tint);
// `symbol` drawn in `tint`: a label's picture at `extent` pixels, or a
// button's icon.
void applySymbol(QWidget* widget, const QString& symbol, Tint tint, int extent = 16);
// Applies again every tint and symbol set on `root` and below it.
void reapplyTints(QWidget* root);
// From now on, whenever the application's palette changes (the desktop
// switches between light and dark), applies the tints of `root` again
// once the widgets have taken the new palette on, then runs `then`.
void followTints(QWidget* root, std::function<void()> then = {});

} // namespace quillfen
