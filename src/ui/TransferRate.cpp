#include "ui/TransferRate.h"

#include "records/SyncProgress.h"

#include <algorithm>

namespace quillfen {

void TransferRate::add(const SyncProgress& progress, Clock::time_point now) {
    if (progress.totalBytes < 1)
        return;
    if (!movingSince_ && progress.processedBytes > 0)
        movingSince_ = now;
    samples_.push_back({now, progress.processedBytes});
    // The front stays the newest sample that is at least a window old.
    while (samples_.size() > 2 && now - samples_[1].time >= kWindow)
        samples_.pop_front();
    remainingBytes_ = std::max<std::int64_t>(progress.totalBytes - progress.processedBytes, 0);
}

void TransferRate::reset() {
    samples_.clear();
    movingSince_.reset();
    remainingBytes_ = 0;
}

std::optional<TransferRate::Estimate> TransferRate::estimate() const {
    if (!movingSince_ || samples_.back().time - *movingSince_ < kSettleTime)
        return std::nullopt;
    const auto& first = samples_.front();
    const auto& last = samples_.back();
    const double seconds = std::chrono::duration<double>(last.time - first.time).count();
    if (seconds <= 0 || last.bytes <= first.bytes)
        return std::nullopt;
    const double rate = double(last.bytes - first.bytes) / seconds;
    return Estimate{rate, double(remainingBytes_) / rate};
}

} // namespace quillfen
