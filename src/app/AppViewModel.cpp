#include "app/AppViewModel.h"

#include "app/CleanSourceSession.h"
#include "app/Dialogs.h"
#include "app/LoginItem.h"
#include "app/PathText.h"
#include "app/TypedText.h"
#include "cleanup/TrashService.h"
#include "services/LogService.h"
#include "services/NotificationService.h"
#include "services/ScheduleService.h"
#include "services/WatchService.h"
#include "storage/BookmarkService.h"
#include "storage/StorageService.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <Version.h>
#include <algorithm>

namespace quillfen {

namespace {

QDateTime toQDateTime(Date date) {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(date.time_since_epoch());
    return QDateTime::fromMSecsSinceEpoch(ms.count());
}

} // namespace

AppViewModel::AppViewModel(Services services, Timing timing, QObject* parent)
    : QObject(parent), services_(services), timing_(timing),
      watcher_(std::make_unique<WatchService>(timing.watchLatency, timing.watchQuietPeriod)),
      sourceStats_(
          timing.statsCap, [this] { emit sourceStatsChanged(); },
          [this] { emit isComputingSourceStatsChanged(); }),
      destStats_(
          timing.statsCap, [this] { emit destStatsChanged(); },
          [this] { emit isComputingDestStatsChanged(); }),
      settingsTransfer_(services.storage, services.dialogs,
                        [this] { emit importPendingBackupChanged(); }),
      exclusionSaveTimer_(new QTimer(this)), excludePatterns_(builtInPatterns()) {
    for (const auto& entry : storage().history()) {
        if (entry.isDryRun)
            continue;
        if (entry.endedAt)
            lastSyncDate_ = toQDateTime(*entry.endedAt);
        break;
    }
    excludePatterns_ = storage().exclusionPatterns();
    watcher_->setIgnoredFolder(storage().container());
    setupReactions();
}

AppViewModel::~AppViewModel() {
    storage().removeObserver(storageObserver_);
    shutdown(std::chrono::milliseconds(0));
}

void AppViewModel::setupReactions() {
    exclusionSaveTimer_->setSingleShot(true);
    exclusionSaveTimer_->setInterval(timing_.exclusionSaveDelay);
    connect(exclusionSaveTimer_, &QTimer::timeout, this,
            [this] { storage().saveExclusionPatterns(excludePatterns_); });
    refreshSourceStats(sourcePath_);
    refreshDestStats(destinationPath_);
    connect(watcher_.get(), &WatchService::watchLost, this, &AppViewModel::updateWatching);
    watcher_->onChange = [guard = QPointer<AppViewModel>(this)] {
        if (guard && guard->canSync())
            guard->startSync(RunMode::sync, RunTrigger::watch);
    };
    connect(&services_.schedule, &ScheduleService::nextFireDateChanged, this,
            &AppViewModel::changed);
    connect(&services_.schedule, &ScheduleService::nextFireDateChanged, this, [this] {
        emit nextFireDateChanged();
        if (std::exchange(wasScheduleArmed_, isScheduleArmed()) != isScheduleArmed())
            emit isScheduleArmedChanged();
    });
    storageObserver_ = storage().addObserver([this](StorageService::Collection collection) {
        if (collection == StorageService::Collection::profiles)
            emit profilesChanged();
        else if (collection == StorageService::Collection::history)
            emit historyChanged();
    });
}

// Folders and options.

void AppViewModel::setSourcePath(const QString& path) {
    if (path == sourcePath_)
        return;
    const bool couldSync = canSync();
    sourcePath_ = path;
    emit sourcePathChanged();
    if (couldSync != canSync())
        emit canSyncChanged();
    refreshSourceStats(path);
    reactToWatchSettings();
}

void AppViewModel::setDestinationPath(const QString& path) {
    if (path == destinationPath_)
        return;
    const bool couldSync = canSync();
    destinationPath_ = path;
    emit destinationPathChanged();
    if (couldSync != canSync())
        emit canSyncChanged();
    refreshDestStats(path);
}

void AppViewModel::setDeleteExtras(bool value) {
    if (std::exchange(deleteExtras_, value) != value)
        emit deleteExtrasChanged();
}

void AppViewModel::setPreserveRoot(bool value) {
    if (std::exchange(preserveRoot_, value) != value)
        emit preserveRootChanged();
}

void AppViewModel::setBandwidthLimit(qint64 kilobytesPerSecond) {
    if (std::exchange(bandwidthLimit_, kilobytesPerSecond) != kilobytesPerSecond)
        emit bandwidthLimitChanged();
}

void AppViewModel::setExcludePatterns(std::vector<ExclusionPattern> patterns) {
    // Every edit restarts the quiet period; only its last value is saved.
    excludePatterns_ = std::move(patterns);
    emit excludePatternsChanged();
    exclusionSaveTimer_->start();
}

void AppViewModel::setWatchMode(bool value) {
    if (std::exchange(watchMode_, value) == value)
        return;
    emit watchModeChanged();
    reactToWatchSettings();
}

void AppViewModel::setVerifyAfterSync(bool value) {
    if (std::exchange(verifyAfterSync_, value) != value)
        emit verifyAfterSyncChanged();
}

void AppViewModel::reactToWatchSettings() {
    if (watchMode_ && !sourcePath_.isEmpty())
        watcher_->start(toPath(sourcePath_));
    else
        watcher_->stop();
    updateWatching();
}

void AppViewModel::updateWatching() {
    const bool watching = watcher_->isWatching();
    if (std::exchange(wasWatching_, watching) != watching)
        emit isWatchingChanged();
}

bool AppViewModel::canSync() const {
    return !sourcePath_.isEmpty() && !destinationPath_.isEmpty() && !isSyncing_;
}

int AppViewModel::enabledPatternCount() const {
    return int(std::count_if(excludePatterns_.begin(), excludePatterns_.end(),
                             [](const ExclusionPattern& rule) { return rule.enabled; }));
}

bool AppViewModel::isWatching() const {
    return watcher_->isWatching();
}

QDateTime AppViewModel::nextFireDate() const {
    const auto next = services_.schedule.nextFireDate();
    return next ? toQDateTime(*next) : QDateTime();
}

void AppViewModel::refreshSourceStats(const QString& path) {
    sourceStats_.refresh(toPath(path).native());
}

void AppViewModel::refreshDestStats(const QString& path) {
    destStats_.refresh(toPath(path).native());
}

// Folders, profiles, schedule.

void AppViewModel::chooseSource() {
    chooseFolder(QStringLiteral("Choose source folder"), "source", &AppViewModel::setSourcePath);
}

void AppViewModel::chooseDestination() {
    chooseFolder(QStringLiteral("Choose destination folder"), "destination",
                 &AppViewModel::setDestinationPath);
}

void AppViewModel::chooseFolder(const QString& message, const char* key,
                                void (AppViewModel::*setPath)(const QString&)) {
    services_.dialogs.chooseFolder(
        message, [guard = QPointer<AppViewModel>(this), key, setPath](auto folder) {
            if (!guard || !folder)
                return;
            guard->services_.bookmarks.saveBookmark(toPath(*folder), key);
            (guard->*setPath)(*folder);
        });
}

bool AppViewModel::dropSource(const QUrl& location) {
    return dropFolder(location, "source", &AppViewModel::setSourcePath);
}

bool AppViewModel::dropDestination(const QUrl& location) {
    return dropFolder(location, "destination", &AppViewModel::setDestinationPath);
}

bool AppViewModel::dropFolder(const QUrl& location, const char* key,
                              void (AppViewModel::*setPath)(const QString&)) {
    if (!location.isLocalFile())
        return false;
    const QFileInfo info(location.toLocalFile());
    if (!info.isDir())
        return false;
    const QString folder = QDir::cleanPath(info.absoluteFilePath());
    (this->*setPath)(folder);
    services_.bookmarks.saveBookmark(toPath(folder), key);
    return true;
}

bool AppViewModel::launchAtLogin() const {
    return services_.loginItem.isEnabled();
}

void AppViewModel::toggleLaunchAtLogin() {
    if (!services_.loginItem.setEnabled(!services_.loginItem.isEnabled()))
        return;
    emit launchAtLoginChanged();
    emit changed();
}

const std::vector<SyncProfile>& AppViewModel::profiles() const {
    return storage().profiles();
}

int AppViewModel::profileCount() const {
    return int(storage().profiles().size());
}

bool AppViewModel::isScheduleArmed() const {
    return services_.schedule.nextFireDate().has_value();
}

QString AppViewModel::logsFolder() const {
    return toQString(storage().logsDirectory());
}

QString AppViewModel::versionText() {
    return QStringLiteral("Version ") + QString::fromUtf8(kAppVersion);
}

void AppViewModel::saveProfile(const QString& name) {
    SyncProfile profile;
    profile.name = name.toStdString();
    profile.source = sourcePath_.toStdString();
    profile.destination = destinationPath_.toStdString();
    profile.deleteExtras = deleteExtras_;
    profile.preserveRoot = preserveRoot_;
    profile.bandwidthLimit = bandwidthLimit_;
    profile.excludePatterns = excludePatterns_;
    auto profiles = storage().profiles();
    profiles.push_back(std::move(profile));
    storage().saveProfiles(std::move(profiles));
}

void AppViewModel::loadProfile(const SyncProfile& profile) {
    setSourcePath(QString::fromStdString(profile.source));
    setDestinationPath(QString::fromStdString(profile.destination));
    setDeleteExtras(profile.deleteExtras);
    setPreserveRoot(profile.preserveRoot);
    setBandwidthLimit(profile.bandwidthLimit);
    if (!profile.excludePatterns.empty())
        setExcludePatterns(profile.excludePatterns);
}

void AppViewModel::deleteProfile(const Uuid& id) {
    auto profiles = storage().profiles();
    std::erase_if(profiles, [&](const SyncProfile& profile) { return profile.id == id; });
    storage().saveProfiles(std::move(profiles));
    if (storage().preferences().scheduledProfileId != id)
        return;
    auto preferences = storage().preferences();
    preferences.scheduledProfileId.reset();
    storage().savePreferences(preferences);
    services_.schedule.stop();
}

bool AppViewModel::hasProfileNamed(const QString& name) const {
    const std::string wanted = name.toStdString();
    const auto& stored = storage().profiles();
    return std::any_of(stored.begin(), stored.end(),
                       [&](const SyncProfile& profile) { return profile.name == wanted; });
}

// Exclusion rules.

bool AppViewModel::addExclusionPattern(const QString& typed) {
    const QString text = trimSpacesAndTabs(typed);
    if (text.isEmpty())
        return false;
    auto patterns = excludePatterns_;
    patterns.push_back(
        ExclusionPattern{Uuid::random(), text.toStdString(), text.toStdString(), true, false});
    setExcludePatterns(std::move(patterns));
    return true;
}

void AppViewModel::setExclusionPatternEnabled(const Uuid& id, bool enabled) {
    auto patterns = excludePatterns_;
    for (auto& rule : patterns) {
        if (rule.id == id)
            rule.enabled = enabled;
    }
    if (patterns != excludePatterns_)
        setExcludePatterns(std::move(patterns));
}

void AppViewModel::removeExclusionPattern(const Uuid& id) {
    auto patterns = excludePatterns_;
    if (std::erase_if(patterns, [&](const ExclusionPattern& rule) { return rule.id == id; }) > 0)
        setExcludePatterns(std::move(patterns));
}

// History.

const std::vector<HistoryEntry>& AppViewModel::history() const {
    return storage().history();
}

QString AppViewModel::logFilePath(const HistoryEntry& entry) const {
    if (!entry.logFileName)
        return QString();
    return toQString(storage().logsDirectory() / *entry.logFileName);
}

void AppViewModel::deleteHistoryEntry(const Uuid& id) {
    const auto& entries = history();
    const auto found = std::find_if(entries.begin(), entries.end(),
                                    [&](const HistoryEntry& entry) { return entry.id == id; });
    if (found != entries.end() && found->logFileName) {
        std::error_code ignored;
        std::filesystem::remove(storage().logsDirectory() / *found->logFileName, ignored);
    }
    storage().deleteHistoryEntry(id);
}

void AppViewModel::clearHistory() {
    storage().saveHistory({});
    services_.log.removeOrphanedLogs();
}

// Schedule and clean source.

const AppPreferences& AppViewModel::schedulePreferences() const {
    return storage().preferences();
}

void AppViewModel::saveSchedule(const AppPreferences& preferences) {
    storage().savePreferences(preferences);
    applySchedule();
}

std::unique_ptr<CleanSourceSession> AppViewModel::makeCleanSourceSession() {
    return std::make_unique<CleanSourceSession>(*this, services_.trash);
}

void AppViewModel::applySchedule() {
    services_.schedule.configure(storage().preferences(), [guard = QPointer<AppViewModel>(this)] {
        if (guard)
            guard->runScheduledProfile();
    });
    emit changed();
}

void AppViewModel::disableSchedule() {
    services_.schedule.stop();
    auto preferences = storage().preferences();
    preferences.scheduledProfileId.reset();
    storage().savePreferences(preferences);
    emit changed();
}

// Settings backup.

void AppViewModel::exportSettings() {
    settingsTransfer_.exportSettings();
}

void AppViewModel::importSettings() {
    settingsTransfer_.importSettings();
}

void AppViewModel::confirmImport() {
    if (!settingsTransfer_.restorePending())
        return;
    setExcludePatterns(storage().exclusionPatterns());
    applySchedule();
    settingsTransfer_.cancelImport();
}

void AppViewModel::cancelImport() {
    settingsTransfer_.cancelImport();
}

} // namespace quillfen
