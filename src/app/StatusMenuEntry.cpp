#include "app/StatusMenuEntry.h"

namespace quillfen {
namespace {

StatusMenuEntry separator() {
    return {QString(), true, StatusMenuAction::none, false, {}};
}

StatusMenuEntry entry(const QString& title, StatusMenuAction action) {
    return {title, false, action, true, {}};
}

} // namespace

std::vector<StatusMenuEntry> statusMenuEntries() {
    using enum StatusMenuAction;
    return {
        {kNoSyncsYet.toString(), false, none, false, {}},
        separator(),
        entry(QStringLiteral("Show Quillfen"), showMainWindow),
        separator(),
        entry(QStringLiteral("Take the Tour"), takeTour),
        entry(QStringLiteral("Enable Notifications"), enableNotifications),
        separator(),
        entry(QStringLiteral("Export Settings\u2026"), exportSettings),
        entry(QStringLiteral("Import Settings\u2026"), importSettings),
        separator(),
        entry(QStringLiteral("Release Notes"), openReleaseNotes),
        entry(QStringLiteral("Terms of Use"), openTerms),
        separator(),
        {QStringLiteral("Quit Quillfen"), false, quit, true, QKeySequence(Qt::CTRL | Qt::Key_Q)},
    };
}

} // namespace quillfen
