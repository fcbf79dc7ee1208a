#include "ui/NamedColors.h"
#include "ui/SymbolIcons.h"

#include <QApplication>
#include <QImage>

#include <gtest/gtest.h>

namespace quillfen {
namespace {

QPalette paletteOf(QColor window, QColor base, QColor text) {
    QPalette palette;
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::WindowText, text);
    return palette;
}

TEST(NamedColors, StayReadableAndKeepTheirHueOnLightDarkAndGreyPalettes) {
    const QPalette palettes[] = {
        paletteOf(QColor(0xef, 0xef, 0xef), Qt::white, Qt::black),
        paletteOf(QColor(0x2d, 0x2d, 0x2d), QColor(0x1e, 0x1e, 0x1e), QColor(0xee, 0xee, 0xee)),
        paletteOf(QColor(0x80, 0x80, 0x80), QColor(0x90, 0x90, 0x90), Qt::black),
    };
    const std::pair<NamedColor, int> hues[] = {{NamedColor::green, 132},
                                               {NamedColor::red, 3},
                                               {NamedColor::orange, 32},
                                               {NamedColor::blue, 213},
                                               {NamedColor::teal, 180}};
    for (const auto& palette : palettes) {
        for (const auto& [name, hue] : hues) {
            const QColor color = namedColor(name, palette);
            SCOPED_TRACE(color.name().toStdString());
            EXPECT_GE(contrastRatio(color, palette.color(QPalette::Window)), 4.5);
            EXPECT_GE(contrastRatio(color, palette.color(QPalette::Base)), 4.5);
            EXPECT_NEAR(color.hslHue(), hue, 12);
        }
    }
    EXPECT_NEAR(contrastRatio(Qt::black, Qt::white), 21.0, 0.01);
}

// The colour of the icon's most opaque pixel.
QColor inkOf(const QIcon& icon) {
    const QImage image = icon.pixmap(QSize(24, 24)).toImage();
    QColor ink(0, 0, 0, 0);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y).alpha() > ink.alpha())
                ink = image.pixelColor(x, y);
    return ink;
}

TEST(SymbolIcons, EverySymbolComesFromTheThemeInItsTintAndFallsBackWithoutOne) {
    setUpIconTheme();
    for (const auto& entry : symbolIcons()) {
        SCOPED_TRACE(entry.symbol);
        const QString first = QString::fromLatin1(entry.themeNames[0]);
        EXPECT_TRUE(QIcon::hasThemeIcon(first) ||
                    QIcon::hasThemeIcon(first + QStringLiteral("-symbolic")))
            << "the installed theme lacks " << entry.themeNames[0];
        EXPECT_FALSE(symbolIcon(QString::fromLatin1(entry.symbol)).isNull());
    }
    EXPECT_EQ(inkOf(symbolIcon(u"folder", QColor(0x11, 0x99, 0x33))).rgb(),
              QColor(0x11, 0x99, 0x33).rgb());
    EXPECT_FALSE(symbolIcon(u"no.such.symbol").isNull());
    EXPECT_FALSE(applicationIcon().pixmap(QSize(64, 64)).isNull());

    const QStringList searchPaths = QIcon::themeSearchPaths();
    QIcon::setThemeSearchPaths({});
    for (const auto& entry : symbolIcons())
        EXPECT_FALSE(symbolIcon(QString::fromLatin1(entry.symbol)).pixmap(16).isNull())
            << entry.symbol;
    QIcon::setThemeSearchPaths(searchPaths);
}

} // namespace
} // namespace quillfen
