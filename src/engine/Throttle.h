#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <stop_token>

namespace quillfen {

// Paces a copy to a byte rate over a window that restarts after each chunk
// measured one second or more after the window's start, so the bytes written
// never run ahead of the schedule by more than the last chunk.
class Throttle {
public:
    // The byte rate of a limit in KB (1024 bytes) per second; none when the
    // limit means "unlimited" (0 or less, or too large to count in bytes).
    static std::optional<double> byteRate(std::int64_t limit);

    Throttle(double bytesPerSecond, std::stop_token stop);

    // Counts `bytes` just written and waits as long as the rate requires.
    // Throws SyncError::cancelled when a stop is requested during the wait.
    void pace(std::int64_t bytes);

private:
    using Clock = std::chrono::steady_clock;

    double rate_;
    std::stop_token stop_;
    Clock::time_point windowStart_ = Clock::now();
    std::int64_t windowBytes_ = 0;
};

} // namespace quillfen
