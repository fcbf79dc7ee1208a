#include "app/LoginItem.h"

#include "Version.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace quillfen {
namespace {

// One program argument of an "Exec" key: quoted, with the characters that
// stay special inside double quotes escaped, "%" doubled (field codes), and
// the value-level escapes applied last.
QString execArgument(const QString& argument) {
    QString quoted;
    for (const QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
    }
    quoted.replace(u'%', QStringLiteral("%%"));
    quoted = u'"' + quoted + u'"';
    quoted.replace(u'\\', QStringLiteral("\\\\"));
    quoted.replace(u'\n', QStringLiteral("\\n"));
    quoted.replace(u'\t', QStringLiteral("\\t"));
    quoted.replace(u'\r', QStringLiteral("\\r"));
    return quoted;
}

// The value of `key` in the "[Desktop Entry]" group; empty when absent.
QString desktopEntryValue(const QByteArray& contents, QStringView key) {
    bool inMainGroup = false;
    for (const auto& rawLine : contents.split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (line.startsWith(u'[')) {
            inMainGroup = line == u"[Desktop Entry]";
            continue;
        }
        const auto equals = line.indexOf(u'=');
        if (inMainGroup && equals > 0 && QStringView(line).left(equals).trimmed() == key)
            return line.mid(equals + 1).trimmed();
    }
    return {};
}

} // namespace

LoginItem::LoginItem(QString applicationPath, QString entryPath)
    : applicationPath_(std::move(applicationPath)), entryPath_(std::move(entryPath)) {}

QString LoginItem::defaultEntryPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart/quillfen.desktop");
}

bool LoginItem::isEnabled() const {
    QFile entry(entryPath_);
    if (!entry.open(QIODevice::ReadOnly))
        return false;
    const QByteArray contents = entry.readAll();
    return desktopEntryValue(contents, u"Hidden") != u"true" &&
           desktopEntryValue(contents, u"X-GNOME-Autostart-enabled") != u"false";
}

bool LoginItem::setEnabled(bool enabled) {
    return enabled ? writeEntry() : removeEntry();
}

// The same name, comment and icon as the installed launcher entry. The
// program starts in the tray: whether the desktop has one is only known at
// login, so the program itself shows the window when it finds none.
QByteArray LoginItem::entryContents() const {
    const QString text = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=Quillfen\n"
                                        "Comment=Keep two folders in step\n"
                                        "Icon=%1\n"
                                        "Exec=%2 --hidden\n"
                                        "Terminal=false\n"
                                        "X-GNOME-Autostart-enabled=true\n")
                             .arg(QLatin1StringView(kAppId), execArgument(applicationPath_));
    return text.toUtf8();
}

bool LoginItem::writeEntry() const {
    if (!QDir().mkpath(QFileInfo(entryPath_).absolutePath()))
        return false;
    QSaveFile entry(entryPath_);
    return entry.open(QIODevice::WriteOnly) && entry.write(entryContents()) >= 0 && entry.commit();
}

bool LoginItem::removeEntry() const {
    return !QFileInfo::exists(entryPath_) || QFile::remove(entryPath_);
}

} // namespace quillfen
