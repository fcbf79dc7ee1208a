#pragma once

#include "storage/KeyValueStore.h"

#include <QByteArray>
#include <QSettings>
#include <QSizeF>
#include <QString>

#include <memory>
#include <optional>

namespace quillfen {

// The user-defaults store on QSettings (~/.config/Quillfen/Quillfen.conf):
// folder grants under "bm_source"/"bm_destination", "hasSeenOnboarding" and
// the sheets' sizes under "modal.size.<key>.width" and ".height".
class UserDefaults : public KeyValueStore {
public:
    UserDefaults();
    // Over a given settings file, for tests.
    explicit UserDefaults(const QString& fileName);

    std::optional<std::string> value(const std::string& key) const override;
    void setValue(const std::string& key, const std::string& bytes) override;
    void remove(const std::string& key) override;

    bool hasSeenOnboarding() const;
    void setHasSeenOnboarding(bool seen);

    // A sheet's last size, in device-independent pixels; none unless both
    // stored values are finite positive numbers.
    std::optional<QSizeF> sheetSize(const QString& key) const;
    void setSheetSize(const QString& key, QSizeF size);

    // The main window's size and position as Qt saves them; empty when none.
    QByteArray mainWindowGeometry() const;
    void setMainWindowGeometry(const QByteArray& geometry);

private:
    std::unique_ptr<QSettings> settings_;
};

} // namespace quillfen
