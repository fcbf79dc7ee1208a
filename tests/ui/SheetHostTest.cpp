#include "WindowHarness.h"
#include "ui/WindowSizePersistence.h"

#include <QScreen>
#include <QSettings>

#include <gtest/gtest.h>

namespace quillfen {
namespace {

using namespace std::chrono_literals;
using SheetHostTest = test::WindowTest;

TEST_F(SheetHostTest, EveryFlagOpensAWindowModalSheetThatClearsTheFlagHoweverItCloses) {
    for (const Sheet sheet : {Sheet::exclusions, Sheet::profiles, Sheet::schedule, Sheet::history,
                              Sheet::help, Sheet::releaseNotes, Sheet::terms, Sheet::about,
                              Sheet::preview, Sheet::cleanSource, Sheet::onboarding}) {
        SCOPED_TRACE(int(sheet));
        viewModel.setShown(sheet, true);
        SheetDialog* dialog = harness.sheet(sheet);
        ASSERT_TRUE(dialog);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog));
        EXPECT_EQ(dialog->windowModality(), Qt::WindowModal);
        EXPECT_EQ(dialog->parentWidget(), &harness.window());
        EXPECT_EQ(dialog->windowTitle(), dialog->titleLabel()->text());
        viewModel.setShown(sheet, true); // already open: still one sheet
        EXPECT_EQ(harness.window().findChildren<SheetDialog*>().size(), 1);

        QTest::keyClick(dialog, Qt::Key_Escape);
        EXPECT_FALSE(viewModel.isShown(sheet)) << "Esc";
        EXPECT_FALSE(harness.sheet(sheet));

        viewModel.setShown(sheet, true);
        harness.sheet(sheet)->closeButton()->click();
        EXPECT_FALSE(viewModel.isShown(sheet)) << "close button";

        viewModel.setShown(sheet, true);
        QPointer<SheetDialog> open = harness.sheet(sheet);
        viewModel.setShown(sheet, false);
        EXPECT_FALSE(open->isVisible()) << "flag cleared";
        EXPECT_TRUE(QTest::qWaitFor([&] { return open.isNull(); }));
    }
}

TEST_F(SheetHostTest, ASheetRemembersItsSizeAndBringsAHiddenWindowBack) {
    viewModel.setShowHistory(true);
    harness.sheet(Sheet::history)->resize(700, 520);
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return harness.defaults().sheetSize(QStringLiteral("history")) == QSizeF(700, 520);
    }));
    viewModel.setShowHistory(false);

    harness.window().hide();
    viewModel.setShowHistory(true);
    EXPECT_TRUE(harness.window().isVisible());
    EXPECT_EQ(harness.sheet(Sheet::history)->size(), QSize(700, 520));
}

// Which stored values count as a size is proved with the user defaults.
class WindowSizePersistenceTest : public ::testing::Test {
protected:
    // A dialog of at least 300 × 200 remembering its size under "preview".
    std::unique_ptr<QDialog> open(std::chrono::milliseconds delay = 60ms) {
        auto dialog = std::make_unique<QDialog>();
        dialog->setMinimumSize(300, 200);
        dialog->resize(400, 300);
        new WindowSizePersistence(*dialog, QStringLiteral("preview"), defaults, delay);
        dialog->open();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        return dialog;
    }
    std::optional<QSizeF> stored() const {
        return UserDefaults(file).sheetSize(QStringLiteral("preview"));
    }

    test::TempDir root;
    const QString file = toQString(root / "Quillfen.conf");
    UserDefaults defaults{file};
};

TEST_F(WindowSizePersistenceTest, RestoresOnlyAWholeSizeWithinTheMinimumAndTheScreen) {
    const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
    const struct {
        const char* what;
        std::optional<QSizeF> stored;
        QSize expected;
        bool withFrame = false; // the expected height includes the window's frame
    } cases[] = {
        {"nothing stored", {}, {400, 300}},
        {"a fraction of a point", QSizeF(640.4, 480.6), {640, 481}},
        {"below the minimum", QSizeF(120, 90), {300, 200}},
        {"beyond the screen", QSizeF(640, 99999), {640, screen.height()}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QSettings(file, QSettings::IniFormat).clear();
        if (c.stored)
            defaults.setSheetSize(QStringLiteral("preview"), *c.stored);
        const auto dialog = open();
        const int frame = c.withFrame ? dialog->frameGeometry().height() - dialog->height() : 0;
        EXPECT_EQ(dialog->size(), c.expected - QSize(0, frame));
    }
}

// With the window's real delay.
TEST_F(WindowSizePersistenceTest, ADragIsWrittenOnceAfterItEnds) {
    const auto delay = MainWindowTiming{}.sheetSizeSaveDelay;
    auto dialog = open(delay);
    QTest::qWait(int(delay.count()) + 50);
    EXPECT_FALSE(stored()) << "opening alone stores nothing";
    for (int step = 0; step < 3; ++step) {
        dialog->resize(500 + 10 * step, 400);
        QTest::qWait(int(delay.count()) / 2);
        EXPECT_FALSE(stored()) << "written in the middle of the drag, at step " << step;
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return stored() == QSizeF(520, 400); }));
}

} // namespace
} // namespace quillfen
