#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>

namespace quillfen {

struct SyncProgress;

// Estimates a run's transfer rate and the time it has left from its byte
// counts. The rate is taken over the last few seconds, so a stretch of tiny
// files or a stall moves the estimate without ruling it. Times come from the
// caller, so that no test waits in real time.
class TransferRate {
public:
    using Clock = std::chrono::steady_clock;

    struct Estimate {
        double bytesPerSecond = 0;
        double secondsLeft = 0;
    };

    // How long a run must have moved data before an estimate means anything.
    static constexpr std::chrono::seconds kSettleTime{2};
    // How far back the rate looks.
    static constexpr std::chrono::seconds kWindow{10};

    // A snapshot of the run at `now`. Only runs that count bytes are
    // estimated.
    void add(const SyncProgress& progress, Clock::time_point now);
    // Forgets the run: the next snapshot starts a new one.
    void reset();

    // Empty until data has moved for kSettleTime, and while nothing moves.
    std::optional<Estimate> estimate() const;

private:
    struct Sample {
        Clock::time_point time;
        std::int64_t bytes;
    };

    std::deque<Sample> samples_;
    std::optional<Clock::time_point> movingSince_;
    std::int64_t remainingBytes_ = 0;
};

} // namespace quillfen
