#include "ui/ElidedLabel.h"

#include <QEvent>

namespace quillfen {

ElidedLabel::ElidedLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void ElidedLabel::setFullText(const QString& text) {
    // Progress sets the same name many times a second.
    if (text == fullText_)
        return;
    fullText_ = text;
    setToolTip(text);
    setAccessibleName(text);
    updateGeometry();
    elide();
}

QSize ElidedLabel::minimumSizeHint() const {
    return QSize(fontMetrics().horizontalAdvance(QChar(0x2026)) * 3,
                 QLabel::minimumSizeHint().height());
}

QSize ElidedLabel::sizeHint() const {
    return QSize(fontMetrics().horizontalAdvance(fullText_), QLabel::sizeHint().height());
}

void ElidedLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    elide();
}

void ElidedLabel::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        elide();
}

void ElidedLabel::elide() {
    const QString shown =
        fontMetrics().elidedText(fullText_, Qt::ElideMiddle, contentsRect().width());
    if (shown != text())
        setText(shown);
}

} // namespace quillfen
