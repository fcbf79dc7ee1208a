#pragma once

#include <QLabel>

namespace quillfen {

// A one-line label that cuts its text in the middle to fit its width, so a
// long path keeps both its first folders and its file name. The whole text
// stays its tooltip and its accessible name.
class ElidedLabel : public QLabel {
    Q_OBJECT

public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    QString fullText() const { return fullText_; }
    void setFullText(const QString& text);

    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void elide();

    QString fullText_;
};

} // namespace quillfen
