#include "app/SyncWorker.h"

#include "engine/SyncEngine.h"
#include "services/LogService.h"

namespace quillfen {

void SyncWorker::start(Request request, LogService& log,
                       std::function<void(const SyncProgress&)> onProgress,
                       std::function<void(Outcome)> onDone) {
    runner_.start(
        [request = std::move(request), &log,
         onProgress = std::move(onProgress)](const BackgroundRunner::Context& context) {
            SyncEngine engine;
            engine.onProgress = [&context, &onProgress](const SyncProgress& progress) {
                context.post([onProgress, progress] { onProgress(progress); });
            };
            engine.onLog = [&log, &location = request.logLocation](const std::string& line) {
                log.writeLine(line, location);
            };
            Finished finished;
            if (request.mode == RunMode::preview) {
                finished.plan =
                    engine.preview(request.source, request.destination, request.options);
                finished.result = previewResult(finished.plan);
            } else {
                finished.result = engine.sync(request.source, request.destination, request.options,
                                              context.stopToken());
            }
            return finished;
        },
        std::move(onDone));
}

void SyncWorker::cancel() {
    runner_.requestStopAll();
}

void SyncWorker::shutdown(std::chrono::milliseconds grace) {
    runner_.requestStopAll();
    runner_.waitForAll(grace);
}

} // namespace quillfen
