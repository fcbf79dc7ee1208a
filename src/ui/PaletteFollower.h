#pragma once

#include <QObject>

#include <functional>

class QWidget;

namespace quillfen {

// Calls `apply` now, and again each time the application's palette changes
// (the desktop switched between light and dark), for as long as `owner`
// lives. `apply` reads the new colours from the application's palette: the
// widgets' own palettes may not have followed yet when it runs.
void followPalette(QWidget* owner, std::function<void()> apply);

// The event filter behind followPalette().
class PaletteFollower : public QObject {
    Q_OBJECT

public:
    PaletteFollower(QWidget* owner, std::function<void()> apply);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> apply_;
};

} // namespace quillfen
