#pragma once

#include <QObject>

class QAction;
class QMenu;
class QSystemTrayIcon;

namespace quillfen {

class AppShell;
class AppViewModel;

// The application's icon in the system tray, with the status menu: the
// last-run line, then the shell's operations. A click on the icon brings
// the window forward. While a run goes on, the tooltip shows how far it is.
class TrayIcon : public QObject {
    Q_OBJECT

public:
    TrayIcon(AppShell& shell, AppViewModel& viewModel, QObject* parent = nullptr);
    ~TrayIcon() override;

    QMenu* menu() const { return menu_; }
    QSystemTrayIcon* icon() const { return icon_; }
    // Shows the icon where the desktop has a tray.
    void show();

private:
    void showLastSync();
    void showRunProgress();

    AppShell& shell_;
    AppViewModel& viewModel_;
    QMenu* menu_;
    QSystemTrayIcon* icon_;
    QAction* lastSyncAction_ = nullptr;
};

} // namespace quillfen
