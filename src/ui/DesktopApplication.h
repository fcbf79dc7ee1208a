#pragma once

#include <QObject>

#include <memory>

namespace quillfen {

class AppContext;
class FileDialogs;
class MainWindow;
class TrayIcon;

// The desktop application put together: the file dialogs, the object graph
// of AppContext, the main window and the tray icon, launched in that order.
// Made once by main() after the single-instance check.
class DesktopApplication : public QObject {
    Q_OBJECT

public:
    // `startHidden`: show only the tray icon (an autostart), unless the
    // desktop has no tray, where the window starts minimised instead.
    explicit DesktopApplication(bool startHidden);
    ~DesktopApplication() override;

    // Brings the window forward (a second launch asked for it).
    void showWindow();

private:
    void quit();

    std::unique_ptr<FileDialogs> dialogs_;
    std::unique_ptr<AppContext> context_;
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<TrayIcon> tray_;
};

} // namespace quillfen
