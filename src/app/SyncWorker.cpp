#include "app/SyncWorker.h"

#include "engine/SyncEngine.h"
#include "services/LogService.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <condition_variable>
#include <exception>
#include <mutex>
#include <stop_token>
#include <thread>

namespace quillfen {

struct SyncWorker::RunState {
    std::stop_source stop;
    std::mutex mutex;
    std::condition_variable finishedChanged;
    bool finished = false;

    void markFinished() {
        std::lock_guard lock(mutex);
        finished = true;
        finishedChanged.notify_all();
    }
};

namespace {

// Posts `task` to the main thread; it runs only if `receiver` still exists.
// The application object outlives every receiver, so the event itself is
// always delivered to a live object.
void postToMainThread(const QPointer<QObject>& receiver, std::function<void()> task) {
    auto* application = QCoreApplication::instance();
    if (application == nullptr)
        return;
    QMetaObject::invokeMethod(
        application,
        [receiver, task = std::move(task)] {
            if (receiver)
                task();
        },
        Qt::QueuedConnection);
}

SyncWorker::Outcome runEngine(SyncEngine& engine, const SyncWorker::Request& request,
                              std::stop_token stop) {
    try {
        if (request.dryRun)
            return engine.preview(request.source, request.destination, request.options);
        return engine.sync(request.source, request.destination, request.options, stop);
    } catch (const std::exception& error) {
        return std::string(error.what());
    }
}

} // namespace

SyncWorker::SyncWorker() = default;

SyncWorker::~SyncWorker() {
    cancel();
}

void SyncWorker::start(Request request, LogService& log, QObject* receiver,
                       std::function<void(const SyncProgress&)> onProgress,
                       std::function<void(Outcome)> onDone) {
    auto state = std::make_shared<RunState>();
    current_ = state;
    QPointer<QObject> guard(receiver);
    std::thread([state, request = std::move(request), &log, guard,
                 onProgress = std::move(onProgress), onDone = std::move(onDone)]() mutable {
        SyncEngine engine;
        engine.onProgress = [guard, onProgress](const SyncProgress& progress) {
            postToMainThread(guard, [onProgress, progress] { onProgress(progress); });
        };
        engine.onLog = [&log, location = request.logLocation](const std::string& line) {
            log.writeLine(line, location);
        };
        auto outcome = runEngine(engine, request, state->stop.get_token());
        postToMainThread(guard, [onDone, outcome = std::move(outcome)]() mutable {
            onDone(std::move(outcome));
        });
        state->markFinished();
    }).detach();
}

void SyncWorker::cancel() {
    if (current_)
        current_->stop.request_stop();
}

void SyncWorker::shutdown(std::chrono::milliseconds grace) {
    if (!current_)
        return;
    current_->stop.request_stop();
    std::unique_lock lock(current_->mutex);
    current_->finishedChanged.wait_for(lock, grace, [this] { return current_->finished; });
}

} // namespace quillfen
