#pragma once

#include <QColor>
#include <QGuiApplication>
#include <QPalette>

namespace quillfen {

// The colours the window names (status dots, tints, counts). Each is derived
// from one hue and moved toward the palette's text colour until it reads
// well on both the window and the base background (a contrast of at least
// 4.5:1), so it works on light, dark and high-contrast palettes.
enum class NamedColor { green, red, orange, blue, teal };

QColor namedColor(NamedColor name, const QPalette& palette = QGuiApplication::palette());

// `color` as the text of a button: moved toward the button's text colour
// until it reads on the button (4.5:1), so a tinted label on a grey button
// stays legible whatever the palette makes of the accent.
QColor readableOnButton(const QColor& color, const QPalette& palette = QGuiApplication::palette());

// The accent: the palette's highlight colour.
QColor accentColor(const QPalette& palette = QGuiApplication::palette());

// Quieter text for captions and hints, between the text and the background.
QColor secondaryTextColor(const QPalette& palette = QGuiApplication::palette());
QColor tertiaryTextColor(const QPalette& palette = QGuiApplication::palette());

// The contrast ratio of two colours as accessibility guidelines define it,
// from 1 (same luminance) to 21 (black on white).
double contrastRatio(const QColor& first, const QColor& second);

} // namespace quillfen
