#include "ui/Tint.h"

#include "ui/NamedColors.h"
#include "ui/PaletteFollower.h"
#include "ui/SymbolIcons.h"
#include "ui/Typography.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QStyle>
#include <QTimer>

namespace quillfen {
namespace {

constexpr const char* kTintProperty = "quillfenTint";
constexpr const char* kSymbolProperty = "quillfenSymbol";
constexpr const char* kSymbolTintProperty = "quillfenSymbolTint";
constexpr const char* kExtentProperty = "quillfenSymbolExtent";

} // namespace

QColor tintColor(Tint tint, const QPalette& palette) {
    switch (tint) {
    case Tint::text:
        return palette.color(QPalette::WindowText);
    case Tint::secondary:
        return secondaryTextColor(palette);
    case Tint::tertiary:
        return tertiaryTextColor(palette);
    case Tint::accent:
        return accentColor(palette);
    case Tint::green:
        return namedColor(NamedColor::green, palette);
    case Tint::red:
        return namedColor(NamedColor::red, palette);
    case Tint::orange:
        return namedColor(NamedColor::orange, palette);
    case Tint::blue:
        return namedColor(NamedColor::blue, palette);
    case Tint::teal:
        break;
    }
    return namedColor(NamedColor::teal, palette);
}

namespace {

void paintText(QWidget* widget) {
    const auto tint = Tint(widget->property(kTintProperty).toInt());
    // The application's palette, not the widget's: the widget's own carries
    // the colour applied last time.
    applyTextColor(widget, tintColor(tint, QGuiApplication::palette()));
}

void paintSymbol(QWidget* widget) {
    const QString symbol = widget->property(kSymbolProperty).toString();
    const auto tint = Tint(widget->property(kSymbolTintProperty).toInt());
    const QIcon icon = symbolIcon(symbol, tintColor(tint, QGuiApplication::palette()));
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setIcon(icon);
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        const int extent = widget->property(kExtentProperty).toInt();
        label->setPixmap(icon.pixmap(QSize(extent, extent), label->devicePixelRatioF()));
    }
}

} // namespace

void applyTint(QWidget* widget, Tint tint) {
    widget->setProperty(kTintProperty, int(tint));
    paintText(widget);
}

void applySymbol(QWidget* widget, const QString& symbol, Tint tint, int extent) {
    widget->setProperty(kSymbolProperty, symbol);
    widget->setProperty(kSymbolTintProperty, int(tint));
    widget->setProperty(kExtentProperty, extent);
    paintSymbol(widget);
}

void reapplyTints(QWidget* root) {
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.prepend(root);
    for (QWidget* widget : widgets) {
        // Style sheets that name palette colours resolve them when polished,
        // and what a style sheet styles keeps the palette it was polished
        // with: the owner's and everything inside it, parents first.
        if (!widget->styleSheet().isEmpty()) {
            QList<QWidget*> styled = widget->findChildren<QWidget*>();
            styled.prepend(widget);
            for (QWidget* part : styled) {
                part->style()->unpolish(part);
                part->style()->polish(part);
            }
        }
        if (widget->property(kTintProperty).isValid())
            paintText(widget);
        if (widget->property(kSymbolProperty).isValid())
            paintSymbol(widget);
    }
}

void followTints(QWidget* root, std::function<void()> then) {
    // Deferred: style sheets that name palette colours resolve them only
    // once the widgets have taken the new palette on.
    new PaletteFollower(root, [root, then = std::move(then)] {
        QTimer::singleShot(0, root, [root, then] {
            reapplyTints(root);
            if (then)
                then();
        });
    });
}

} // namespace quillfen
