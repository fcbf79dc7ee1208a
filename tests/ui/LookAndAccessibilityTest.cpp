#include "WindowHarness.h"
#include "ui/NamedColors.h"
#include "ui/SymbolIcons.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>

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
    for (const NamedColor name : {NamedColor::green, NamedColor::red, NamedColor::orange,
                                  NamedColor::blue, NamedColor::teal}) {
        const int hue = namedColor(name, palettes[0]).hslHue();
        for (const auto& palette : palettes) {
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

// What a screen reader says for `control`.
QString spokenName(QWidget* control) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
    return accessible ? accessible->text(QAccessible::Name) : QString();
}

bool isControl(const QWidget* widget) {
    return qobject_cast<const QAbstractButton*>(widget) || qobject_cast<const QLineEdit*>(widget) ||
           qobject_cast<const QComboBox*>(widget) ||
           qobject_cast<const QAbstractSpinBox*>(widget) ||
           qobject_cast<const QAbstractItemView*>(widget);
}

// The parts of a compound control are spoken and reached through it.
bool isPartOfAControl(const QWidget* widget) {
    const QWidget* parent = widget->parentWidget();
    return qobject_cast<const QLineEdit*>(parent) ||
           qobject_cast<const QAbstractSpinBox*>(parent) ||
           qobject_cast<const QAbstractItemView*>(parent);
}

TEST(Accessibility, EveryControlOfTheWindowAndItsSheetsIsNamedAndReachedByTab) {
    test::WindowHarness harness;
    auto& viewModel = harness.viewModel();
    viewModel.saveProfile(QStringLiteral("Work"));
    viewModel.addExclusionPattern(QStringLiteral("*.bak"));
    harness.storage().addHistoryEntry(HistoryEntry{});
    viewModel.setSourcePath(harness.folder("source"));
    viewModel.setDestinationPath(harness.folder("destination"));
    auto& window = harness.show();

    // The window: Tab goes round every enabled control, each with a name.
    QSet<QWidget*> controls;
    for (QWidget* widget : window.findChildren<QWidget*>())
        if (widget->isVisible() && widget->isEnabled() && (widget->focusPolicy() & Qt::TabFocus))
            controls.insert(widget);
    ASSERT_GE(controls.size(), 16);
    harness.activate();
    harness.find<QPushButton>("historyButton").setFocus();
    QSet<QWidget*> reached;
    for (int i = 0; i < 2 * controls.size(); ++i) {
        QWidget* focused = QApplication::focusWidget();
        reached.insert(focused);
        EXPECT_FALSE(spokenName(focused).isEmpty()) << focused->objectName().toStdString();
        QTest::keyClick(focused, Qt::Key_Tab);
    }
    EXPECT_EQ(reached, controls);

    // Every sheet, the tour banner's buttons on its sheet included.
    viewModel.startTour();
    for (const Sheet sheet :
         {Sheet::exclusions, Sheet::profiles, Sheet::schedule, Sheet::history, Sheet::help,
          Sheet::releaseNotes, Sheet::terms, Sheet::about, Sheet::cleanSource, Sheet::onboarding}) {
        viewModel.setShown(sheet, true);
        SheetDialog* dialog = harness.sheet(sheet);
        for (QWidget* control : dialog->findChildren<QWidget*>()) {
            if (!isControl(control) || isPartOfAControl(control))
                continue;
            SCOPED_TRACE(dialog->objectName().toStdString() + ' ' +
                         control->objectName().toStdString());
            EXPECT_FALSE(spokenName(control).isEmpty());
            EXPECT_TRUE(control->focusPolicy() & Qt::TabFocus);
        }
        viewModel.setShown(sheet, false);
    }
}

TEST(Look, TheWindowAndItsSheetsFollowASwitchBetweenLightAndDark) {
    test::WindowHarness harness;
    harness.storage().addHistoryEntry({.result = SyncResult{.status = SyncStatus::failed}});
    harness.show();
    harness.viewModel().startTour(); // the banner's plain text sits inside its style sheet
    harness.viewModel().setShowHistory(true);
    const auto& status = test::child<QLabel>(harness.sheet(Sheet::history), "statusLabel");
    const auto buttonText = [&](const char* name) {
        return harness.find<QWidget>(name).palette().color(QPalette::ButtonText);
    };
    const QPalette light = QApplication::palette();
    QPalette dark = light;
    for (const auto& [role, color] : {std::pair{QPalette::Window, QColor(0x2d, 0x2d, 0x2d)},
                                      {QPalette::Base, QColor(0x1e, 0x1e, 0x1e)},
                                      {QPalette::Button, QColor(0x3a, 0x3a, 0x3a)},
                                      {QPalette::WindowText, QColor(0xee, 0xee, 0xee)},
                                      {QPalette::Text, QColor(0xee, 0xee, 0xee)},
                                      {QPalette::ButtonText, QColor(0xee, 0xee, 0xee)}})
        dark.setColor(role, color);
    QColor lastGreen;
    for (const QPalette& palette : {light, dark, light}) {
        SCOPED_TRACE(palette == dark ? "dark" : "light");
        QApplication::setPalette(palette);
        EXPECT_TRUE(QTest::qWaitFor([&] {
            return status.palette().color(QPalette::WindowText) == namedColor(NamedColor::red);
        }));
        EXPECT_EQ(harness.find<QLabel>("tourTitleLabel").palette().color(QPalette::WindowText),
                  palette.color(QPalette::WindowText));
        EXPECT_EQ(harness.find<QWidget>("taglineLabel").palette().color(QPalette::WindowText),
                  secondaryTextColor());
        // A tinted tool keeps its hue and reads on its button, whatever the
        // palette makes of the accent.
        for (const auto& [name, hue] :
             {std::pair{"scheduleButton", namedColor(NamedColor::green).hslHue()},
              {"exclusionsButton", accentColor().hslHue()}}) {
            SCOPED_TRACE(name);
            EXPECT_GE(contrastRatio(buttonText(name), palette.color(QPalette::Button)), 4.5);
            EXPECT_NEAR(buttonText(name).hslHue(), hue, 12);
        }
        EXPECT_NE(buttonText("scheduleButton"), lastGreen);
        lastGreen = buttonText("scheduleButton");
    }
}

} // namespace
} // namespace quillfen
