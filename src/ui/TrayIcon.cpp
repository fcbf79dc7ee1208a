#include "ui/TrayIcon.h"

#include "app/AppShell.h"
#include "app/AppViewModel.h"
#include "ui/ProgressTexts.h"
#include "ui/SymbolIcons.h"

#include <QMenu>
#include <QSystemTrayIcon>

namespace quillfen {

TrayIcon::TrayIcon(AppShell& shell, AppViewModel& viewModel, QObject* parent)
    : QObject(parent), shell_(shell), viewModel_(viewModel), menu_(new QMenu),
      icon_(new QSystemTrayIcon(applicationIcon(), this)) {
    menu_->setObjectName(QStringLiteral("statusMenu"));
    for (const auto& entry : shell_.menuEntries()) {
        if (entry.isSeparator) {
            menu_->addSeparator();
            continue;
        }
        QAction* action = menu_->addAction(entry.title);
        action->setEnabled(entry.enabled);
        if (!entry.shortcut.isEmpty()) {
            // Shown as a hint only: the window's own Quit action owns the key.
            action->setShortcut(entry.shortcut);
            action->setShortcutContext(Qt::WidgetShortcut);
        }
        connect(action, &QAction::triggered, &shell_,
                [this, what = entry.action] { shell_.trigger(what); });
        if (!lastSyncAction_)
            lastSyncAction_ = action;
    }
    icon_->setContextMenu(menu_);
    connect(icon_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason why) {
                if (why == QSystemTrayIcon::Trigger || why == QSystemTrayIcon::DoubleClick)
                    shell_.showMainWindow();
            });
    connect(&shell_, &AppShell::lastSyncItemChanged, this, &TrayIcon::showLastSync);
    connect(&viewModel_, &AppViewModel::syncProgressChanged, this, &TrayIcon::showRunProgress);
    showLastSync();
}

TrayIcon::~TrayIcon() {
    delete menu_;
}

void TrayIcon::show() {
    icon_->show();
}

void TrayIcon::showLastSync() {
    lastSyncAction_->setText(shell_.lastSyncLine());
    icon_->setToolTip(shell_.toolTip());
}

void TrayIcon::showRunProgress() {
    // Snapshots come once per file; the tooltip changes once per percent.
    const QString running = runningToolTip(viewModel_.syncProgress());
    const QString text = running.isEmpty() ? shell_.toolTip() : running;
    if (icon_->toolTip() != text)
        icon_->setToolTip(text);
}

} // namespace quillfen
