#pragma once

#include "records/DiffItem.h"
#include "records/SyncOptions.h"
#include "records/SyncProgress.h"
#include "records/SyncResult.h"

#include <QObject>
#include <QPointer>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace quillfen {

class LogService;

// Runs the engine's sync or preview on a thread of its own and hands its
// progress snapshots and its outcome back to the main thread, in order.
//
// The thread is detached and owns everything it touches, so quitting never
// waits for a copy that cannot be interrupted; what it posts back goes
// through a guard and is dropped once its receiver is gone.
class SyncWorker {
public:
    struct Request {
        bool dryRun = false;
        std::filesystem::path source;
        std::filesystem::path destination;
        SyncOptions options;
        std::filesystem::path logLocation;
    };
    // The preview's plan, the run's result, or the description of the error
    // that failed it.
    using Outcome = std::variant<std::vector<DiffItem>, SyncResult, std::string>;

    SyncWorker();
    ~SyncWorker();
    SyncWorker(const SyncWorker&) = delete;
    SyncWorker& operator=(const SyncWorker&) = delete;

    // `onProgress` and `onDone` are called on the main thread through
    // `receiver`, never after it is destroyed. Log lines go straight from the
    // worker to `log`.
    void start(Request request, LogService& log, QObject* receiver,
               std::function<void(const SyncProgress&)> onProgress,
               std::function<void(Outcome)> onDone);
    // Asks the current run to stop; a finished run ignores it.
    void cancel();
    // Asks the current run to stop and waits at most `grace` for it.
    void shutdown(std::chrono::milliseconds grace);

private:
    struct RunState;
    std::shared_ptr<RunState> current_;
};

} // namespace quillfen
