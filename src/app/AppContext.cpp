#include "app/AppContext.h"

#include "app/AppShell.h"
#include "app/AppViewModel.h"
#include "app/LoginItem.h"
#include "app/UserDefaults.h"
#include "cleanup/TrashService.h"
#include "services/LogService.h"
#include "services/NotificationService.h"
#include "services/ScheduleService.h"
#include "storage/BookmarkService.h"
#include "storage/StorageService.h"
#include "storage/UserFolders.h"

namespace quillfen {

AppContext::AppContext(Dialogs& dialogs, QDBusConnection bus, const QString& applicationPath)
    : defaults_(std::make_unique<UserDefaults>()), schedule_(std::make_unique<ScheduleService>()),
      notifications_(std::make_unique<NotificationService>(bus)),
      loginItem_(std::make_unique<LoginItem>(applicationPath)),
      trash_(std::make_unique<TrashService>(dataHomeFolder() / "Trash")) {
    // The grants live in the user defaults, which outlive every use of them.
    BookmarkService& bookmarks = BookmarkService::installShared(*defaults_);
    viewModel_ = std::make_unique<AppViewModel>(
        AppViewModel::Services{StorageService::shared(), LogService::shared(), bookmarks,
                               *schedule_, *notifications_, dialogs, *loginItem_, *trash_});
    shell_ = std::make_unique<AppShell>(*viewModel_, bookmarks, *notifications_, *defaults_);
}

AppContext::~AppContext() = default;

} // namespace quillfen
