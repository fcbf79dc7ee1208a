#pragma once

#include <QLabel>

namespace quillfen {

// A one-line label that shortens its text in the middle when it is too
// narrow ("/home/ann/…/Photos"), keeping the whole text as its tooltip and
// as what screen readers say.
class ElidedLabel : public QLabel {
    Q_OBJECT

public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    QString fullText() const { return fullText_; }
    void setFullText(const QString& text);

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void elide();

    QString fullText_;
};

} // namespace quillfen
