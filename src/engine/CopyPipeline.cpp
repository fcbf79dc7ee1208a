#include "engine/CopyPipeline.h"

#include "engine/ListingPaths.h"

namespace quillfen {
namespace {

// A batch ends at its folder's last file, after kBatchFiles files, or once it
// holds kBatchBytes: short enough that a stop is obeyed soon.
constexpr TreeListing::Index kBatchFiles = 16;
constexpr std::int64_t kBatchBytes = std::int64_t(1) << 20;
// How far the workers may run ahead of the files handed back.
constexpr TreeListing::Index kAhead = 8 * kBatchFiles;

} // namespace

CopyPipeline::CopyPipeline(const TreeListing& listing, const ExaminedFiles& examined,
                           std::vector<std::unique_ptr<RunCopier>> copiers, std::stop_token stop)
    : listing_(listing), examined_(examined), copiers_(std::move(copiers)), stop_(std::move(stop)),
      outcomes_(kAhead) {
    onStop_.emplace(stop_, std::function<void()>([this] {
                        const std::lock_guard lock(mutex_);
                        changed_.notify_all();
                    }));
    for (const auto& copier : copiers_)
        workers_.emplace_back([this, &copier = *copier] { work(copier); });
}

CopyPipeline::~CopyPipeline() {
    {
        const std::lock_guard lock(mutex_);
        ending_ = true;
        changed_.notify_all();
    }
    workers_.clear(); // joins them
}

std::optional<CopyOutcome> CopyPipeline::next() {
    std::unique_lock lock(mutex_);
    const auto slot = [this]() -> std::optional<CopyOutcome>& {
        return outcomes_[handed_ % kAhead];
    };
    changed_.wait(lock, [&] {
        return failure_ || slot() || handed_ == listing_.fileCount() ||
               (handed_ == claimed_ && (ending_ || stop_.stop_requested()));
    });
    if (failure_)
        std::rethrow_exception(failure_);
    if (!slot())
        return std::nullopt;
    auto outcome = std::move(slot());
    slot().reset();
    ++handed_;
    changed_.notify_all(); // room for another batch
    return outcome;
}

void CopyPipeline::work(RunCopier& copier) {
    ListingPaths paths(listing_);
    TreeListing::Index begin = 0;
    TreeListing::Index end = 0;
    while (claim(begin, end)) {
        for (auto file = begin; file < end; ++file) {
            std::optional<CopyOutcome> outcome;
            try {
                outcome = copier.copy(paths.of(file), examined_.destination(file));
            } catch (...) {
                const std::lock_guard lock(mutex_);
                failure_ = std::current_exception();
                ending_ = true;
                changed_.notify_all();
                return;
            }
            const std::lock_guard lock(mutex_);
            outcomes_[file % kAhead] = std::move(outcome);
            changed_.notify_all();
        }
    }
}

// Takes the next batch; false when there is none to take or a stop came.
bool CopyPipeline::claim(TreeListing::Index& begin, TreeListing::Index& end) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] {
        return ending_ || stop_.stop_requested() || claimed_ == listing_.fileCount() ||
               claimed_ + kBatchFiles <= handed_ + kAhead;
    });
    if (ending_ || stop_.stop_requested() || claimed_ == listing_.fileCount())
        return false;
    begin = claimed_;
    end = batchEnd(begin);
    claimed_ = end;
    return true;
}

TreeListing::Index CopyPipeline::batchEnd(TreeListing::Index begin) const {
    const auto folder = listing_.folderOfFile(begin);
    std::int64_t bytes = 0;
    auto end = begin;
    while (end < listing_.fileCount() && end - begin < kBatchFiles && bytes < kBatchBytes &&
           listing_.folderOfFile(end) == folder)
        bytes += examined_.size(end++);
    return end;
}

} // namespace quillfen
