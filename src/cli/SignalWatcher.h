#pragma once

#include <csignal>
#include <stop_token>
#include <thread>

namespace quillfen::cli {

// Handles SIGINT, SIGTERM and SIGHUP (a closed terminal) on a thread of its
// own (requesting a stop is not async-signal-safe): the first one requests
// `stop`, a second one ends the process with status 130, removing the
// temporary file of a copy under way. Construct it before any other thread
// starts, so that every thread inherits the blocked signals. The signals stay
// blocked after it is gone: the command is about to exit, and an interrupt
// that came while the run was winding down must not kill it before it
// reports.
class SignalWatcher {
public:
    // What the first signal does. Work that cannot be stopped half-way and
    // writes nothing ends at once.
    enum class FirstSignal { stopsAfterCurrentFile, endsAtOnce };

    SignalWatcher(std::stop_source stop, FirstSignal first);
    ~SignalWatcher();
    SignalWatcher(const SignalWatcher&) = delete;
    SignalWatcher& operator=(const SignalWatcher&) = delete;

private:
    void watch(const std::stop_token& ending);

    std::stop_source stop_;
    FirstSignal first_;
    std::jthread thread_;
};

} // namespace quillfen::cli
