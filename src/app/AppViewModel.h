#pragma once

#include "app/Sheet.h"
#include "app/TourStep.h"
#include "services/RunKind.h"

#include <QDateTime>
#include <QObject>
#include <QString>

// moc in Qt 6.4 cannot parse libstdc++'s <compare>, which the records reach
// through Uuid.h; moc needs none of these declarations.
#ifndef Q_MOC_RUN
#include "app/FolderStatsTask.h"
#include "app/SettingsTransfer.h"
#include "app/SyncWorker.h"
#include "records/AppPreferences.h"
#include "records/DiffItem.h"
#include "records/ExclusionPattern.h"
#include "records/FolderStats.h"
#include "records/HistoryEntry.h"
#include "records/SettingsBackup.h"
#include "records/SyncOptions.h"
#include "records/SyncProfile.h"
#include "records/SyncProgress.h"
#include "records/SyncResult.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>
#endif

class QTimer;
class QUrl;

namespace quillfen {

class BookmarkService;
class CleanSourceSession;
class Dialogs;
class LogService;
class LoginItem;
class NotificationService;
class RunRecord;
class ScheduleService;
class StorageService;
class TrashService;
class WatchService;

// Delays of the view model's standing reactions; tests shorten them.
struct AppViewModelTiming {
    std::chrono::milliseconds exclusionSaveDelay{300};
    std::chrono::milliseconds firstTourStepDelay{300};
    std::chrono::milliseconds nextTourStepDelay{350};
    // From the onboarding's "Get Started" to the tour's first step.
    std::chrono::milliseconds tourAfterOnboardingDelay{500};
    std::chrono::milliseconds watchLatency{2000};
    std::chrono::milliseconds watchQuietPeriod{5000};
    std::chrono::milliseconds statsCap{10000};
};

// The one object that holds the application's state and starts every run.
// Views read its properties and call its operations; every property has a
// change signal. Lives on the main thread.
class AppViewModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString sourcePath READ sourcePath WRITE setSourcePath NOTIFY sourcePathChanged)
    Q_PROPERTY(QString destinationPath READ destinationPath WRITE setDestinationPath NOTIFY
                   destinationPathChanged)
    Q_PROPERTY(bool deleteExtras READ deleteExtras WRITE setDeleteExtras NOTIFY deleteExtrasChanged)
    Q_PROPERTY(bool preserveRoot READ preserveRoot WRITE setPreserveRoot NOTIFY preserveRootChanged)
    Q_PROPERTY(qint64 bandwidthLimit READ bandwidthLimit WRITE setBandwidthLimit NOTIFY
                   bandwidthLimitChanged)
    Q_PROPERTY(bool watchMode READ watchMode WRITE setWatchMode NOTIFY watchModeChanged)
    Q_PROPERTY(bool verifyAfterSync READ verifyAfterSync WRITE setVerifyAfterSync NOTIFY
                   verifyAfterSyncChanged)
    Q_PROPERTY(std::vector<quillfen::ExclusionPattern> excludePatterns READ excludePatterns NOTIFY
                   excludePatternsChanged)
    Q_PROPERTY(bool isSyncing READ isSyncing NOTIFY isSyncingChanged)
    Q_PROPERTY(quillfen::SyncProgress syncProgress READ syncProgress NOTIFY syncProgressChanged)
    Q_PROPERTY(
        std::optional<quillfen::SyncResult> lastResult READ lastResult NOTIFY lastResultChanged)
    Q_PROPERTY(
        std::vector<quillfen::DiffItem> previewItems READ previewItems NOTIFY previewItemsChanged)
    Q_PROPERTY(
        std::optional<quillfen::FolderStats> sourceStats READ sourceStats NOTIFY sourceStatsChanged)
    Q_PROPERTY(
        std::optional<quillfen::FolderStats> destStats READ destStats NOTIFY destStatsChanged)
    Q_PROPERTY(std::optional<quillfen::TourStep> activeTourStep READ activeTourStep NOTIFY
                   activeTourStepChanged)
    Q_PROPERTY(std::optional<quillfen::SettingsBackup> importPendingBackup READ importPendingBackup
                   NOTIFY importPendingBackupChanged)
    Q_PROPERTY(QDateTime lastSyncDate READ lastSyncDate NOTIFY lastSyncDateChanged)
    Q_PROPERTY(bool isComputingSourceStats READ isComputingSourceStats NOTIFY
                   isComputingSourceStatsChanged)
    Q_PROPERTY(
        bool isComputingDestStats READ isComputingDestStats NOTIFY isComputingDestStatsChanged)
    Q_PROPERTY(bool canSync READ canSync NOTIFY canSyncChanged)
    Q_PROPERTY(int enabledPatternCount READ enabledPatternCount NOTIFY excludePatternsChanged)
    Q_PROPERTY(bool isWatching READ isWatching NOTIFY isWatchingChanged)
    Q_PROPERTY(QDateTime nextFireDate READ nextFireDate NOTIFY nextFireDateChanged)
    Q_PROPERTY(bool isScheduleArmed READ isScheduleArmed NOTIFY isScheduleArmedChanged)
    Q_PROPERTY(std::vector<quillfen::SyncProfile> profiles READ profiles NOTIFY profilesChanged)
    Q_PROPERTY(int profileCount READ profileCount NOTIFY profilesChanged)
    Q_PROPERTY(std::vector<quillfen::HistoryEntry> history READ history NOTIFY historyChanged)
    Q_PROPERTY(bool launchAtLogin READ launchAtLogin NOTIFY launchAtLoginChanged)
    Q_PROPERTY(QString logsFolder READ logsFolder CONSTANT)
    Q_PROPERTY(QString versionText READ versionText CONSTANT)
    Q_PROPERTY(bool showExclusions READ showExclusions WRITE setShowExclusions NOTIFY
                   showExclusionsChanged)
    Q_PROPERTY(bool showProfiles READ showProfiles WRITE setShowProfiles NOTIFY showProfilesChanged)
    Q_PROPERTY(bool showSchedule READ showSchedule WRITE setShowSchedule NOTIFY showScheduleChanged)
    Q_PROPERTY(bool showHistory READ showHistory WRITE setShowHistory NOTIFY showHistoryChanged)
    Q_PROPERTY(bool showHelp READ showHelp WRITE setShowHelp NOTIFY showHelpChanged)
    Q_PROPERTY(bool showReleaseNotes READ showReleaseNotes WRITE setShowReleaseNotes NOTIFY
                   showReleaseNotesChanged)
    Q_PROPERTY(bool showTerms READ showTerms WRITE setShowTerms NOTIFY showTermsChanged)
    Q_PROPERTY(bool showAbout READ showAbout WRITE setShowAbout NOTIFY showAboutChanged)
    Q_PROPERTY(bool showPreview READ showPreview WRITE setShowPreview NOTIFY showPreviewChanged)
    Q_PROPERTY(bool showCleanSource READ showCleanSource WRITE setShowCleanSource NOTIFY
                   showCleanSourceChanged)
    Q_PROPERTY(bool showOnboarding READ showOnboarding WRITE setShowOnboarding NOTIFY
                   showOnboardingChanged)

public:
    using Sheet = quillfen::Sheet;

    // The services the object works with. Production passes the process-wide
    // instances; tests pass a store over a temporary folder, scripted dialogs
    // and a private bus.
    struct Services {
        StorageService& storage;
        LogService& log;
        BookmarkService& bookmarks;
        ScheduleService& schedule;
        NotificationService& notifications;
        Dialogs& dialogs;
        LoginItem& loginItem;
        const TrashService& trash;
    };

    using Timing = AppViewModelTiming;

    explicit AppViewModel(Services services, Timing timing = Timing(), QObject* parent = nullptr);
    ~AppViewModel() override;

    QString sourcePath() const { return sourcePath_; }
    void setSourcePath(const QString& path);
    QString destinationPath() const { return destinationPath_; }
    void setDestinationPath(const QString& path);
    bool deleteExtras() const { return deleteExtras_; }
    void setDeleteExtras(bool value);
    bool preserveRoot() const { return preserveRoot_; }
    void setPreserveRoot(bool value);
    qint64 bandwidthLimit() const { return bandwidthLimit_; }
    void setBandwidthLimit(qint64 kilobytesPerSecond);
    const std::vector<ExclusionPattern>& excludePatterns() const { return excludePatterns_; }
    void setExcludePatterns(std::vector<ExclusionPattern> patterns);
    bool watchMode() const { return watchMode_; }
    void setWatchMode(bool value);
    bool verifyAfterSync() const { return verifyAfterSync_; }
    void setVerifyAfterSync(bool value);

    bool isSyncing() const { return isSyncing_; }
    const SyncProgress& syncProgress() const { return syncProgress_; }
    const std::optional<SyncResult>& lastResult() const { return lastResult_; }
    QDateTime lastSyncDate() const { return lastSyncDate_; }
    const std::vector<DiffItem>& previewItems() const { return previewItems_; }
    const std::optional<FolderStats>& sourceStats() const { return sourceStats_.stats(); }
    const std::optional<FolderStats>& destStats() const { return destStats_.stats(); }
    bool isComputingSourceStats() const { return sourceStats_.isComputing(); }
    bool isComputingDestStats() const { return destStats_.isComputing(); }
    const std::optional<TourStep>& activeTourStep() const { return activeTourStep_; }
    const std::optional<SettingsBackup>& importPendingBackup() const {
        return settingsTransfer_.pendingBackup();
    }

    bool canSync() const;
    int enabledPatternCount() const;
    bool isWatching() const;
    // When the scheduler fires next; invalid while nothing is armed.
    QDateTime nextFireDate() const;
    bool isScheduleArmed() const;
    const std::vector<SyncProfile>& profiles() const;
    int profileCount() const;
    // The run logs' folder, created when missing so it can be opened.
    QString logsFolder() const;
    // "Version 1.2.0".
    static QString versionText();

    bool isShown(Sheet sheet) const;
    void setShown(Sheet sheet, bool shown);
    bool showExclusions() const { return isShown(Sheet::exclusions); }
    void setShowExclusions(bool v) { setShown(Sheet::exclusions, v); }
    bool showProfiles() const { return isShown(Sheet::profiles); }
    void setShowProfiles(bool v) { setShown(Sheet::profiles, v); }
    bool showSchedule() const { return isShown(Sheet::schedule); }
    void setShowSchedule(bool v) { setShown(Sheet::schedule, v); }
    bool showHistory() const { return isShown(Sheet::history); }
    void setShowHistory(bool v) { setShown(Sheet::history, v); }
    bool showHelp() const { return isShown(Sheet::help); }
    void setShowHelp(bool v) { setShown(Sheet::help, v); }
    bool showReleaseNotes() const { return isShown(Sheet::releaseNotes); }
    void setShowReleaseNotes(bool v) { setShown(Sheet::releaseNotes, v); }
    bool showTerms() const { return isShown(Sheet::terms); }
    void setShowTerms(bool v) { setShown(Sheet::terms, v); }
    bool showAbout() const { return isShown(Sheet::about); }
    void setShowAbout(bool v) { setShown(Sheet::about, v); }
    bool showPreview() const { return isShown(Sheet::preview); }
    void setShowPreview(bool v) { setShown(Sheet::preview, v); }
    bool showCleanSource() const { return isShown(Sheet::cleanSource); }
    void setShowCleanSource(bool v) { setShown(Sheet::cleanSource, v); }
    bool showOnboarding() const { return isShown(Sheet::onboarding); }
    void setShowOnboarding(bool v) { setShown(Sheet::onboarding, v); }

    StorageService& storage() const { return services_.storage; }

    // Runs. The watcher and the schedule start theirs unattended.
    void startSync(RunMode mode, RunTrigger trigger = RunTrigger::user);
    void cancelSync();
    void runScheduledProfile();
    void refreshSourceStats(const QString& path);
    void refreshDestStats(const QString& path);

    // Folders, profiles, options.
    void chooseSource();
    void chooseDestination();
    // A location dropped on a folder picker: a local folder becomes the path,
    // then its grant is stored; anything else changes nothing (false).
    bool dropSource(const QUrl& location);
    bool dropDestination(const QUrl& location);
    bool launchAtLogin() const;
    void toggleLaunchAtLogin();
    void saveProfile(const QString& name);
    void loadProfile(const SyncProfile& profile);
    void deleteProfile(const Uuid& id);
    // Whether a stored profile has exactly this name (case counts).
    bool hasProfileNamed(const QString& name) const;

    // Exclusion rules, as the exclusions sheet edits them. A typed pattern is
    // added without the spaces and tabs around it, as a new enabled custom
    // rule (the same pattern may be there already); false when nothing is
    // left of it.
    bool addExclusionPattern(const QString& typed);
    void setExclusionPatternEnabled(const Uuid& id, bool enabled);
    void removeExclusionPattern(const Uuid& id);

    // History, newest first.
    const std::vector<HistoryEntry>& history() const;
    // The run's log file; empty when the run names none.
    QString logFilePath(const HistoryEntry& entry) const;
    // Removes the run's log file (a failure is ignored), then the run.
    void deleteHistoryEntry(const Uuid& id);
    // Saves an empty history, then removes every log file no run names
    // (a run still going keeps its log).
    void clearHistory();

    // Schedule.
    const AppPreferences& schedulePreferences() const;
    // Stores the schedule sheet's settings, saves them and re-arms.
    void saveSchedule(const AppPreferences& preferences);
    void applySchedule();
    void disableSchedule();

    // Clean source: one session per opening of its sheet.
    std::unique_ptr<CleanSourceSession> makeCleanSourceSession();

    // Tour.
    void closeAllSheets();
    void startTour();
    // Starts the tour once the onboarding that offered it has closed.
    void startTourLater();
    void advanceTour();
    void endTour();

    // Settings backup.
    void exportSettings();
    void importSettings();
    void confirmImport();
    void cancelImport();

    // Ends a run that is still going when the application quits: asks it to
    // stop and waits at most `grace`, never for an uninterruptible copy.
    void shutdown(std::chrono::milliseconds grace = std::chrono::milliseconds(1500));

signals:
    void sourcePathChanged();
    void destinationPathChanged();
    void deleteExtrasChanged();
    void preserveRootChanged();
    void bandwidthLimitChanged();
    void excludePatternsChanged();
    void watchModeChanged();
    void verifyAfterSyncChanged();
    void isSyncingChanged();
    void syncProgressChanged();
    void lastResultChanged();
    void lastSyncDateChanged();
    void previewItemsChanged();
    void sourceStatsChanged();
    void destStatsChanged();
    void isComputingSourceStatsChanged();
    void isComputingDestStatsChanged();
    void canSyncChanged();
    void isWatchingChanged();
    void nextFireDateChanged();
    void isScheduleArmedChanged();
    void profilesChanged();
    void launchAtLoginChanged();
    void activeTourStepChanged();
    void importPendingBackupChanged();
    void showExclusionsChanged();
    void showProfilesChanged();
    void showScheduleChanged();
    void showHistoryChanged();
    void showHelpChanged();
    void showReleaseNotesChanged();
    void showTermsChanged();
    void showAboutChanged();
    void showPreviewChanged();
    void showCleanSourceChanged();
    void showOnboardingChanged();
    // Any sheet's flag changed; sent after that flag's own signal.
    void sheetShownChanged(quillfen::Sheet sheet);
    // The run history changed (read it from storage()).
    void historyChanged();
    // Operations that change what several views show at once.
    void changed();
    // A run finished (or failed) with this result: the tray's last-run line.
    void runFinished(const quillfen::SyncResult& result);
    // A scheduled run that is not silent wants the window in front.
    void bringToFrontRequested();

private:
    void setupReactions();
    void reactToWatchSettings();
    void updateWatching();
    void setSyncing(bool value);
    void setSyncProgress(SyncProgress progress);
    void setLastResult(SyncResult result);
    void setActiveTourStep(std::optional<TourStep> step);
    void openSheetLater(std::optional<TourStep> step, std::chrono::milliseconds delay);
    std::filesystem::path runFolder(const char* key, const QString& path) const;
    SyncOptions currentOptions() const;
    void finishRun(RunRecord& record, RunMode mode, SyncWorker::Outcome outcome);
    void chooseFolder(const QString& message, const char* key,
                      void (AppViewModel::*setPath)(const QString&));
    bool dropFolder(const QUrl& location, const char* key,
                    void (AppViewModel::*setPath)(const QString&));

    Services services_;
    Timing timing_;
    std::unique_ptr<WatchService> watcher_;
    SyncWorker worker_;
    FolderStatsTask sourceStats_;
    FolderStatsTask destStats_;
    SettingsTransfer settingsTransfer_;
    QTimer* exclusionSaveTimer_;

    QString sourcePath_;
    QString destinationPath_;
    bool deleteExtras_ = false;
    bool preserveRoot_ = false;
    qint64 bandwidthLimit_ = 0;
    std::vector<ExclusionPattern> excludePatterns_;
    bool watchMode_ = false;
    bool verifyAfterSync_ = false;
    bool isSyncing_ = false;
    SyncProgress syncProgress_;
    std::optional<SyncResult> lastResult_;
    QDateTime lastSyncDate_;
    std::vector<DiffItem> previewItems_;
    std::array<bool, kSheetCount> shownSheets_{};
    std::optional<TourStep> activeTourStep_;
    bool wasWatching_ = false;
    bool wasScheduleArmed_ = false;
    int storageObserver_ = -1;
};

} // namespace quillfen
