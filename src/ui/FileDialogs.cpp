#include "ui/FileDialogs.h"

#include <QDir>
#include <QFileDialog>

namespace quillfen {
namespace {

const QString kJsonFilter = QStringLiteral("JSON (*.json)");

} // namespace

QFileDialog* FileDialogs::makeDialog(const QString& title) const {
    auto* dialog = new QFileDialog(parent_, title, QDir::homePath());
    dialog->setObjectName(QStringLiteral("fileDialog"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(parent_ ? Qt::WindowModal : Qt::ApplicationModal);
    return dialog;
}

void FileDialogs::present(QFileDialog* dialog, Answer answer) {
    QObject::connect(dialog, &QFileDialog::finished, dialog,
                     [dialog, answer = std::move(answer)](int result) {
                         const QStringList chosen = dialog->selectedFiles();
                         if (result == QDialog::Accepted && !chosen.isEmpty())
                             answer(chosen.front());
                         else
                             answer(std::nullopt);
                     });
    dialog->open();
}

void FileDialogs::chooseFolder(const QString& message, Answer answer) {
    QFileDialog* dialog = makeDialog(message);
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly);
    present(dialog, std::move(answer));
}

void FileDialogs::chooseSaveFile(const QString& suggestedName, Answer answer) {
    QFileDialog* dialog = makeDialog(QStringLiteral("Export Settings"));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setNameFilter(kJsonFilter);
    dialog->setDefaultSuffix(QStringLiteral("json"));
    dialog->selectFile(suggestedName);
    present(dialog, std::move(answer));
}

void FileDialogs::chooseOpenFile(const QString& message, Answer answer) {
    QFileDialog* dialog = makeDialog(message);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setNameFilter(kJsonFilter);
    present(dialog, std::move(answer));
}

} // namespace quillfen
