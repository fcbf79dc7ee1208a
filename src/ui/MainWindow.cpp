#include "ui/MainWindow.h"

#include "app/AppShell.h"
#include "app/AppViewModel.h"
#include "app/ApplicationMenuEntry.h"
#include "app/UserDefaults.h"
#include "ui/ControlsColumn.h"
#include "ui/FolderPicker.h"
#include "ui/HeaderBar.h"
#include "ui/ImportAlert.h"
#include "ui/OptionsPanel.h"
#include "ui/QuietLabel.h"
#include "ui/SheetHost.h"
#include "ui/SheetRegistry.h"
#include "ui/SymbolIcons.h"
#include "ui/SyncProgressView.h"
#include "ui/TourBanner.h"
#include "ui/Typography.h"
#include "ui/WindowActivation.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QTimer>
#include <QVBoxLayout>

namespace quillfen {
namespace {

constexpr QSize kDefaultSize(1080, 740);

QLabel* columnTitle(const QString& text) {
    auto* label = new QLabel(text);
    applyTextStyle(label, TextStyle::headline);
    return label;
}

} // namespace

MainWindow::MainWindow(AppViewModel& viewModel, AppShell& shell, UserDefaults& defaults,
                       MainWindowTiming timing, QWidget* parent)
    : QMainWindow(parent), viewModel_(viewModel), shell_(shell), defaults_(defaults),
      timing_(timing),
      sheetHost_(new SheetHost(viewModel, defaults, *this, timing.sheetSizeSaveDelay)),
      importAlert_(new ImportAlert(viewModel, *this)) {
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QStringLiteral("Quillfen"));
    setWindowIcon(applicationIcon());
    setCentralWidget(makeContent());
    buildMenuBar();
    addRunShortcuts();
    restoreWindowGeometry();
    shell_.showMainWindowHook = [this] {
        bringForward(*this);
    };
    // Quitting from the tray or with Ctrl+Q closes no window.
    connect(qApp, &QCoreApplication::aboutToQuit, this, &MainWindow::saveWindowGeometry);
    registerSheets(*sheetHost_);
}

MainWindow::~MainWindow() {
    shell_.showMainWindowHook = nullptr;
}

QWidget* MainWindow::makeContent() {
    // Made in reading order, which is the order Tab walks.
    auto* header = new HeaderBar(viewModel_);
    auto* folders = new QVBoxLayout;
    folders->addWidget(columnTitle(QStringLiteral("Folders")));
    folders->addWidget(new FolderPicker(viewModel_, FolderPicker::Role::source));
    folders->addWidget(new FolderPicker(viewModel_, FolderPicker::Role::destination));
    folders->addSpacing(12);
    folders->addWidget(new OptionsPanel(viewModel_));
    folders->addStretch(1);

    auto* card = new QFrame;
    card->setObjectName(QStringLiteral("progressCardFrame"));
    card->setFrameShape(QFrame::StyledPanel);
    card->setMinimumWidth(280);
    auto* cardLayout = new QVBoxLayout(card);
    cardLayout->setContentsMargins(16, 16, 16, 16);
    cardLayout->addWidget(new SyncProgressView(viewModel_, timing_.progress));
    auto* progressTitle = new QuietLabel(QStringLiteral("Progress"));
    applyTextStyle(progressTitle, TextStyle::subheadline);
    auto* progress = new QVBoxLayout;
    progress->addWidget(progressTitle);
    progress->addWidget(card, 1);

    auto* columns = new QHBoxLayout;
    columns->setSpacing(20);
    columns->addLayout(folders, 3);
    columns->addWidget(new ControlsColumn(viewModel_), 2);
    columns->addLayout(progress, 3);

    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(18, 14, 18, 18);
    layout->setSpacing(14);
    layout->addWidget(new TourBanner(viewModel_, std::nullopt));
    layout->addWidget(header);
    auto* separator = new QFrame;
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    layout->addWidget(separator);
    layout->addLayout(columns, 1);
    return content;
}

void MainWindow::buildMenuBar() {
    QMenu* menu = nullptr;
    QString menuTitle;
    QList<QAction*> actions;
    for (const auto& entry : applicationMenuEntries()) {
        if (!menu || entry.menuTitle != menuTitle) {
            menuTitle = entry.menuTitle;
            menu = menuBar()->addMenu(u'&' + menuTitle);
        }
        if (entry.isSeparator) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(entry.title);
        action->setShortcuts(entry.shortcuts);
        action->setShortcutContext(Qt::ApplicationShortcut);
        if (entry.quits) {
            action->setMenuRole(QAction::QuitRole);
            connect(action, &QAction::triggered, &shell_,
                    [this] { shell_.trigger(StatusMenuAction::quit); });
        } else if (entry.opens) {
            connect(action, &QAction::triggered, &viewModel_,
                    [this, sheet = *entry.opens] { viewModel_.setShown(sheet, true); });
        }
        actions << action;
    }
    // A sheet blocks its window, and the window's actions with it; the sheet
    // carries the same actions so that help and quit work from anywhere.
    sheetHost_->setSharedActions(actions);
}

void MainWindow::addRunShortcuts() {
    const auto add = [this](QKeySequence keys, RunMode mode) {
        auto* action = new QAction(this);
        action->setShortcut(keys);
        // startSync refuses while a run is going or a path is empty.
        connect(action, &QAction::triggered, &viewModel_,
                [this, mode] { viewModel_.startSync(mode); });
        addAction(action);
    };
    add(QKeySequence(Qt::CTRL | Qt::Key_S), RunMode::sync);
    add(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P), RunMode::preview);
}

void MainWindow::restoreWindowGeometry() {
    resize(kDefaultSize.expandedTo(minimumSizeHint()));
    const QByteArray stored = defaults_.mainWindowGeometry();
    if (!stored.isEmpty())
        restoreGeometry(stored);
}

void MainWindow::saveWindowGeometry() {
    defaults_.setMainWindowGeometry(saveGeometry());
}

void MainWindow::closeEvent(QCloseEvent* event) {
    saveWindowGeometry();
    if (hasTray_) {
        event->accept(); // hidden; the tray icon brings it back
        return;
    }
    // Without a tray a hidden window could not be found again.
    event->ignore();
    showMinimized();
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (std::exchange(hasBeenShown_, true))
        return;
    QTimer::singleShot(timing_.openedDelay, this, [this] {
        // A dialog the user opened in the meantime keeps the keyboard.
        if (QApplication::activeModalWidget() == nullptr) {
            raise();
            activateWindow();
        }
        shell_.mainWindowOpened();
    });
}

} // namespace quillfen
