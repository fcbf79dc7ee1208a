#pragma once

#include <QString>

#include <functional>
#include <optional>

namespace quillfen {

// The modal file dialogs the controller needs. The window supplies the real
// ones; tests supply scripted answers. A dialog never blocks its caller (no
// nested event loop): the answer arrives later, on the main thread, as the
// chosen path, or none when the user cancelled. An answer may also never
// arrive, when the dialog goes away with its window.
class Dialogs {
public:
    using Answer = std::function<void(std::optional<QString>)>;

    virtual ~Dialogs() = default;

    // One existing folder (no files, no multiple selection); creating a new
    // folder from the dialog is allowed.
    virtual void chooseFolder(const QString& message, Answer answer) = 0;

    // Where to save a JSON document, starting from `suggestedName`; new
    // folders may be created.
    virtual void chooseSaveFile(const QString& suggestedName, Answer answer) = 0;

    // One JSON file to open (no folders, no multiple selection).
    virtual void chooseOpenFile(const QString& message, Answer answer) = 0;
};

} // namespace quillfen
