#pragma once

#include <QColor>
#include <QString>
#include <QToolButton>

namespace quillfen {

// A tool of the main window: its symbol over its label, both in its tint,
// with an optional badge (a count, or "●") in the top-right corner. The
// badge is also the button's accessible description, so a screen reader
// says "Exclusions, 3".
class BadgedToolButton : public QToolButton {
    Q_OBJECT

public:
    BadgedToolButton(const QString& text, const QString& symbol, QWidget* parent = nullptr);

    QString badge() const { return badge_; }
    void setBadge(const QString& badge);

    // An invalid colour tints with the palette's accent.
    void setTint(const QColor& tint);
    QColor tint() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void applyTint();

    QString symbol_;
    QString badge_;
    QColor tint_;
};

} // namespace quillfen
