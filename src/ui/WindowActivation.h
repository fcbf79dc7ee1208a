#pragma once

class QWidget;

namespace quillfen {

// Shows the window, restores it when minimised, raises it and gives it the
// keyboard focus.
void bringForward(QWidget& window);

} // namespace quillfen
