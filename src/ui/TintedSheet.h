#pragma once

#include "ui/SheetDialog.h"

namespace quillfen {

// A sheet whose tinted texts and symbols (see Tint.h) follow the desktop
// between light and dark.
class TintedSheet : public SheetDialog {
    Q_OBJECT

public:
    explicit TintedSheet(const QString& title, QWidget* parent = nullptr);

protected:
    // For a sheet whose content names it (the about panel, the welcome):
    // the header keeps only its close button, without the line under it.
    // The window title stays, for the task switcher and screen readers.
    void hideHeaderTitle();

    // Called after the tints are applied again for a new palette, for
    // colours a sheet draws beyond them.
    virtual void paletteChanged() {}
};

} // namespace quillfen
