#include "ui/ImportAlert.h"

#include "app/AppViewModel.h"
#include "ui/NamedColors.h"
#include "ui/PaletteFollower.h"
#include "ui/Typography.h"
#include "ui/WindowTexts.h"

#include <QMessageBox>
#include <QPushButton>

namespace quillfen {

ImportAlert::ImportAlert(AppViewModel& viewModel, QWidget& window)
    : QObject(&window), viewModel_(viewModel), window_(window) {
    connect(&viewModel_, &AppViewModel::importPendingBackupChanged, this, &ImportAlert::follow);
}

void ImportAlert::follow() {
    const auto& pending = viewModel_.importPendingBackup();
    if (!pending) {
        if (QMessageBox* box = std::exchange(box_, nullptr)) {
            box->reject();
            box->deleteLater();
        }
        return;
    }
    if (!box_) {
        const QString title = QStringLiteral("Import Settings?");
        box_ = new QMessageBox(QMessageBox::Warning, title, title, QMessageBox::NoButton, &window_);
        box_->setObjectName(QStringLiteral("importAlertMessageBox"));
        auto* import = box_->addButton(QStringLiteral("Import"), QMessageBox::DestructiveRole);
        import->setObjectName(QStringLiteral("importButton"));
        // Destructive: it replaces every profile, rule and schedule setting.
        followPalette(import, [import] {
            applyTextColor(import, readableOnButton(namedColor(NamedColor::red)));
        });
        auto* cancel = box_->addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
        cancel->setObjectName(QStringLiteral("cancelImportButton"));
        box_->setDefaultButton(cancel);
        box_->setEscapeButton(cancel);
        connect(box_, &QMessageBox::finished, this,
                [this, box = box_.data(), import] { answered(box->clickedButton() == import); });
        box_->open();
    }
    // A second import while the alert is up replaces the backup it names.
    box_->setInformativeText(importAlertMessage(*pending));
}

void ImportAlert::answered(bool confirmed) {
    // Forgotten first: the answer clears the pending backup, which would
    // otherwise close this box a second time. A box closed because the
    // backup went away answers nothing.
    QMessageBox* box = std::exchange(box_, nullptr);
    if (!box)
        return;
    box->deleteLater();
    if (confirmed)
        viewModel_.confirmImport();
    else
        viewModel_.cancelImport();
}

} // namespace quillfen
