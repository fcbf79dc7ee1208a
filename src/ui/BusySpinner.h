#pragma once

#include <QBasicTimer>
#include <QWidget>

namespace quillfen {

// A small indeterminate spinner in the palette's text colour. It turns only
// while it is visible, so a hidden one costs nothing.
class BusySpinner : public QWidget {
    Q_OBJECT

public:
    explicit BusySpinner(QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    QBasicTimer timer_;
    int step_ = 0;
};

} // namespace quillfen
