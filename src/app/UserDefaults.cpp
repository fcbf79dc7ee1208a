#include "app/UserDefaults.h"

#include <cmath>

namespace quillfen {
namespace {

const QString kOnboardingKey = QStringLiteral("hasSeenOnboarding");
const QString kGeometryKey = QStringLiteral("mainWindow.geometry");

QString sizeKey(const QString& key, const char* dimension) {
    return QStringLiteral("modal.size.") + key + QLatin1Char('.') + QLatin1String(dimension);
}

// A stored length, when it is one: a hand-edited or damaged value is none.
std::optional<double> lengthFrom(const QVariant& stored) {
    bool isNumber = false;
    const double length = stored.toDouble(&isNumber);
    if (!isNumber || !std::isfinite(length) || length <= 0)
        return std::nullopt;
    return length;
}

} // namespace

UserDefaults::UserDefaults()
    : settings_(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                            QStringLiteral("Quillfen"),
                                            QStringLiteral("Quillfen"))) {}

UserDefaults::UserDefaults(const QString& fileName)
    : settings_(std::make_unique<QSettings>(fileName, QSettings::IniFormat)) {}

std::optional<std::string> UserDefaults::value(const std::string& key) const {
    const QVariant stored = settings_->value(QString::fromStdString(key));
    if (!stored.isValid())
        return std::nullopt;
    return stored.toByteArray().toStdString();
}

void UserDefaults::setValue(const std::string& key, const std::string& bytes) {
    // Stored as a byte array so that a path that is not UTF-8 survives.
    settings_->setValue(QString::fromStdString(key), QByteArray::fromStdString(bytes));
    settings_->sync();
}

void UserDefaults::remove(const std::string& key) {
    settings_->remove(QString::fromStdString(key));
    settings_->sync();
}

bool UserDefaults::hasSeenOnboarding() const {
    return settings_->value(kOnboardingKey).toBool();
}

void UserDefaults::setHasSeenOnboarding(bool seen) {
    settings_->setValue(kOnboardingKey, seen);
    settings_->sync();
}

std::optional<QSizeF> UserDefaults::sheetSize(const QString& key) const {
    const auto width = lengthFrom(settings_->value(sizeKey(key, "width")));
    const auto height = lengthFrom(settings_->value(sizeKey(key, "height")));
    if (!width || !height)
        return std::nullopt;
    return QSizeF(*width, *height);
}

void UserDefaults::setSheetSize(const QString& key, QSizeF size) {
    settings_->setValue(sizeKey(key, "width"), size.width());
    settings_->setValue(sizeKey(key, "height"), size.height());
    settings_->sync();
}

QByteArray UserDefaults::mainWindowGeometry() const {
    return settings_->value(kGeometryKey).toByteArray();
}

void UserDefaults::setMainWindowGeometry(const QByteArray& geometry) {
    settings_->setValue(kGeometryKey, geometry);
    settings_->sync();
}

} // namespace quillfen
