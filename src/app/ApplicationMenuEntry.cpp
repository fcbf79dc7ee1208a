#include "app/ApplicationMenuEntry.h"

namespace quillfen {

std::vector<ApplicationMenuEntry> applicationMenuEntries() {
    const QString app = QStringLiteral("Quillfen");
    const QString help = QStringLiteral("Help");
    return {
        {app, QStringLiteral("About Quillfen"), false, Sheet::about, false, {}},
        {app,
         QStringLiteral("Quit Quillfen"),
         false,
         std::nullopt,
         true,
         {QKeySequence(Qt::CTRL | Qt::Key_Q)}},
        // Shift is part of typing "?" on most layouts; an X11 keyboard map
        // reports Ctrl+Shift+/ as Ctrl+? only, so that is taken too. F1 is
        // the desktop's own help key.
        {help,
         QStringLiteral("Quillfen Help"),
         false,
         Sheet::help,
         false,
         {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Question),
          QKeySequence(Qt::CTRL | Qt::Key_Question), QKeySequence(Qt::Key_F1)}},
        {help, QString(), true, std::nullopt, false, {}},
        {help, QStringLiteral("Release Notes"), false, Sheet::releaseNotes, false, {}},
        {help, QStringLiteral("Terms of Use"), false, Sheet::terms, false, {}},
    };
}

} // namespace quillfen
