#include "WindowHarness.h"
#include "ui/BadgedToolButton.h"
#include "ui/FolderPicker.h"
#include "ui/NamedColors.h"
#include "ui/StatusDot.h"

#include <QAccessible>
#include <QCheckBox>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>
#include <QUrl>

#include <gtest/gtest.h>

namespace quillfen {
namespace {

using test::writeFile;

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() {
        harness.show();
        activate();
    }

    // Gives the window the keyboard, as the window manager does once a
    // sheet over it closes.
    void activate() {
        harness.window().activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&harness.window()));
    }

    template <typename Widget> Widget& find(const char* name) { return harness.find<Widget>(name); }
    QString text(const char* label) { return find<QLabel>(label).text(); }
    bool shown(const char* name) { return find<QWidget>(name).isVisible(); }
    bool enabled(const char* name) { return find<QWidget>(name).isEnabled(); }

    FolderPicker& picker(const char* name) { return find<FolderPicker>(name); }

    // Drags `urls` over the picker and drops them; whether it lit up.
    bool drop(FolderPicker& target, const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(&target, &enter);
        const bool lit = target.isTargeted() && enter.isAccepted();
        QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(&target, &dropped);
        EXPECT_TRUE(dropped.isAccepted());
        EXPECT_FALSE(target.isTargeted());
        return lit;
    }

    test::WindowHarness harness;
    AppViewModel& viewModel = harness.viewModel();
    std::filesystem::path source = harness.root() / "source";
    std::filesystem::path destination = harness.root() / "destination";
};

TEST_F(MainWindowTest, ControlsFollowTheFoldersTheRulesAndTheRun) {
    EXPECT_EQ(picker("sourcePickerFrame").findChild<QLabel*>("folderNameLabel")->text(),
              "No folder selected");
    const auto expect = [&](bool start, bool watch, bool clean, bool cancel) {
        EXPECT_EQ(enabled("startSyncButton"), start);
        EXPECT_EQ(enabled("previewButton"), start);
        EXPECT_EQ(enabled("watchCheckBox"), watch);
        EXPECT_EQ(enabled("cleanSourceButton"), clean);
        EXPECT_EQ(shown("cancelButton"), cancel);
    };
    {
        SCOPED_TRACE("no folders");
        expect(false, false, false, false);
    }
    viewModel.setSourcePath(harness.folder("source"));
    {
        SCOPED_TRACE("source only");
        expect(false, true, true, false);
    }
    auto rules = viewModel.excludePatterns();
    for (auto& rule : rules)
        rule.enabled = false;
    viewModel.setExcludePatterns(rules);
    {
        SCOPED_TRACE("no rule on");
        expect(false, true, false, false);
        EXPECT_EQ(find<BadgedToolButton>("exclusionsButton").badge(), "");
    }
    viewModel.setDestinationPath(harness.folder("destination"));
    {
        SCOPED_TRACE("both folders");
        expect(true, true, false, false);
    }

    viewModel.setBandwidthLimit(100);
    writeFile(source / "slow.bin", std::string(400 * 1024, 's'));
    find<QPushButton>("startSyncButton").click();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return viewModel.syncProgress().phase == SyncProgress::Phase::syncing; }));
    {
        SCOPED_TRACE("running");
        expect(false, true, false, true);
    }
    QTest::keyClick(&harness.window(), Qt::Key_S, Qt::ControlModifier); // refused while running
    find<QPushButton>("cancelButton").click();
    ASSERT_TRUE(harness.waitUntilIdle());
    EXPECT_FALSE(shown("cancelButton"));
    EXPECT_TRUE(text("lastRunBadgeLabel").startsWith("0 copied \u00b7 "));
    EXPECT_EQ(find<StatusDot>("lastRunDot").color(), namedColor(NamedColor::red));
    EXPECT_EQ(harness.storage().history().size(), 1u);
}

TEST_F(MainWindowTest, PreviewAndSyncRunThroughTheButtonsAndShortcuts) {
    writeFile(source / "a.txt", "alpha");
    writeFile(source / "docs/b.txt", "beta");
    viewModel.setSourcePath(harness.folder("source"));
    viewModel.setDestinationPath(harness.folder("destination"));
    EXPECT_FALSE(shown("lastRunBadgeLabel"));

    find<QPushButton>("previewButton").click();
    ASSERT_TRUE(harness.waitUntilIdle());
    EXPECT_EQ(text("lastRunBadgeLabel"), "Preview: 2 to copy");
    EXPECT_EQ(find<StatusDot>("lastRunDot").color(), namedColor(NamedColor::green));
    ASSERT_TRUE(harness.sheet(Sheet::preview)) << "the plan opens over the window";
    QTest::keyClick(harness.sheet(Sheet::preview), Qt::Key_Escape);
    EXPECT_FALSE(std::filesystem::exists(destination / "a.txt"));
    activate();

    QTest::keyClick(&harness.window(), Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_TRUE(harness.waitUntilIdle());
    EXPECT_TRUE(viewModel.showPreview());
    viewModel.setShowPreview(false);

    activate();
    QTest::keyClick(&harness.window(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(viewModel.isSyncing());
    ASSERT_TRUE(harness.waitUntilIdle());
    EXPECT_EQ(test::readFile(destination / "docs/b.txt"), "beta");
    EXPECT_EQ(text("lastRunBadgeLabel"), "2 copied \u00b7 9 bytes");
    EXPECT_TRUE(QTest::qWaitFor([&] { return text("folderStatsLabel") != "Calculating\u2026"; }));
}

TEST_F(MainWindowTest, DropsTakeTheFirstLocalFolderOnly) {
    auto& target = picker("destinationPickerFrame");
    writeFile(harness.root() / "note.txt", "n");
    const QUrl file = QUrl::fromLocalFile(toQString(harness.root() / "note.txt"));
    const QUrl first = QUrl::fromLocalFile(harness.folder("first"));
    const QUrl second = QUrl::fromLocalFile(harness.folder("second"));

    // Which drops are taken is proved with the view model.
    EXPECT_TRUE(drop(target, {file})) << "a file lights the picker up";
    EXPECT_TRUE(viewModel.destinationPath().isEmpty());
    EXPECT_TRUE(drop(target, {first, second}));
    EXPECT_EQ(viewModel.destinationPath(), harness.folder("first"));
    EXPECT_EQ(target.findChild<QLabel*>("folderNameLabel")->text(), "first");
    EXPECT_EQ(target.findChild<QLabel*>("folderPathLabel")->text(), harness.folder("first"));
    EXPECT_TRUE(viewModel.sourcePath().isEmpty());

    // While dragging over an empty picker it invites the drop.
    QMimeData data;
    data.setUrls({second});
    auto& empty = picker("sourcePickerFrame");
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&empty, &enter);
    EXPECT_EQ(empty.findChild<QLabel*>("folderNameLabel")->text(), "Drop folder here");
    QDragLeaveEvent leave;
    QApplication::sendEvent(&empty, &leave);
    EXPECT_EQ(empty.findChild<QLabel*>("folderNameLabel")->text(), "No folder selected");
}

TEST_F(MainWindowTest, OptionsEditTheViewModelAndFollowIt) {
    auto& slider = find<QSlider>("bandwidthSlider");
    EXPECT_EQ(text("bandwidthValueLabel"), "Unlimited");
    slider.setValue(300);
    EXPECT_EQ(text("bandwidthValueLabel"), "300 KB/s");
    slider.setValue(3640); // between two steps
    EXPECT_EQ(viewModel.bandwidthLimit(), 3600);
    EXPECT_EQ(slider.value(), 3600);
    slider.setValue(0);
    EXPECT_EQ(viewModel.bandwidthLimit(), 0);

    find<QCheckBox>("mirrorCheckBox").click();
    EXPECT_TRUE(viewModel.deleteExtras());
    SyncProfile profile;
    profile.bandwidthLimit = 250;
    viewModel.loadProfile(profile);
    EXPECT_FALSE(find<QCheckBox>("mirrorCheckBox").isChecked());
    EXPECT_EQ(text("bandwidthValueLabel"), "250 KB/s");

    auto& login = find<QCheckBox>("openAtLoginCheckBox");
    login.click();
    EXPECT_TRUE(viewModel.launchAtLogin());
    EXPECT_TRUE(login.isChecked());
    EXPECT_EQ(login.toolTip(), "Launch Quillfen automatically when you log in");
}

TEST_F(MainWindowTest, FollowsTheDesktopFromLightToDark) {
    const QPalette light = QApplication::palette();
    QPalette dark = light;
    for (const auto& [role, color] : {std::pair{QPalette::Window, QColor(0x2d, 0x2d, 0x2d)},
                                      {QPalette::Base, QColor(0x1e, 0x1e, 0x1e)},
                                      {QPalette::Button, QColor(0x3a, 0x3a, 0x3a)},
                                      {QPalette::WindowText, QColor(0xee, 0xee, 0xee)},
                                      {QPalette::Text, QColor(0xee, 0xee, 0xee)},
                                      {QPalette::ButtonText, QColor(0xee, 0xee, 0xee)}})
        dark.setColor(role, color);
    const auto textColor = [&](const char* name) {
        return find<QWidget>(name).palette().color(QPalette::ButtonText);
    };
    // A tinted tool keeps its hue and reads on its button, whatever the
    // palette makes of the accent.
    const auto expectTinted = [&](const QPalette& palette) {
        for (const auto& [name, hue] : {std::pair{"scheduleButton", 132},
                                        {"exclusionsButton", accentColor(palette).hslHue()}}) {
            SCOPED_TRACE(name);
            EXPECT_GE(contrastRatio(textColor(name), palette.color(QPalette::Button)), 4.5);
            EXPECT_NEAR(textColor(name).hslHue(), hue, 12);
        }
    };
    QApplication::setPalette(dark);
    QCoreApplication::processEvents();
    EXPECT_EQ(find<QWidget>("taglineLabel").palette().color(QPalette::WindowText),
              secondaryTextColor(dark));
    expectTinted(dark);
    const QColor darkGreen = textColor("scheduleButton");
    QApplication::setPalette(light);
    expectTinted(light);
    EXPECT_NE(textColor("scheduleButton"), darkGreen);
}

TEST_F(MainWindowTest, TabReachesEveryControlAndEachHasAName) {
    viewModel.setSourcePath(harness.folder("source"));
    viewModel.setDestinationPath(harness.folder("destination"));
    QSet<QWidget*> controls;
    for (QWidget* widget : harness.window().findChildren<QWidget*>())
        if (widget->isVisible() && widget->isEnabled() && (widget->focusPolicy() & Qt::TabFocus))
            controls.insert(widget);
    ASSERT_GE(controls.size(), 16);

    find<QPushButton>("historyButton").setFocus();
    QSet<QWidget*> reached;
    for (int i = 0; i < 2 * controls.size(); ++i) {
        QWidget* focused = QApplication::focusWidget();
        reached.insert(focused);
        const QString name =
            QAccessible::queryAccessibleInterface(focused)->text(QAccessible::Name);
        EXPECT_FALSE(name.isEmpty()) << focused->objectName().toStdString();
        QTest::keyClick(focused, Qt::Key_Tab);
    }
    EXPECT_EQ(reached, controls);
}

} // namespace
} // namespace quillfen
