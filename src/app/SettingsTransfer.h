#pragma once

#include "records/SettingsBackup.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace quillfen {

class Dialogs;
class StorageService;

// Export writes the stored settings to a file the user picks; import reads a
// file into a pending backup that replaces the settings only once confirmed.
class SettingsTransfer {
public:
    SettingsTransfer(StorageService& storage, Dialogs& dialogs,
                     std::function<void()> onPendingChanged);

    void exportSettings();
    // A second successful import replaces the pending backup.
    void importSettings();
    // Applies the pending backup to the store, leaving it pending until
    // cancelImport(); false when none was pending.
    bool restorePending();
    void cancelImport();

    const std::optional<SettingsBackup>& pendingBackup() const { return pending_; }

private:
    void setPending(std::optional<SettingsBackup> backup);

    StorageService& storage_;
    Dialogs& dialogs_;
    std::function<void()> onPendingChanged_;
    std::optional<SettingsBackup> pending_;
    // Expires with this object, so a dialog answering late finds it gone.
    std::shared_ptr<int> lifetime_ = std::make_shared<int>();
};

} // namespace quillfen
