#pragma once

#include <QObject>
#include <QPointer>

#include <chrono>
#include <exception>
#include <functional>
#include <memory>
#include <stop_token>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

namespace quillfen {

// Runs work on threads of its own and hands what it produces back to the main
// thread, where the runner lives.
//
// The work gets a stop token and must own, by value or by shared pointer,
// everything it touches: it may outlive the runner, because nothing ever
// waits for work that cannot be interrupted (a copy under way). What a task
// sends back, its steps and its outcome, runs on the main thread, in the
// order it was sent, and only while the runner exists, so no callback can
// reach a destroyed owner. Whatever the work throws, of any type, ends as a
// failed outcome.
class BackgroundRunner {
public:
    // Why a task failed: what its work threw.
    struct Failure {
        std::string message;
    };
    template <typename Result> using Outcome = std::variant<Result, Failure>;

    // What the work sees on its thread.
    class Context {
    public:
        std::stop_token stopToken() const { return stop_; }
        // Runs `step` on the main thread after everything this task sent
        // before it, unless the runner is gone by then.
        void post(std::function<void()> step) const;

    private:
        friend class BackgroundRunner;
        Context(std::stop_token stop, QPointer<QObject> guard)
            : stop_(std::move(stop)), guard_(std::move(guard)) {}

        std::stop_token stop_;
        QPointer<QObject> guard_;
    };

    // One started task; empty until start() fills it.
    class Task {
    public:
        Task() = default;
        // Asks the work to stop; its outcome is still delivered.
        void requestStop() const;

    private:
        friend class BackgroundRunner;
        struct State;
        explicit Task(std::shared_ptr<State> state) : state_(std::move(state)) {}
        std::shared_ptr<State> state_;
    };

    BackgroundRunner();
    // Asks every task to stop and drops whatever they still send; waits for
    // none of them.
    ~BackgroundRunner();
    BackgroundRunner(const BackgroundRunner&) = delete;
    BackgroundRunner& operator=(const BackgroundRunner&) = delete;

    // Runs `work(context)` on a new thread, then `done(outcome)` on the main
    // thread with the result it returned or the failure it threw.
    template <typename Work, typename Done> Task start(Work work, Done done) {
        using Result = std::invoke_result_t<Work&, const Context&>;
        return launch(
            [work = std::move(work), done](const Context& context) mutable {
                return std::function<void()>(
                    [done, outcome = attempt<Result>(work, context)]() mutable {
                        done(std::move(outcome));
                    });
            },
            [done]() mutable { done(Outcome<Result>(Failure{kNoThread})); });
    }

    void requestStopAll();
    // Waits at most `grace` for every task to end; true when all have.
    bool waitForAll(std::chrono::milliseconds grace);

    // Runs `step` on the main thread; safe from any thread. Nothing is queued
    // once the application object is being destroyed.
    static void postToMainThread(std::function<void()> step);

private:
    using Body = std::function<std::function<void()>(const Context&)>;

    static constexpr const char* kNoThread = "Could not start a worker thread";
    static constexpr const char* kUnknownFailure = "An unexpected error occurred";

    template <typename Result, typename Work>
    static Outcome<Result> attempt(Work& work, const Context& context) {
        try {
            return Outcome<Result>(std::in_place_index<0>, work(context));
        } catch (const std::exception& error) {
            return Failure{error.what()};
        } catch (...) {
            return Failure{kUnknownFailure};
        }
    }

    Task launch(Body body, std::function<void()> onNoThread);
    void joinFinished();

    // Deliveries check this object on the main thread; it dies with the runner.
    std::unique_ptr<QObject> guard_;
    std::vector<std::shared_ptr<Task::State>> tasks_;
};

} // namespace quillfen
