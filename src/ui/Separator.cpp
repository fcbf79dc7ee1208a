#include "ui/Separator.h"

namespace quillfen {

Separator::Separator(QWidget* parent) : QFrame(parent) {
    setFrameShape(QFrame::HLine);
    setFrameShadow(QFrame::Sunken);
}

} // namespace quillfen
