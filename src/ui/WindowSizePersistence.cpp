#include "ui/WindowSizePersistence.h"

#include "app/UserDefaults.h"

#include <QEvent>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace quillfen {

WindowSizePersistence::WindowSizePersistence(QWidget& window, QString key, UserDefaults& defaults,
                                             std::chrono::milliseconds saveDelay)
    : QObject(&window), window_(&window), key_(std::move(key)), defaults_(defaults),
      saveTimer_(new QTimer(this)) {
    saveTimer_->setSingleShot(true);
    saveTimer_->setInterval(saveDelay);
    connect(saveTimer_, &QTimer::timeout, this, &WindowSizePersistence::save);
    window.installEventFilter(this);
}

bool WindowSizePersistence::eventFilter(QObject* watched, QEvent* event) {
    if (watched != window_)
        return false;
    if (event->type() == QEvent::Show && !hasRestored_) {
        hasRestored_ = true;
        restore();
        lastKnownSize_ = window_->size();
    } else if (event->type() == QEvent::Resize && hasRestored_ &&
               window_->size() != lastKnownSize_) {
        lastKnownSize_ = window_->size();
        saveTimer_->start();
    }
    return false;
}

void WindowSizePersistence::restore() {
    const auto stored = defaults_.sheetSize(key_);
    if (!stored)
        return;
    const QSize minimum = window_->minimumSize().expandedTo(window_->minimumSizeHint());
    double width = std::max(stored->width(), double(minimum.width()));
    double height = std::max(stored->height(), double(minimum.height()));
    if (const QScreen* screen = window_->screen()) {
        // The window manager's frame goes around the size set here, and the
        // whole window has to fit. The frame is known only once a window is
        // on screen, so a sheet goes by its main window's.
        const QWidget* framed =
            window_->parentWidget() ? window_->parentWidget()->window() : window_.data();
        const QSize available =
            screen->availableGeometry().size() - (framed->frameGeometry().size() - framed->size());
        width = std::min(width, double(available.width()));
        height = std::min(height, double(available.height()));
    }
    window_->resize(int(std::lround(width)), int(std::lround(height)));
}

void WindowSizePersistence::save() {
    if (window_)
        defaults_.setSheetSize(key_, QSizeF(window_->size()));
}

} // namespace quillfen
