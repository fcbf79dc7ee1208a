#pragma once

#include <QString>

#include <optional>

namespace quillfen {

// The modal file dialogs the controller needs. The window supplies the real
// ones; tests supply scripted answers. Each returns the chosen path, or none
// when the user cancelled.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // One existing folder (no files, no multiple selection); creating a new
    // folder from the dialog is allowed.
    virtual std::optional<QString> chooseFolder(const QString& message) = 0;

    // Where to save a JSON document, starting from `suggestedName`; new
    // folders may be created.
    virtual std::optional<QString> chooseSaveFile(const QString& suggestedName) = 0;

    // One JSON file to open (no folders, no multiple selection).
    virtual std::optional<QString> chooseOpenFile(const QString& message) = 0;
};

} // namespace quillfen
