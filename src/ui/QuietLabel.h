#pragma once

#include <QLabel>

namespace quillfen {

// A label in a quieter text colour (captions, hints, values beside their
// labels) that follows the palette when the desktop switches between light
// and dark.
class QuietLabel : public QLabel {
    Q_OBJECT

public:
    enum class Tone { secondary, tertiary };

    explicit QuietLabel(const QString& text = QString(), Tone tone = Tone::secondary,
                        QWidget* parent = nullptr);

private:
    void applyTone();

    Tone tone_;
};

} // namespace quillfen
