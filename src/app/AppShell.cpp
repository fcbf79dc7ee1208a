#include "app/AppShell.h"

#include "app/AppViewModel.h"
#include "app/ShellTexts.h"
#include "app/UserDefaults.h"
#include "engine/SyncEngine.h"
#include "services/NotificationService.h"
#include "storage/BookmarkService.h"

#include <QGuiApplication>
#include <QTime>
#include <QTimer>

namespace quillfen {

AppShell::AppShell(AppViewModel& viewModel, BookmarkService& bookmarks,
                   NotificationService& notifications, UserDefaults& defaults,
                   std::chrono::milliseconds onboardingDelay, QObject* parent)
    : QObject(parent), viewModel_(viewModel), bookmarks_(bookmarks), notifications_(notifications),
      defaults_(defaults), onboardingDelay_(onboardingDelay),
      lastSyncLine_(kNoSyncsYet.toString()) {
    connect(&viewModel_, &AppViewModel::runFinished, this, &AppShell::updateLastSyncItem);
    connect(&viewModel_, &AppViewModel::bringToFrontRequested, this, &AppShell::showMainWindow);
}

void AppShell::launch() {
    bookmarks_.startAccessing("source");
    bookmarks_.startAccessing("destination");
    viewModel_.applySchedule();
    if (!defaults_.hasSeenOnboarding())
        QTimer::singleShot(onboardingDelay_, &viewModel_,
                           [viewModel = &viewModel_] { viewModel->setShowOnboarding(true); });
    // The tray keeps the application alive: scheduled and watched runs go
    // on firing with the window closed.
    QGuiApplication::setQuitOnLastWindowClosed(false);
}

void AppShell::terminate() {
    bookmarks_.stopAccessingAll();
    viewModel_.shutdown();
    // A copy still under way when the process ends must leave no temporary
    // file behind.
    SyncEngine::removeUnfinishedCopies();
}

void AppShell::showMainWindow() {
    if (showMainWindowHook)
        showMainWindowHook();
}

void AppShell::mainWindowOpened() {
    notifications_.requestAuthorization();
}

void AppShell::afterShowingWindow(std::function<void()> step) {
    QTimer::singleShot(0, &viewModel_, std::move(step));
}

void AppShell::takeTour() {
    showMainWindow();
    afterShowingWindow([this] { viewModel_.setShowOnboarding(true); });
}

void AppShell::enableNotifications() {
    // Linux desktops ask for no permission: the flow leads to the settings.
    notifications_.enableNotifications();
}

void AppShell::exportSettings() {
    showMainWindow();
    afterShowingWindow([this] { viewModel_.exportSettings(); });
}

void AppShell::importSettings() {
    showMainWindow();
    afterShowingWindow([this] { viewModel_.importSettings(); });
}

void AppShell::openReleaseNotes() {
    afterShowingWindow([this] { viewModel_.setShowReleaseNotes(true); });
    showMainWindow();
}

void AppShell::openTerms() {
    afterShowingWindow([this] { viewModel_.setShowTerms(true); });
    showMainWindow();
}

void AppShell::trigger(StatusMenuAction action) {
    switch (action) {
    case StatusMenuAction::none:
        break;
    case StatusMenuAction::showMainWindow:
        showMainWindow();
        break;
    case StatusMenuAction::takeTour:
        takeTour();
        break;
    case StatusMenuAction::enableNotifications:
        enableNotifications();
        break;
    case StatusMenuAction::exportSettings:
        exportSettings();
        break;
    case StatusMenuAction::importSettings:
        importSettings();
        break;
    case StatusMenuAction::openReleaseNotes:
        openReleaseNotes();
        break;
    case StatusMenuAction::openTerms:
        openTerms();
        break;
    case StatusMenuAction::quit:
        emit quitRequested();
        break;
    }
}

void AppShell::updateLastSyncItem(const SyncResult& result) {
    const QTime time = QTime::currentTime();
    lastSyncLine_ = quillfen::lastSyncLine(result, time);
    toolTip_ = quillfen::lastSyncTooltip(result, time);
    emit lastSyncItemChanged();
}

std::vector<StatusMenuEntry> AppShell::menuEntries() const {
    auto entries = statusMenuEntries();
    entries.front().title = lastSyncLine_;
    return entries;
}

} // namespace quillfen
