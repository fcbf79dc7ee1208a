#pragma once

#include <QKeySequence>
#include <QString>
#include <QStringView>

#include <vector>

namespace quillfen {

// What choosing a status-menu entry does; the tray menu maps each to the
// shell operation of the same name.
enum class StatusMenuAction {
    none,
    showMainWindow,
    takeTour,
    enableNotifications,
    exportSettings,
    importSettings,
    openReleaseNotes,
    openTerms,
    quit
};

// One entry of the menu-bar item's menu, as data the tray menu is built from.
struct StatusMenuEntry {
    QString title;
    bool isSeparator = false;
    StatusMenuAction action = StatusMenuAction::none;
    bool enabled = true;
    QKeySequence shortcut;

    friend bool operator==(const StatusMenuEntry&, const StatusMenuEntry&) = default;
};

// The first entry's text until a run has finished in this process.
inline constexpr QStringView kNoSyncsYet = u"No syncs yet";

// The status menu top to bottom; the first entry is the last-run line.
std::vector<StatusMenuEntry> statusMenuEntries();

} // namespace quillfen
