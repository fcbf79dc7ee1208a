#include "app/BackgroundRunner.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

namespace quillfen {

struct BackgroundRunner::Task::State {
    std::stop_source stop;
    std::mutex mutex;
    std::condition_variable finishedChanged;
    bool finished = false;
    // Touched only by the runner, on the main thread.
    std::thread thread;

    void markFinished() {
        std::lock_guard lock(mutex);
        finished = true;
        finishedChanged.notify_all();
    }

    bool isFinished() {
        std::lock_guard lock(mutex);
        return finished;
    }
};

namespace {

// Open from the first runner until the application object is destroyed. A
// thread that outlived its runner may still post at exit; it must not post to
// an application object that is going away.
std::mutex gateMutex;
bool gateOpen = false;

void closeGate() {
    std::lock_guard lock(gateMutex);
    gateOpen = false;
}

void openGateOnce() {
    static std::once_flag once;
    std::call_once(once, [] {
        qAddPostRoutine(closeGate);
        std::lock_guard lock(gateMutex);
        gateOpen = true;
    });
}

} // namespace

void BackgroundRunner::Context::post(std::function<void()> step) const {
    postToMainThread([guard = guard_, step = std::move(step)] {
        if (guard)
            step();
    });
}

void BackgroundRunner::Task::requestStop() const {
    if (state_)
        state_->stop.request_stop();
}

BackgroundRunner::BackgroundRunner() : guard_(std::make_unique<QObject>()) {
    openGateOnce();
}

BackgroundRunner::~BackgroundRunner() {
    guard_.reset();
    requestStopAll();
    for (const auto& task : tasks_) {
        if (task->isFinished())
            task->thread.join();
        else
            task->thread.detach();
    }
}

BackgroundRunner::Task BackgroundRunner::launch(Body body, std::function<void()> onNoThread) {
    joinFinished();
    auto state = std::make_shared<Task::State>();
    const Context context(state->stop.get_token(), QPointer<QObject>(guard_.get()));
    try {
        state->thread = std::thread([state, context, body = std::move(body)] {
            context.post(body(context));
            state->markFinished();
        });
    } catch (const std::system_error&) {
        state->markFinished();
        context.post(std::move(onNoThread));
        return Task(state);
    }
    tasks_.push_back(state);
    return Task(state);
}

void BackgroundRunner::joinFinished() {
    std::erase_if(tasks_, [](const std::shared_ptr<Task::State>& task) {
        if (!task->isFinished())
            return false;
        task->thread.join();
        return true;
    });
}

void BackgroundRunner::requestStopAll() {
    for (const auto& task : tasks_)
        task->stop.request_stop();
}

bool BackgroundRunner::waitForAll(std::chrono::milliseconds grace) {
    const auto deadline = std::chrono::steady_clock::now() + grace;
    for (const auto& task : tasks_) {
        std::unique_lock lock(task->mutex);
        if (!task->finishedChanged.wait_until(lock, deadline, [&] { return task->finished; }))
            return false;
    }
    return true;
}

void BackgroundRunner::postToMainThread(std::function<void()> step) {
    std::lock_guard lock(gateMutex);
    auto* application = QCoreApplication::instance();
    if (!gateOpen || application == nullptr)
        return;
    QMetaObject::invokeMethod(application, std::move(step), Qt::QueuedConnection);
}

} // namespace quillfen
