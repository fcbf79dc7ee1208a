#pragma once

#include <QString>

namespace quillfen {

// Opening the application at login, as an XDG autostart entry.
class LoginItem {
public:
    // `applicationPath` is the program the entry starts (production passes
    // QCoreApplication::applicationFilePath()).
    explicit LoginItem(QString applicationPath, QString entryPath = defaultEntryPath());

    // "$XDG_CONFIG_HOME/autostart/quillfen.desktop" (default ~/.config).
    static QString defaultEntryPath();

    const QString& entryPath() const { return entryPath_; }

    // The entry exists and is not switched off with "Hidden=true" or
    // "X-GNOME-Autostart-enabled=false".
    bool isEnabled() const;

    // Writes the entry atomically, or removes it; false when that failed (the
    // previous state is then unchanged).
    bool setEnabled(bool enabled);

private:
    QByteArray entryContents() const;
    bool writeEntry() const;
    bool removeEntry() const;

    QString applicationPath_;
    QString entryPath_;
};

} // namespace quillfen
