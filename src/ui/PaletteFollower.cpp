#include "ui/PaletteFollower.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace quillfen {

void followPalette(QWidget* owner, std::function<void()> apply) {
    apply();
    new PaletteFollower(owner, std::move(apply));
}

PaletteFollower::PaletteFollower(QWidget* owner, std::function<void()> apply)
    : QObject(owner), apply_(std::move(apply)) {
    QCoreApplication::instance()->installEventFilter(this);
}

bool PaletteFollower::eventFilter(QObject* watched, QEvent* event) {
    if (watched == QCoreApplication::instance() &&
        event->type() == QEvent::ApplicationPaletteChange)
        apply_();
    return false;
}

} // namespace quillfen
