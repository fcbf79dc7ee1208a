#pragma once

#include "ui/SheetDialog.h"

namespace quillfen {

// A sheet with a title and nothing yet inside, standing in for a sheet that
// is not built, so that every flag opens and closes something.
class PlaceholderSheet : public SheetDialog {
    Q_OBJECT

public:
    explicit PlaceholderSheet(const QString& title, QWidget* parent = nullptr);
};

} // namespace quillfen
