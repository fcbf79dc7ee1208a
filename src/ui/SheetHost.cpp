#include "ui/SheetHost.h"

#include "app/AppViewModel.h"
#include "ui/SheetDialog.h"
#include "ui/WindowActivation.h"
#include "ui/WindowSizePersistence.h"

#include <QWidget>

namespace quillfen {

SheetHost::SheetHost(AppViewModel& viewModel, UserDefaults& defaults, QWidget& window,
                     std::chrono::milliseconds sizeSaveDelay)
    : QObject(&window), viewModel_(viewModel), defaults_(defaults), window_(window),
      sizeSaveDelay_(sizeSaveDelay) {
    connect(&viewModel_, &AppViewModel::sheetShownChanged, this, &SheetHost::follow);
}

void SheetHost::registerSheet(Sheet sheet, const QString& sizeKey, Factory factory) {
    registrations_[std::size_t(sheet)] = {sizeKey, std::move(factory)};
    follow(sheet);
}

SheetDialog* SheetHost::openSheet(Sheet sheet) const {
    return open_[std::size_t(sheet)];
}

void SheetHost::follow(Sheet sheet) {
    if (viewModel_.isShown(sheet))
        open(sheet);
    else
        close(sheet);
}

void SheetHost::open(Sheet sheet) {
    const auto& registration = registrations_[std::size_t(sheet)];
    if (openSheet(sheet) || !registration.make)
        return;
    if (!window_.isVisible() || window_.isMinimized())
        bringForward(window_);
    SheetDialog* dialog = registration.make(SheetContext{viewModel_, defaults_, &window_});
    open_[std::size_t(sheet)] = dialog;
    dialog->addActions(sharedActions_);
    if (!registration.sizeKey.isEmpty())
        new WindowSizePersistence(*dialog, registration.sizeKey, defaults_, sizeSaveDelay_);
    connect(dialog, &QDialog::finished, this, [this, sheet] { closed(sheet); });
    dialog->open();
}

void SheetHost::close(Sheet sheet) {
    // Forgotten first, so that the finished() it sends finds nothing to close.
    if (QPointer<SheetDialog> dialog = std::exchange(open_[std::size_t(sheet)], nullptr)) {
        dialog->reject();
        dialog->deleteLater();
    }
}

void SheetHost::closed(Sheet sheet) {
    if (SheetDialog* dialog = std::exchange(open_[std::size_t(sheet)], nullptr))
        dialog->deleteLater();
    viewModel_.setShown(sheet, false);
}

} // namespace quillfen
