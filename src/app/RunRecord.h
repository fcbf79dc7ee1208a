#pragma once

#include "records/HistoryEntry.h"
#include "services/RunKind.h"

#include <QString>

#include <filesystem>

namespace quillfen {

class LogService;
class NotificationService;
class StorageService;
struct SyncResult;

// What one run leaves besides the files it copied: its log, its entry in the
// history and, unless it failed, a notification. Made when the run starts.
class RunRecord {
public:
    struct Services {
        StorageService& storage;
        LogService& log;
        NotificationService& notifications;
    };

    // Opens the run's log (its header is written at once) and starts its
    // history entry.
    RunRecord(Services services, RunMode mode, RunTrigger trigger, const QString& source,
              const QString& destination);

    const std::filesystem::path& logLocation() const { return logLocation_; }

    // A run that ended, finished or cancelled, or a preview: the history
    // entry, the log's footer and the notification.
    void complete(const SyncResult& result);
    // A run that could not run: the history entry, and the log closed
    // without a footer; nobody is notified.
    void fail(const SyncResult& result);

private:
    void addToHistory(const SyncResult& result);

    Services services_;
    RunTrigger trigger_;
    HistoryEntry entry_;
    std::filesystem::path logLocation_;
};

} // namespace quillfen
