#include "app/UserDefaults.h"

#include "TempDir.h"
#include "app/PathText.h"

#include <QSettings>

#include <gtest/gtest.h>

namespace quillfen {
namespace {

TEST(UserDefaultsTest, SheetSizesKeepFractionsAndRestoreOnlyFromTwoNumbers) {
    test::TempDir dir;
    const QString file = toQString(dir / "Quillfen.conf");
    UserDefaults(file).setSheetSize(QStringLiteral("history"), QSizeF(640.5, 480));
    EXPECT_EQ(UserDefaults(file).sheetSize(QStringLiteral("history")), QSizeF(640.5, 480));
    EXPECT_FALSE(UserDefaults(file).sheetSize(QStringLiteral("profiles")));

    // Hand-edited or damaged values.
    const std::pair<QString, QString> unusable[] = {
        {"wide", "300"}, {"", "300"}, {"500", "nan"}, {"500", "-1"}, {"inf", "300"}};
    for (const auto& [width, height] : unusable) {
        {
            QSettings settings(file, QSettings::IniFormat);
            settings.setValue(QStringLiteral("modal.size.history.width"), width);
            settings.setValue(QStringLiteral("modal.size.history.height"), height);
        }
        EXPECT_FALSE(UserDefaults(file).sheetSize(QStringLiteral("history")))
            << width.toStdString() << " x " << height.toStdString();
    }
}

} // namespace
} // namespace quillfen
