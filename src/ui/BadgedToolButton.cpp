#include "ui/BadgedToolButton.h"

#include "ui/NamedColors.h"
#include "ui/PaletteFollower.h"
#include "ui/SymbolIcons.h"
#include "ui/Typography.h"

#include <QPainter>

namespace quillfen {

BadgedToolButton::BadgedToolButton(const QString& text, const QString& symbol, QWidget* parent)
    : QToolButton(parent), symbol_(symbol) {
    setText(text);
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    setIconSize(QSize(22, 22));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFocusPolicy(Qt::StrongFocus);
    followPalette(this, [this] { applyTint(); });
}

void BadgedToolButton::setBadge(const QString& badge) {
    if (badge == badge_)
        return;
    badge_ = badge;
    setAccessibleDescription(badge);
    update();
}

void BadgedToolButton::setTint(const QColor& tint) {
    tint_ = tint;
    applyTint();
}

QColor BadgedToolButton::tint() const {
    return tint_.isValid() ? tint_ : accentColor();
}

QSize BadgedToolButton::sizeHint() const {
    // Room for the badge beside the symbol.
    return QToolButton::sizeHint() + QSize(16, 6);
}

void BadgedToolButton::applyTint() {
    setIcon(symbolIcon(symbol_, tint()));
    applyTextColor(this, readableOnButton(tint()));
}

void BadgedToolButton::paintEvent(QPaintEvent* event) {
    QToolButton::paintEvent(event);
    if (badge_.isEmpty())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font = fontFor(TextStyle::caption2, this->font());
    font.setBold(true);
    painter.setFont(font);
    const QFontMetrics metrics(font);
    const int height = metrics.height() + 2;
    const int width = std::max(height, metrics.horizontalAdvance(badge_) + 8);
    const QRectF pill(rect().right() - width - 3, 3, width, height);
    painter.setPen(Qt::NoPen);
    const QColor fill = isEnabled() ? tint() : palette().color(QPalette::Disabled, QPalette::Text);
    painter.setBrush(fill);
    painter.drawRoundedRect(pill, height / 2.0, height / 2.0);
    const QColor white(Qt::white);
    const QColor black(Qt::black);
    painter.setPen(contrastRatio(white, fill) >= contrastRatio(black, fill) ? white : black);
    painter.drawText(pill, Qt::AlignCenter, badge_);
}

} // namespace quillfen
