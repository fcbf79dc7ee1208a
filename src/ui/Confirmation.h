#pragma once

#include <QString>

#include <functional>

class QMessageBox;
class QWidget;

namespace quillfen {

// A question before a destructive step, asked over a sheet.
struct Confirmation {
    QString title;
    QString message;     // none when empty
    QString confirmText; // the destructive button
};

// Opens the question window-modal over `parent` (with open(), never
// exec()): the destructive button runs `confirmed`; "Cancel", Esc or
// closing the box does nothing. The box deletes itself once answered.
QMessageBox* askToConfirm(QWidget* parent, const Confirmation& confirmation,
                          std::function<void()> confirmed);

} // namespace quillfen
