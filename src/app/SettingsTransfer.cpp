#include "app/SettingsTransfer.h"

#include "app/Dialogs.h"
#include "app/PathText.h"
#include "app/ShellTexts.h"
#include "storage/AtomicFile.h"
#include "storage/StorageService.h"

namespace quillfen {

SettingsTransfer::SettingsTransfer(StorageService& storage, Dialogs& dialogs,
                                   std::function<void()> onPendingChanged)
    : storage_(storage), dialogs_(dialogs), onPendingChanged_(std::move(onPendingChanged)) {}

void SettingsTransfer::exportSettings() {
    const auto document = storage_.makeBackup();
    if (!document)
        return;
    dialogs_.chooseSaveFile(suggestedBackupFileName(QDate::currentDate()),
                            [document = *document](std::optional<QString> target) {
                                // A failed write leaves any earlier file as it
                                // was; nothing is reported.
                                if (target)
                                    writeFileAtomically(toPath(*target), document);
                            });
}

void SettingsTransfer::importSettings() {
    dialogs_.chooseOpenFile(QStringLiteral("Choose a Quillfen settings backup"),
                            [this, alive = std::weak_ptr<int>(lifetime_)](auto file) {
                                if (!alive.lock() || !file)
                                    return;
                                auto backup = StorageService::readBackup(toPath(*file));
                                if (backup)
                                    setPending(std::move(backup));
                            });
}

bool SettingsTransfer::restorePending() {
    if (!pending_)
        return false;
    storage_.restoreBackup(*pending_);
    return true;
}

void SettingsTransfer::cancelImport() {
    setPending(std::nullopt);
}

void SettingsTransfer::setPending(std::optional<SettingsBackup> backup) {
    pending_ = std::move(backup);
    onPendingChanged_();
}

} // namespace quillfen
