#pragma once

#include "app/Sheet.h"

#include <QKeySequence>
#include <QList>
#include <QString>

#include <optional>
#include <vector>

namespace quillfen {

// One entry of the window's menu bar, as data the menu bar is built from,
// beside the status menu's entries.
struct ApplicationMenuEntry {
    QString menuTitle; // "Quillfen" or "Help"
    QString title;
    bool isSeparator = false;
    std::optional<Sheet> opens; // the sheet whose flag the entry sets
    bool quits = false;
    QList<QKeySequence> shortcuts;

    friend bool operator==(const ApplicationMenuEntry&, const ApplicationMenuEntry&) = default;
};

// The menus in order, each entry in order. There is no settings entry.
std::vector<ApplicationMenuEntry> applicationMenuEntries();

} // namespace quillfen
