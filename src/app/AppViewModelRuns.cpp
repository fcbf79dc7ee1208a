#include "app/AppViewModel.h"
#include "app/PathText.h"
#include "app/RunRecord.h"
#include "storage/BookmarkService.h"
#include "storage/StorageService.h"

#include <algorithm>

// The view model's runs: starting one, following it and taking in its end.

namespace quillfen {

namespace {

SyncProgress restingProgress(SyncProgress::Phase phase) {
    SyncProgress progress;
    progress.phase = phase;
    return progress;
}

} // namespace

std::filesystem::path AppViewModel::runFolder(const char* key, const QString& path) const {
    // A grant is used only when it names the folder the user sees.
    const auto shown = toPath(path);
    const auto granted = services_.bookmarks.resolveBookmark(key);
    return granted && *granted == shown ? *granted : shown;
}

SyncOptions AppViewModel::currentOptions() const {
    SyncOptions options;
    options.deleteExtras = deleteExtras_;
    options.preserveRoot = preserveRoot_;
    options.bandwidthLimit = bandwidthLimit_;
    options.excludePatterns = enabledPatternTexts(excludePatterns_);
    options.verify = verifyAfterSync_;
    return options;
}

void AppViewModel::startSync(RunMode mode, RunTrigger trigger) {
    if (!canSync())
        return;
    setSyncing(true);
    setSyncProgress(restingProgress(SyncProgress::Phase::scanning));
    previewItems_.clear();
    emit previewItemsChanged();

    auto record = std::make_shared<RunRecord>(
        RunRecord::Services{storage(), services_.log, services_.notifications}, mode, trigger,
        sourcePath_, destinationPath_);
    SyncWorker::Request request{mode, runFolder("source", sourcePath_),
                                runFolder("destination", destinationPath_), currentOptions(),
                                record->logLocation()};
    // Nobody watches a run the watcher or the schedule started.
    request.options.start = trigger == RunTrigger::user ? RunStart::byHand : RunStart::unattended;
    worker_.start(
        std::move(request), services_.log,
        [this](const SyncProgress& progress) { setSyncProgress(progress); },
        [this, record, mode](SyncWorker::Outcome outcome) {
            finishRun(*record, mode, std::move(outcome));
        });
}

void AppViewModel::finishRun(RunRecord& record, RunMode mode, SyncWorker::Outcome outcome) {
    if (auto* failure = std::get_if<BackgroundRunner::Failure>(&outcome)) {
        SyncResult result;
        result.status = SyncStatus::failed;
        result.errorMessage = failure->message;
        record.fail(result);
        setLastResult(result);
    } else {
        auto& finished = std::get<SyncWorker::Finished>(outcome);
        if (mode == RunMode::preview) {
            previewItems_ = std::move(finished.plan);
            emit previewItemsChanged();
            setShown(Sheet::preview, true);
        }
        record.complete(finished.result);
        setLastResult(finished.result);
        if (mode == RunMode::sync) {
            lastSyncDate_ = QDateTime::currentDateTime();
            emit lastSyncDateChanged();
            refreshDestStats(destinationPath_);
        }
    }
    emit runFinished(*lastResult_);
    setSyncing(false);
    setSyncProgress(restingProgress(SyncProgress::Phase::done));
}

void AppViewModel::cancelSync() {
    worker_.cancel();
}

void AppViewModel::shutdown(std::chrono::milliseconds grace) {
    worker_.shutdown(grace);
}

void AppViewModel::runScheduledProfile() {
    QMetaObject::invokeMethod(
        this,
        [this] {
            const auto& preferences = storage().preferences();
            if (!preferences.scheduledProfileId)
                return;
            const auto& profiles = storage().profiles();
            const auto found = std::find_if(profiles.begin(), profiles.end(), [&](const auto& p) {
                return p.id == *preferences.scheduledProfileId;
            });
            if (found == profiles.end())
                return;
            if (!preferences.scheduleSilent)
                emit bringToFrontRequested();
            const SyncProfile profile = *found;
            loadProfile(profile);
            startSync(RunMode::sync, RunTrigger::schedule);
        },
        Qt::QueuedConnection);
}

void AppViewModel::setSyncing(bool value) {
    if (isSyncing_ == value)
        return;
    isSyncing_ = value;
    emit isSyncingChanged();
    emit canSyncChanged();
}

void AppViewModel::setSyncProgress(SyncProgress progress) {
    syncProgress_ = std::move(progress);
    emit syncProgressChanged();
}

void AppViewModel::setLastResult(SyncResult result) {
    lastResult_ = std::move(result);
    emit lastResultChanged();
}

} // namespace quillfen
