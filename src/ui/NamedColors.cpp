#include "ui/NamedColors.h"

#include <algorithm>
#include <cmath>

namespace quillfen {
namespace {

constexpr double kReadableContrast = 4.5;

QColor baseHue(NamedColor name) {
    switch (name) {
    case NamedColor::green:
        return QColor(0x2e, 0xa0, 0x43);
    case NamedColor::red:
        return QColor(0xe5, 0x48, 0x3f);
    case NamedColor::orange:
        return QColor(0xe8, 0x86, 0x1a);
    case NamedColor::blue:
        return QColor(0x35, 0x84, 0xe4);
    case NamedColor::teal:
        break;
    }
    return QColor(0x1a, 0xa8, 0xa8);
}

double channel(double value) {
    return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

double luminance(const QColor& color) {
    return 0.2126 * channel(color.redF()) + 0.7152 * channel(color.greenF()) +
           0.0722 * channel(color.blueF());
}

QColor mix(const QColor& from, const QColor& to, double amount) {
    const auto blend = [&](float a, float b) {
        return a + (b - a) * float(amount);
    };
    return QColor::fromRgbF(blend(from.redF(), to.redF()), blend(from.greenF(), to.greenF()),
                            blend(from.blueF(), to.blueF()));
}

// `color` moved toward `text` until it reads on every background, or `text`.
QColor readableAgainst(const QColor& color, const QColor& text,
                       std::initializer_list<QColor> backgrounds) {
    for (int step = 0; step <= 20; ++step) {
        const QColor candidate = mix(color, text, step / 20.0);
        if (std::all_of(backgrounds.begin(), backgrounds.end(), [&](const QColor& background) {
                return contrastRatio(candidate, background) >= kReadableContrast;
            }))
            return candidate;
    }
    return text;
}

} // namespace

double contrastRatio(const QColor& first, const QColor& second) {
    const double a = luminance(first) + 0.05;
    const double b = luminance(second) + 0.05;
    return std::max(a, b) / std::min(a, b);
}

QColor namedColor(NamedColor name, const QPalette& palette) {
    // Moving toward the text colour raises the contrast with the background.
    return readableAgainst(baseHue(name), palette.color(QPalette::WindowText),
                           {palette.color(QPalette::Window), palette.color(QPalette::Base)});
}

QColor readableOnButton(const QColor& color, const QPalette& palette) {
    return readableAgainst(color, palette.color(QPalette::ButtonText),
                           {palette.color(QPalette::Button)});
}

QColor accentColor(const QPalette& palette) {
    return palette.color(QPalette::Highlight);
}

QColor secondaryTextColor(const QPalette& palette) {
    return mix(palette.color(QPalette::WindowText), palette.color(QPalette::Window), 0.3);
}

QColor tertiaryTextColor(const QPalette& palette) {
    return mix(palette.color(QPalette::WindowText), palette.color(QPalette::Window), 0.5);
}

} // namespace quillfen
