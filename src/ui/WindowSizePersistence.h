#pragma once

#include <QObject>
#include <QPointer>
#include <QSize>
#include <QString>

#include <chrono>

class QTimer;
class QWidget;

namespace quillfen {

class UserDefaults;

// Remembers the size the user gives a window (a sheet) under a key, as
// "modal.size.<key>.width" and ".height", and gives it back the next time
// that window opens. Made with the window and owned by it.
//
// The stored size is restored once, when the window is first shown, and
// only when both values are numbers; it is kept within the window's minimum
// size and its screen's available area. Resizes are written `saveDelay`
// after the last one, so a drag writes once, at its end. Sizes are the
// window's own, without the frame the window manager draws.
class WindowSizePersistence : public QObject {
    Q_OBJECT

public:
    WindowSizePersistence(QWidget& window, QString key, UserDefaults& defaults,
                          std::chrono::milliseconds saveDelay = std::chrono::milliseconds(300));

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void restore();
    void save();

    QPointer<QWidget> window_;
    QString key_;
    UserDefaults& defaults_;
    QTimer* saveTimer_;
    bool hasRestored_ = false;
    QSize lastKnownSize_;
};

} // namespace quillfen
