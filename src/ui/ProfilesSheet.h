#pragma once

#include "ui/TintedSheet.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QStackedWidget;

namespace quillfen {

class AppViewModel;
struct SyncProfile;

// Saves the current folders and options under a name, applies a saved
// profile (and closes), and deletes one after asking. A name is taken
// without the spaces and tabs around it and must not be taken already
// (case counts).
//
// The rows are widgets: the list is typed by hand, so it stays short, and
// each row's buttons must be reachable by Tab and by screen readers.
class ProfilesSheet : public TintedSheet {
    Q_OBJECT

public:
    explicit ProfilesSheet(AppViewModel& viewModel, QWidget* parent = nullptr);

private:
    void render();
    void updateSaveButton();
    void save();
    QWidget* makeRow(const SyncProfile& profile);
    void confirmDelete(const SyncProfile& profile);

    AppViewModel& viewModel_;
    QLineEdit* nameEdit_;
    QPushButton* saveButton_;
    QLabel* duplicateLabel_;
    QStackedWidget* pages_;
    QScrollArea* rowsArea_;
};

} // namespace quillfen
