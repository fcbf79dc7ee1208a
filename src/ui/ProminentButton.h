#pragma once

#include <QPushButton>

namespace quillfen {

// The one button of a view that does its main thing ("Start Sync", "Sync
// Now"): filled with the accent, its text and symbol in the colour the
// palette pairs with the accent. Drawn here rather than by the style, which
// lightens a button's colour until white text on it no longer reads.
class ProminentButton : public QPushButton {
    Q_OBJECT

public:
    // `symbol`: the symbol before the text, or empty for none.
    explicit ProminentButton(const QString& text, const QString& symbol = QString(),
                             QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void applyPalette();

    QString symbol_;
};

} // namespace quillfen
