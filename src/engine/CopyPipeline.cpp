#include "engine/CopyPipeline.h"

#include "engine/ListingPaths.h"

namespace quillfen {
namespace {

// A batch ends after kBatchCopies files to copy or kBatchBytes of them,
// before a file to copy in another folder than the first, or after
// kBatchFiles files in all: short enough that a stop is obeyed soon, long
// enough that a run with little to copy hands few batches around.
constexpr TreeListing::Index kBatchCopies = 16;
constexpr std::int64_t kBatchBytes = std::int64_t(1) << 20;
constexpr TreeListing::Index kBatchFiles = 64;
// How far the workers may run ahead of the files handed back.
constexpr TreeListing::Index kAhead = 4 * kBatchFiles;

} // namespace

CopyPipeline::CopyPipeline(const TreeListing& listing, const ExaminedFiles& examined,
                           std::vector<std::unique_ptr<RunCopier>> copiers, std::stop_token stop)
    : listing_(listing), facts_(examined), copiers_(std::move(copiers)), stop_(std::move(stop)),
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
    if (claimed_ + kBatchFiles == handed_ + kAhead)
        changed_.notify_all(); // room for another batch, just now
    return outcome;
}

void CopyPipeline::work(RunCopier& copier) {
    ListingPaths paths(listing_);
    std::vector<std::optional<CopyOutcome>> outcomes;
    Batch batch;
    while (claim(batch)) {
        outcomes.clear();
        try {
            for (std::size_t at = 0; at < batch.found.size(); ++at)
                outcomes.push_back(copier.copy(
                    paths.of(batch.begin + static_cast<TreeListing::Index>(at)), batch.found[at]));
        } catch (...) {
            const std::lock_guard lock(mutex_);
            failure_ = std::current_exception();
            ending_ = true;
            changed_.notify_all();
            return;
        }
        // A whole batch at once: one hand-over instead of one for each file.
        const std::lock_guard lock(mutex_);
        for (std::size_t at = 0; at < outcomes.size(); ++at)
            outcomes_[(batch.begin + at) % kAhead] = std::move(outcomes[at]);
        changed_.notify_all();
    }
}

// Takes the next batch; false when there is none to take or a stop came.
bool CopyPipeline::claim(Batch& batch) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] {
        return ending_ || stop_.stop_requested() || claimed_ == listing_.fileCount() ||
               claimed_ + kBatchFiles <= handed_ + kAhead;
    });
    if (ending_ || stop_.stop_requested() || claimed_ == listing_.fileCount())
        return false;
    fill(batch);
    claimed_ += static_cast<TreeListing::Index>(batch.found.size());
    return true;
}

void CopyPipeline::fill(Batch& batch) {
    batch.begin = claimed_;
    batch.found.clear();
    auto folder = TreeListing::kNone;
    TreeListing::Index copies = 0;
    std::int64_t bytes = 0;
    for (auto file = claimed_; file < listing_.fileCount() && file - claimed_ < kBatchFiles &&
                               copies < kBatchCopies && bytes < kBatchBytes;
         ++file, facts_.next()) {
        const auto& facts = facts_.facts();
        if (facts.destination != ExaminedFiles::Destination::upToDate) {
            if (copies > 0 && listing_.folderOfFile(file) != folder)
                break;
            folder = listing_.folderOfFile(file);
            ++copies;
            bytes += facts.size;
        }
        batch.found.push_back(facts.destination);
    }
}

} // namespace quillfen
