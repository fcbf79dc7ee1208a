#include "ui/SymbolIcons.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>
#include <QStandardPaths>

#include <algorithm>

namespace quillfen {
namespace {

using SP = QStyle::StandardPixmap;

constexpr std::array kSymbolIcons = {
    SymbolIcon{"arrow.down.circle", {"go-down", nullptr}, SP::SP_ArrowDown},
    SymbolIcon{"arrow.left.arrow.right", {"object-flip-horizontal", nullptr}, SP::SP_ArrowForward},
    SymbolIcon{"arrow.triangle.2.circlepath", {"view-refresh", nullptr}, SP::SP_BrowserReload},
    SymbolIcon{"arrow.up.arrow.down.circle",
               {"mail-send-receive", "document-save"},
               SP::SP_DialogSaveButton},
    SymbolIcon{"calendar", {"x-office-calendar", nullptr}, SP::SP_FileDialogDetailedView},
    SymbolIcon{"calendar.badge.clock",
               {"x-office-calendar", "appointment-new"},
               SP::SP_FileDialogDetailedView},
    SymbolIcon{"checkmark.circle", {"emblem-ok", "object-select"}, SP::SP_DialogApplyButton},
    SymbolIcon{"checkmark.circle.fill", {"emblem-ok", "object-select"}, SP::SP_DialogApplyButton},
    SymbolIcon{"chevron.down", {"go-down", nullptr}, SP::SP_ArrowDown},
    SymbolIcon{"chevron.up", {"go-up", nullptr}, SP::SP_ArrowUp},
    SymbolIcon{"clock", {"document-open-recent", nullptr}, SP::SP_FileDialogInfoView},
    SymbolIcon{"clock.badge.xmark", {"document-open-recent", nullptr}, SP::SP_FileDialogInfoView},
    SymbolIcon{"doc.fill", {"text-x-generic", nullptr}, SP::SP_FileIcon},
    SymbolIcon{"doc.on.clipboard", {"edit-copy", nullptr}, SP::SP_FileLinkIcon},
    SymbolIcon{
        "doc.text.magnifyingglass", {"edit-find", "system-search"}, SP::SP_FileDialogContentsView},
    SymbolIcon{"exclamationmark.triangle", {"dialog-warning", nullptr}, SP::SP_MessageBoxWarning},
    SymbolIcon{
        "exclamationmark.triangle.fill", {"dialog-warning", nullptr}, SP::SP_MessageBoxWarning},
    SymbolIcon{"eye", {"view-reveal", "document-preview"}, SP::SP_FileDialogContentsView},
    SymbolIcon{"eye.fill", {"view-reveal", "document-preview"}, SP::SP_FileDialogContentsView},
    SymbolIcon{"folder", {"folder", nullptr}, SP::SP_DirIcon},
    SymbolIcon{"folder.badge.plus", {"folder-new", nullptr}, SP::SP_FileDialogNewFolder},
    SymbolIcon{"folder.fill", {"folder", nullptr}, SP::SP_DirIcon},
    SymbolIcon{"info.circle", {"dialog-information", nullptr}, SP::SP_MessageBoxInformation},
    SymbolIcon{"keyboard", {"input-keyboard", nullptr}, SP::SP_ComputerIcon},
    SymbolIcon{"menubar.rectangle", {"user-desktop", nullptr}, SP::SP_DesktopIcon},
    SymbolIcon{"minus.circle", {"list-remove", nullptr}, SP::SP_DialogNoButton},
    SymbolIcon{"nosign", {"action-unavailable", "dialog-cancel"}, SP::SP_BrowserStop},
    SymbolIcon{"person.2", {"system-users", nullptr}, SP::SP_DirHomeIcon},
    SymbolIcon{"person.2.slash", {"system-users", nullptr}, SP::SP_DirHomeIcon},
    SymbolIcon{"play.fill", {"media-playback-start", nullptr}, SP::SP_MediaPlay},
    SymbolIcon{"stop.circle.fill", {"media-playback-stop", nullptr}, SP::SP_BrowserStop},
    SymbolIcon{"stop.fill", {"media-playback-stop", nullptr}, SP::SP_MediaStop},
    SymbolIcon{"trash", {"user-trash", nullptr}, SP::SP_TrashIcon},
    SymbolIcon{"trash.circle.fill", {"user-trash", nullptr}, SP::SP_TrashIcon},
    SymbolIcon{"trash.slash", {"user-trash", nullptr}, SP::SP_TrashIcon},
    SymbolIcon{"tray.2.fill", {"drive-harddisk", nullptr}, SP::SP_DriveHDIcon},
    SymbolIcon{"xmark", {"window-close", nullptr}, SP::SP_DialogCloseButton},
    SymbolIcon{"xmark.circle.fill", {"window-close", nullptr}, SP::SP_DialogCloseButton},
};

// Symbolic icons are drawn in one colour that the toolkit is meant to
// replace; painting each size in the wanted colour does that.
QIcon recoloured(const QIcon& source, const QColor& color) {
    QIcon result;
    const qreal ratio = qApp->devicePixelRatio();
    for (const int extent : {16, 22, 24, 32, 48, 64}) {
        QPixmap pixmap = source.pixmap(QSize(extent, extent), ratio);
        if (pixmap.isNull())
            continue;
        QPainter painter(&pixmap);
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        painter.fillRect(pixmap.rect(), color);
        painter.end();
        result.addPixmap(pixmap);
    }
    return result;
}

QIcon themeIcon(const SymbolIcon& entry, const QColor& tint) {
    for (const char* name : entry.themeNames) {
        if (!name)
            break;
        const QString plain = QString::fromLatin1(name);
        const QString symbolic = plain + QStringLiteral("-symbolic");
        if (QIcon::hasThemeIcon(symbolic)) {
            const QColor color =
                tint.isValid() ? tint : QGuiApplication::palette().color(QPalette::WindowText);
            return recoloured(QIcon::fromTheme(symbolic), color);
        }
        if (QIcon::hasThemeIcon(plain))
            return QIcon::fromTheme(plain);
    }
    return QIcon();
}

} // namespace

std::span<const SymbolIcon> symbolIcons() {
    return kSymbolIcons;
}

QIcon symbolIcon(QStringView symbol, const QColor& tint) {
    const auto found =
        std::find_if(kSymbolIcons.begin(), kSymbolIcons.end(), [&](const SymbolIcon& entry) {
            return QLatin1StringView(entry.symbol) == symbol;
        });
    if (found == kSymbolIcons.end()) {
        qWarning("No icon for the symbol %s", qUtf8Printable(symbol.toString()));
        return QApplication::style()->standardIcon(SP::SP_FileIcon);
    }
    const QIcon icon = themeIcon(*found, tint);
    return icon.isNull() ? QApplication::style()->standardIcon(found->fallback) : icon;
}

QIcon applicationIcon() {
    return QIcon(QStringLiteral(":/icons/quillfen.svg"));
}

void setUpIconTheme() {
    // Some platforms (offscreen, for one) look only in Qt's resources.
    QStringList paths = QIcon::themeSearchPaths();
    for (const QString& data :
         QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        const QString icons = data + QStringLiteral("/icons");
        if (!paths.contains(icons))
            paths << icons;
    }
    QIcon::setThemeSearchPaths(paths);
    const QString adwaita = QStringLiteral("Adwaita");
    QIcon::setFallbackThemeName(adwaita);
    // hicolor is only the base every theme inherits, with few icons of its own.
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == QStringLiteral("hicolor"))
        QIcon::setThemeName(adwaita);
}

} // namespace quillfen
