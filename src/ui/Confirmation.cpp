#include "ui/Confirmation.h"

#include <QMessageBox>
#include <QPushButton>

namespace quillfen {

QMessageBox* askToConfirm(QWidget* parent, const Confirmation& confirmation,
                          std::function<void()> confirmed) {
    auto* box = new QMessageBox(QMessageBox::Warning, confirmation.title, confirmation.title,
                                QMessageBox::NoButton, parent);
    box->setObjectName(QStringLiteral("confirmationMessageBox"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    if (!confirmation.message.isEmpty())
        box->setInformativeText(confirmation.message);
    auto* confirm = box->addButton(confirmation.confirmText, QMessageBox::DestructiveRole);
    confirm->setObjectName(QStringLiteral("confirmButton"));
    auto* cancel = box->addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    box->setDefaultButton(cancel);
    box->setEscapeButton(cancel);
    QObject::connect(box, &QMessageBox::finished, box,
                     [box, confirm, confirmed = std::move(confirmed)] {
                         if (box->clickedButton() == confirm)
                             confirmed();
                     });
    box->open();
    return box;
}

} // namespace quillfen
