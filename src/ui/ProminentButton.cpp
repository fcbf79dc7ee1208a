#include "ui/ProminentButton.h"

#include "ui/NamedColors.h"
#include "ui/PaletteFollower.h"
#include "ui/SymbolIcons.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace quillfen {
namespace {

constexpr qreal kRadius = 5;

// `symbol` in `color`, and greyed as the disabled text when disabled.
QIcon symbolInStates(const QString& symbol, const QColor& color, const QColor& disabled) {
    QIcon icon;
    for (const auto& [mode, tint] :
         {std::pair{QIcon::Normal, color}, {QIcon::Disabled, disabled}}) {
        const QIcon tinted = symbolIcon(symbol, tint);
        for (const int extent : {16, 22, 32})
            icon.addPixmap(tinted.pixmap(extent), mode);
    }
    return icon;
}

} // namespace

ProminentButton::ProminentButton(const QString& text, const QString& symbol, QWidget* parent)
    : QPushButton(text, parent), symbol_(symbol) {
    setAttribute(Qt::WA_Hover);
    followPalette(this, [this] { applyPalette(); });
}

void ProminentButton::applyPalette() {
    if (symbol_.isEmpty())
        return;
    const QPalette& colors = QGuiApplication::palette();
    setIcon(symbolInStates(symbol_, colors.color(QPalette::HighlightedText),
                           colors.color(QPalette::Disabled, QPalette::ButtonText)));
}

void ProminentButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QPalette& colors = palette();
    QColor fill =
        isEnabled() ? accentColor(colors) : colors.color(QPalette::Disabled, QPalette::Button);
    if (isEnabled() && isDown())
        fill = fill.darker(115);
    else if (isEnabled() && underMouse())
        fill = fill.lighter(108);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(isEnabled() ? Qt::NoPen : QPen(colors.color(QPalette::Mid)));
    painter.setBrush(fill);
    const QRectF frame = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
    painter.drawRoundedRect(frame, kRadius, kRadius);
    const QColor text = isEnabled() ? colors.color(QPalette::HighlightedText)
                                    : colors.color(QPalette::Disabled, QPalette::ButtonText);
    if (hasFocus()) {
        QColor ring = text;
        ring.setAlphaF(0.7f);
        painter.setPen(QPen(ring, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(frame.adjusted(2.5, 2.5, -2.5, -2.5), kRadius - 2, kRadius - 2);
    }
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        option.palette.setColor(group, QPalette::ButtonText, text);
    painter.drawControl(QStyle::CE_PushButtonLabel, option);
}

} // namespace quillfen
