#pragma once

#include "app/Sheet.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <array>
#include <chrono>
#include <functional>

class QAction;
class QWidget;

namespace quillfen {

class AppViewModel;
class SheetDialog;
class UserDefaults;

// What a sheet's factory can hand to the sheet it makes.
struct SheetContext {
    AppViewModel& viewModel;
    UserDefaults& defaults;
    QWidget* parent; // the main window: every sheet is its child
};

// Presents every sheet of the window from its flag on the view model: while
// the flag is set its sheet is open (window-modal, opened with open(), never
// exec()); however the sheet closes, the flag is cleared; clearing the flag
// closes the sheet. A sheet registered with a size key remembers its size
// under it. A sheet opening while the window is hidden brings the window
// forward first, so the sheet always has its window behind it.
class SheetHost : public QObject {
    Q_OBJECT

public:
    using Factory = std::function<SheetDialog*(const SheetContext&)>;

    SheetHost(AppViewModel& viewModel, UserDefaults& defaults, QWidget& window,
              std::chrono::milliseconds sizeSaveDelay = std::chrono::milliseconds(300));

    // `sizeKey` is the sheet's key for WindowSizePersistence; empty when the
    // sheet takes its content's size each time. A sheet whose flag is
    // already set opens at once.
    void registerSheet(Sheet sheet, const QString& sizeKey, Factory factory);

    // The sheet open for `sheet`, or null.
    SheetDialog* openSheet(Sheet sheet) const;

    // Actions every sheet carries (the menu bar's), so that their shortcuts
    // work while a sheet blocks the window.
    void setSharedActions(const QList<QAction*>& actions) { sharedActions_ = actions; }

private:
    struct Registration {
        QString sizeKey;
        Factory make;
    };

    void follow(Sheet sheet);
    void open(Sheet sheet);
    void close(Sheet sheet);
    void closed(Sheet sheet);

    AppViewModel& viewModel_;
    UserDefaults& defaults_;
    QWidget& window_;
    std::chrono::milliseconds sizeSaveDelay_;
    std::array<Registration, kSheetCount> registrations_;
    std::array<QPointer<SheetDialog>, kSheetCount> open_;
    QList<QAction*> sharedActions_;
};

} // namespace quillfen
