#include "app/RunRecord.h"

#include "app/PathText.h"
#include "services/LogService.h"
#include "services/NotificationService.h"
#include "storage/StorageService.h"

namespace quillfen {

RunRecord::RunRecord(Services services, RunMode mode, RunTrigger trigger, const QString& source,
                     const QString& destination)
    : services_(services), trigger_(trigger) {
    entry_.id = Uuid::random();
    logLocation_ = services_.log.openLog(entry_.id, mode, toPath(source).native(),
                                         toPath(destination).native());
    entry_.startedAt = now();
    entry_.source = source.toStdString();
    entry_.destination = destination.toStdString();
    entry_.isDryRun = mode == RunMode::preview;
    entry_.logFileName = logLocation_.filename().string();
}

void RunRecord::complete(const SyncResult& result) {
    addToHistory(result);
    services_.log.closeLog(result, logLocation_);
    services_.notifications.postResult(result, logLocation_, trigger_);
}

void RunRecord::fail(const SyncResult& result) {
    addToHistory(result);
    services_.log.abandonLog(logLocation_);
}

void RunRecord::addToHistory(const SyncResult& result) {
    entry_.endedAt = now();
    entry_.result = result;
    services_.storage.addHistoryEntry(entry_);
}

} // namespace quillfen
