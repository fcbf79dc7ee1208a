#include "ui/WindowActivation.h"

#include <QWidget>

namespace quillfen {

void bringForward(QWidget& window) {
    if (window.isMinimized())
        window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.show();
    window.raise();
    window.activateWindow();
}

} // namespace quillfen
