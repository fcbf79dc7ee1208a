#pragma once

#include "app/StatusMenuEntry.h"

#include <QObject>
#include <QString>

#include <chrono>
#include <functional>
#include <vector>

namespace quillfen {

class AppViewModel;
class BookmarkService;
class NotificationService;
class UserDefaults;
struct SyncResult;

// What the application does around its window: the launch sequence, the
// status menu's operations and its last-run line, and the release of folder
// access at exit. Holds no widgets; the tray icon and the window read it and
// install the hook that brings the window forward.
class AppShell : public QObject {
    Q_OBJECT

public:
    AppShell(AppViewModel& viewModel, BookmarkService& bookmarks,
             NotificationService& notifications, UserDefaults& defaults,
             std::chrono::milliseconds onboardingDelay = std::chrono::milliseconds(600),
             QObject* parent = nullptr);

    // Set by the window: raises and focuses it (restoring it when minimised).
    std::function<void()> showMainWindowHook;

    // Restores folder access, arms the schedule and, on a first start, opens
    // the onboarding shortly after. Closing the last window never quits.
    void launch();
    // Releases folder access and lets a running run stop.
    void terminate();

    void showMainWindow();
    // The window came to the front for the first time: asks the
    // notification server whether it answers.
    void mainWindowOpened();
    void takeTour();
    void enableNotifications();
    void exportSettings();
    void importSettings();
    void openReleaseNotes();
    void openTerms();
    // Runs the operation of a status-menu entry.
    void trigger(StatusMenuAction action);

    // Rewrites the last-run line and the tooltip from a run's result.
    void updateLastSyncItem(const SyncResult& result);
    const QString& lastSyncLine() const { return lastSyncLine_; }
    const QString& toolTip() const { return toolTip_; }
    // The status menu with its first entry showing the last run.
    std::vector<StatusMenuEntry> menuEntries() const;

signals:
    void lastSyncItemChanged();
    void quitRequested();

private:
    // Runs `step` on the main thread after the window came forward.
    void afterShowingWindow(std::function<void()> step);

    AppViewModel& viewModel_;
    BookmarkService& bookmarks_;
    NotificationService& notifications_;
    UserDefaults& defaults_;
    std::chrono::milliseconds onboardingDelay_;
    QString lastSyncLine_;
    QString toolTip_;
};

} // namespace quillfen
