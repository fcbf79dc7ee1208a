#pragma once

#include "ui/SyncProgressView.h"

#include <QList>
#include <QMainWindow>

#include <chrono>

namespace quillfen {

class AppShell;
class AppViewModel;
class ImportAlert;
class SheetHost;
class UserDefaults;

// Delays of the window; tests shorten them.
struct MainWindowTiming {
    // From the first showing to asking for notifications.
    std::chrono::milliseconds openedDelay{500};
    // From a sheet's last resize to saving its size.
    std::chrono::milliseconds sheetSizeSaveDelay{300};
    SyncProgressViewTiming progress;
};

// The main window: header, folders, options, controls and progress over the
// view model, the menu bar and shortcuts, and every sheet and alert through
// SheetHost and ImportAlert. Closing it hides it while a tray icon can bring
// it back, and minimises it otherwise; it never quits the application.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    MainWindow(AppViewModel& viewModel, AppShell& shell, UserDefaults& defaults,
               MainWindowTiming timing = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Whether the desktop shows the tray icon (the application sets it from
    // QSystemTrayIcon::isSystemTrayAvailable()).
    void setHasTray(bool hasTray) { hasTray_ = hasTray; }

    SheetHost& sheetHost() const { return *sheetHost_; }
    ImportAlert& importAlert() const { return *importAlert_; }

    // Writes the window's size and position to the user defaults.
    void saveWindowGeometry();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QWidget* makeContent();
    void buildMenuBar();
    void addRunShortcuts();
    void restoreWindowGeometry();

    AppViewModel& viewModel_;
    AppShell& shell_;
    UserDefaults& defaults_;
    MainWindowTiming timing_;
    SheetHost* sheetHost_;
    ImportAlert* importAlert_;
    bool hasTray_ = false;
    bool hasBeenShown_ = false;
};

} // namespace quillfen
