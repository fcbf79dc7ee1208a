#include "ui/DesktopApplication.h"

#include "app/AppContext.h"
#include "app/AppShell.h"
#include "ui/FileDialogs.h"
#include "ui/MainWindow.h"
#include "ui/SymbolIcons.h"
#include "ui/TrayIcon.h"

#include <QApplication>
#include <QDBusConnection>
#include <QSystemTrayIcon>

namespace quillfen {

DesktopApplication::DesktopApplication(bool startHidden)
    : dialogs_(std::make_unique<FileDialogs>()),
      context_(std::make_unique<AppContext>(*dialogs_, QDBusConnection::sessionBus(),
                                            QCoreApplication::applicationFilePath())) {
    setUpIconTheme();
    QApplication::setWindowIcon(applicationIcon());
    window_ = std::make_unique<MainWindow>(context_->viewModel(), context_->shell(),
                                           context_->defaults());
    dialogs_->setParentWindow(window_.get());
    tray_ = std::make_unique<TrayIcon>(context_->shell(), context_->viewModel());
    const bool hasTray = QSystemTrayIcon::isSystemTrayAvailable();
    window_->setHasTray(hasTray);
    connect(&context_->shell(), &AppShell::quitRequested, this, &DesktopApplication::quit);

    context_->shell().launch();
    tray_->show();
    if (!startHidden)
        window_->show();
    else if (!hasTray)
        window_->showMinimized();
}

DesktopApplication::~DesktopApplication() {
    // The window goes before the view model it shows.
    tray_.reset();
    window_.reset();
}

void DesktopApplication::showWindow() {
    context_->shell().showMainWindow();
}

void DesktopApplication::quit() {
    // Folder access is released and a running run is asked to stop; a copy
    // that cannot be interrupted is not waited for beyond a short grace.
    context_->shell().terminate();
    // Not quit(): that first asks every window to close, and a window that
    // minimises instead of closing (no tray) would cancel the quit.
    QCoreApplication::exit(0);
}

} // namespace quillfen
