#pragma once

#include "FakeNotificationServer.h"
#include "PrivateSessionBus.h"
#include "ScriptedDialogs.h"
#include "TempDir.h"
#include "app/AppViewModel.h"
#include "app/LoginItem.h"
#include "app/PathText.h"
#include "app/UserDefaults.h"
#include "cleanup/TrashService.h"
#include "services/LogService.h"
#include "services/NotificationService.h"
#include "services/ScheduleService.h"
#include "storage/BookmarkService.h"
#include "storage/StorageService.h"

#include <QTest>

#include <memory>
#include <sstream>

namespace quillfen::test {

// Everything the view model works with, over temporary folders and a
// private session bus, as the application wires it.
class AppHarness {
public:
    AppHarness() : storage_(root_ / "data") {}

    // Shortened delays; the real ones are covered by the services' own tests.
    AppViewModel& make() {
        using namespace std::chrono_literals;
        const AppViewModel::Timing timing{.exclusionSaveDelay = 100ms,
                                          .firstTourStepDelay = 60ms,
                                          .nextTourStepDelay = 70ms,
                                          .watchLatency = 50ms,
                                          .watchQuietPeriod = 200ms};
        viewModel_ = std::make_unique<AppViewModel>(
            AppViewModel::Services{storage_, log_, bookmarks_, schedule_, notifications_, dialogs_,
                                   loginItem_, trash_},
            timing);
        return *viewModel_;
    }

    StorageService& storage() { return storage_; }
    ScriptedDialogs& dialogs() { return dialogs_; }
    FakeNotificationServer& notificationServer() { return server_; }
    BookmarkService& bookmarks() { return bookmarks_; }
    NotificationService& notifications() { return notifications_; }
    UserDefaults& defaults() { return defaults_; }
    // What the notification service printed ("[Notifications] …" lines).
    std::string notificationOutput() const { return notificationOutput_.str(); }
    const TempDir& root() const { return root_; }

    // Created on demand.
    QString folder(const char* name) const {
        std::filesystem::create_directories(root_ / name);
        return toQString(root_ / name);
    }

    bool waitUntilIdle(int timeoutMs = 20000) {
        return QTest::qWaitFor([this] { return !viewModel_->isSyncing(); }, timeoutMs);
    }

private:
    TempDir root_;
    StorageService storage_;
    LogService log_{storage_};
    UserDefaults defaults_{toQString(root_ / "Quillfen.conf")};
    BookmarkService bookmarks_{defaults_};
    ScheduleService schedule_;
    PrivateSessionBus bus_;
    FakeNotificationServer server_{bus_.connect()};
    std::ostringstream notificationOutput_;
    NotificationService notifications_{bus_.connect(), notificationOutput_};
    ScriptedDialogs dialogs_;
    LoginItem loginItem_{QStringLiteral("/usr/bin/quillfen"),
                         toQString(root_ / "autostart" / "quillfen.desktop")};
    TrashService trash_{root_ / "Trash"};
    std::unique_ptr<AppViewModel> viewModel_;
};

} // namespace quillfen::test
