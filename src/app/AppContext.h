#pragma once

#include <QDBusConnection>
#include <QString>

#include <memory>

namespace quillfen {

class AppShell;
class AppViewModel;
class Dialogs;
class LoginItem;
class NotificationService;
class ScheduleService;
class TrashService;
class UserDefaults;

// The application's object graph, built in the order start-up needs: the
// user defaults and the folder grants over them, the store (loaded here), the
// services, the view model and the shell. The window is handed the view
// model and the shell; nothing else is reached globally.
class AppContext {
public:
    // `dialogs` are the window's file dialogs; `bus` is the session bus in
    // the application and a private one in tests.
    AppContext(Dialogs& dialogs, QDBusConnection bus, const QString& applicationPath);
    ~AppContext();
    AppContext(const AppContext&) = delete;
    AppContext& operator=(const AppContext&) = delete;

    AppViewModel& viewModel() { return *viewModel_; }
    AppShell& shell() { return *shell_; }
    NotificationService& notifications() { return *notifications_; }
    UserDefaults& defaults() { return *defaults_; }
    TrashService& trash() { return *trash_; }

private:
    std::unique_ptr<UserDefaults> defaults_;
    std::unique_ptr<ScheduleService> schedule_;
    std::unique_ptr<NotificationService> notifications_;
    std::unique_ptr<LoginItem> loginItem_;
    std::unique_ptr<TrashService> trash_;
    std::unique_ptr<AppViewModel> viewModel_;
    std::unique_ptr<AppShell> shell_;
};

} // namespace quillfen
