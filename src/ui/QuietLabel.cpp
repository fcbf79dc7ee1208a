#include "ui/QuietLabel.h"

#include "ui/NamedColors.h"
#include "ui/PaletteFollower.h"
#include "ui/Typography.h"

#include <QGuiApplication>

namespace quillfen {

QuietLabel::QuietLabel(const QString& text, Tone tone, QWidget* parent)
    : QLabel(text, parent), tone_(tone) {
    followPalette(this, [this] { applyTone(); });
}

void QuietLabel::applyTone() {
    const QPalette& palette = QGuiApplication::palette();
    applyTextColor(this, tone_ == Tone::secondary ? secondaryTextColor(palette)
                                                  : tertiaryTextColor(palette));
}

} // namespace quillfen
