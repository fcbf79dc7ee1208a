#pragma once

#include "app/Dialogs.h"

#include <QPointer>
#include <QWidget>

class QFileDialog;

namespace quillfen {

// The controller's file dialogs as Qt file dialogs: window-modal over the
// main window, opened with open(), so the event loop runs on while the user
// chooses. The answer comes when the dialog closes; a dialog destroyed with
// its window answers nothing.
class FileDialogs : public Dialogs {
public:
    // The window the dialogs sit over; none: they stand on their own.
    void setParentWindow(QWidget* window) { parent_ = window; }

    void chooseFolder(const QString& message, Answer answer) override;
    void chooseSaveFile(const QString& suggestedName, Answer answer) override;
    void chooseOpenFile(const QString& message, Answer answer) override;

private:
    QFileDialog* makeDialog(const QString& title) const;
    static void present(QFileDialog* dialog, Answer answer);

    QPointer<QWidget> parent_;
};

} // namespace quillfen
