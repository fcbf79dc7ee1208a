#pragma once

#include "ui/TintedSheet.h"

namespace quillfen {

// The about panel: the application's icon, name, version, tagline and
// copyright notice.
class AboutSheet : public TintedSheet {
    Q_OBJECT

public:
    explicit AboutSheet(QWidget* parent = nullptr);
};

} // namespace quillfen
