#include "engine/Throttle.h"

#include "engine/SyncError.h"

#include <condition_variable>
#include <limits>
#include <mutex>

namespace quillfen {

std::optional<double> Throttle::byteRate(std::int64_t limit) {
    if (limit <= 0 || limit > std::numeric_limits<std::int64_t>::max() / 1024)
        return std::nullopt;
    return static_cast<double>(limit * 1024);
}

Throttle::Throttle(double bytesPerSecond, std::stop_token stop)
    : rate_(bytesPerSecond), stop_(std::move(stop)) {}

void Throttle::pace(std::int64_t bytes) {
    windowBytes_ += bytes;
    const std::chrono::duration<double> elapsed = Clock::now() - windowStart_;
    const double expected = static_cast<double>(windowBytes_) / rate_;
    if (elapsed.count() < expected) {
        std::mutex mutex;
        std::condition_variable_any wakeUp;
        std::unique_lock lock(mutex);
        const std::chrono::duration<double> pause(expected - elapsed.count());
        wakeUp.wait_for(lock, stop_, pause, [] { return false; });
        if (stop_.stop_requested())
            throw SyncError::cancelled();
    }
    if (elapsed.count() >= 1.0) {
        windowStart_ = Clock::now();
        windowBytes_ = 0;
    }
}

} // namespace quillfen
