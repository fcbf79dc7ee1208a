#pragma once

#include <QColor>
#include <QIcon>
#include <QStringView>
#include <QStyle>

#include <array>
#include <span>

namespace quillfen {

// How one symbol name of the application (the names its texts and tables
// use, such as "folder.badge.plus") is drawn on a Linux desktop: the first
// freedesktop icon name the desktop's theme has, else a picture that Qt
// itself carries, so no icon is ever blank.
struct SymbolIcon {
    const char* symbol;
    std::array<const char*, 2> themeNames; // tried in order; the second may be null
    QStyle::StandardPixmap fallback;
};

// The one table of symbols; every symbol the window and its sheets show is
// in it.
std::span<const SymbolIcon> symbolIcons();

// The icon for `symbol`. A theme's symbolic (single-colour) icon is drawn in
// `tint`, or in the palette's text colour when no tint is given, so it stays
// visible on dark and light palettes alike. An unknown symbol gives a
// generic file icon and a warning.
QIcon symbolIcon(QStringView symbol, const QColor& tint = QColor());

// Quillfen's own icon, compiled into the program.
QIcon applicationIcon();

// Looks icons up in the desktop's theme, and in Adwaita (which
// scripts/deps.sh installs) when there is no desktop session to name one or
// the desktop's theme lacks an icon; searches the XDG data folders' icons
// on every platform.
void setUpIconTheme();

} // namespace quillfen
