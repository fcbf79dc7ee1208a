#include "ui/Typography.h"

#include <QApplication>
#include <QFontDatabase>
#include <QPalette>
#include <QWidget>

namespace quillfen {
namespace {

double scaleOf(TextStyle style) {
    switch (style) {
    case TextStyle::largeTitle:
        return 2.0;
    case TextStyle::title:
        return 1.5;
    case TextStyle::headline:
        return 1.1;
    case TextStyle::subheadline:
    case TextStyle::callout:
        return 0.95;
    case TextStyle::body:
        return 1.0;
    case TextStyle::caption:
        return 0.85;
    case TextStyle::caption2:
        break;
    }
    return 0.78;
}

QFont scaled(QFont font, TextStyle style, double basePointSize) {
    if (basePointSize > 0)
        font.setPointSizeF(basePointSize * scaleOf(style));
    const bool bold =
        style == TextStyle::largeTitle || style == TextStyle::title || style == TextStyle::headline;
    font.setWeight(bold ? QFont::DemiBold : QFont::Normal);
    return font;
}

} // namespace

QFont fontFor(TextStyle style, const QFont& base) {
    return scaled(base, style, base.pointSizeF());
}

QFont monospacedFontFor(TextStyle style, const QFont& base) {
    return scaled(QFontDatabase::systemFont(QFontDatabase::FixedFont), style, base.pointSizeF());
}

void applyTextStyle(QWidget* widget, TextStyle style) {
    widget->setFont(fontFor(style, QApplication::font()));
}

void applyTextColor(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    // A disabled widget keeps the palette's disabled text, so it looks it.
    for (const auto group : {QPalette::Active, QPalette::Inactive})
        for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            palette.setColor(group, role, color);
    widget->setPalette(palette);
}

} // namespace quillfen
