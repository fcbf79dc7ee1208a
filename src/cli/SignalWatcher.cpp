#include "cli/SignalWatcher.h"

#include "cli/Commands.h"
#include "engine/SyncEngine.h"

#include <pthread.h>
#include <unistd.h>

namespace quillfen::cli {
namespace {

// SIGUSR1 only wakes the watcher when it is to end.
sigset_t watchedSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    sigaddset(&signals, SIGUSR1);
    return signals;
}

void say(const char* text) {
    [[maybe_unused]] const auto ignored =
        ::write(STDERR_FILENO, text, std::char_traits<char>::length(text));
}

} // namespace

SignalWatcher::SignalWatcher(std::stop_source stop, FirstSignal first)
    : stop_(std::move(stop)), first_(first) {
    const sigset_t signals = watchedSignals();
    ::pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    thread_ = std::jthread([this](std::stop_token ending) { watch(ending); });
}

SignalWatcher::~SignalWatcher() {
    thread_.request_stop();
    ::pthread_kill(thread_.native_handle(), SIGUSR1);
    thread_.join();
}

void SignalWatcher::watch(const std::stop_token& ending) {
    const sigset_t signals = watchedSignals();
    int received = 0;
    while (!ending.stop_requested()) {
        int signal = 0;
        if (::sigwait(&signals, &signal) != 0 || signal == SIGUSR1)
            continue;
        if (first_ == FirstSignal::endsAtOnce || ++received > 1) {
            SyncEngine::removeUnfinishedCopies();
            ::_exit(kExitCancelled);
        }
        say("quillfen-cli: stopping after the current file (interrupt again to stop at once)\n");
        stop_.request_stop();
    }
}

} // namespace quillfen::cli
