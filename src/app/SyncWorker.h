#pragma once

#include "app/BackgroundRunner.h"
#include "records/DiffItem.h"
#include "records/SyncOptions.h"
#include "records/SyncProgress.h"
#include "records/SyncResult.h"
#include "services/RunKind.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <vector>

namespace quillfen {

class LogService;

// Runs the engine's sync or preview on a thread of its own and hands its
// progress snapshots and its outcome back to the main thread, in order.
class SyncWorker {
public:
    struct Request {
        RunMode mode = RunMode::sync;
        std::filesystem::path source;
        std::filesystem::path destination;
        SyncOptions options;
        std::filesystem::path logLocation;
    };
    struct Finished {
        SyncResult result;
        // What a preview would do; empty after a sync.
        std::vector<DiffItem> plan;
    };
    using Outcome = BackgroundRunner::Outcome<Finished>;

    // `onProgress` and `onDone` run on the main thread, never after the
    // worker is destroyed. Log lines go straight from the run's thread to
    // `log`, which must outlive it (the process-wide log is never destroyed).
    void start(Request request, LogService& log,
               std::function<void(const SyncProgress&)> onProgress,
               std::function<void(Outcome)> onDone);
    // Asks the current run to stop; a finished run ignores it.
    void cancel();
    // Asks the current run to stop and waits at most `grace` for it.
    void shutdown(std::chrono::milliseconds grace);

private:
    BackgroundRunner runner_;
};

} // namespace quillfen
