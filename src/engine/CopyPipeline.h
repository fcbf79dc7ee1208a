#pragma once

#include "engine/ExaminedFiles.h"
#include "engine/RunCopier.h"
#include "engine/TreeListing.h"

#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>
#include <vector>

namespace quillfen {

// Copies the files of a listing on worker threads, each taking a short batch
// of files of one folder at a time, so that files are made in two folders at
// once, and hands the outcomes back in list order. The workers run at most a
// few batches ahead of the files handed back.
//
// A stop request lets the batches under way finish and starts no other:
// the files handed back are always the first ones of the list, with no gap.
class CopyPipeline {
public:
    // One worker for each copier. `listing` and `examined` must outlive the
    // pipeline.
    CopyPipeline(const TreeListing& listing, const ExaminedFiles& examined,
                 std::vector<std::unique_ptr<RunCopier>> copiers, std::stop_token stop);
    // Stops the workers and waits for them.
    ~CopyPipeline();
    CopyPipeline(const CopyPipeline&) = delete;
    CopyPipeline& operator=(const CopyPipeline&) = delete;

    // The outcome of the next file, waiting for it; none when the list is
    // done or a stop came before the file's batch was begun. Rethrows what
    // a worker could not handle (no memory, ...).
    std::optional<CopyOutcome> next();

private:
    // Files [begin, begin + found.size()) and what stood at their destinations.
    struct Batch {
        TreeListing::Index begin = 0;
        std::vector<ExaminedFiles::Destination> found;
    };

    void work(RunCopier& copier);
    bool claim(Batch& batch);
    void fill(Batch& batch);

    const TreeListing& listing_;
    ExaminedFiles::Reader facts_; // at the first file not claimed
    std::vector<std::unique_ptr<RunCopier>> copiers_;
    std::stop_token stop_;

    std::mutex mutex_;
    std::condition_variable changed_;
    bool ending_ = false;
    TreeListing::Index claimed_ = 0; // files before it belong to a batch
    TreeListing::Index handed_ = 0;  // files before it were handed back
    // Outcomes of the files from handed_ on, by index modulo their number.
    std::vector<std::optional<CopyOutcome>> outcomes_;
    std::exception_ptr failure_;
    std::optional<std::stop_callback<std::function<void()>>> onStop_;
    std::vector<std::jthread> workers_;
};

} // namespace quillfen
