#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>

class QWidget;

namespace quillfen {

class AppViewModel;

// Asks, over the window, whether a backup that was read should replace the
// settings: shown while the view model holds a pending backup, window-modal
// and opened with open(). "Import" confirms, "Cancel" or Esc cancels.
class ImportAlert : public QObject {
    Q_OBJECT

public:
    ImportAlert(AppViewModel& viewModel, QWidget& window);

    // The alert while it is shown, else null.
    QMessageBox* messageBox() const { return box_; }

private:
    void follow();
    void answered(bool confirmed);

    AppViewModel& viewModel_;
    QWidget& window_;
    QPointer<QMessageBox> box_;
};

} // namespace quillfen
