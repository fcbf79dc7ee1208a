#include "WindowHarness.h"

#include <QLabel>
#include <QToolButton>

#include <gtest/gtest.h>

namespace quillfen {
namespace {

using test::WindowHarness;

constexpr Sheet kAllSheets[] = {
    Sheet::exclusions, Sheet::profiles,     Sheet::schedule,   Sheet::history,
    Sheet::help,       Sheet::releaseNotes, Sheet::terms,      Sheet::about,
    Sheet::preview,    Sheet::cleanSource,  Sheet::onboarding,
};

TEST(SheetHost, EveryFlagOpensAWindowModalSheetThatClearsTheFlagHoweverItCloses) {
    WindowHarness harness;
    auto& viewModel = harness.viewModel();
    harness.show();
    for (const Sheet sheet : kAllSheets) {
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

TEST(SheetHost, ASheetRemembersItsSizeAndBringsAHiddenWindowBack) {
    WindowHarness harness;
    auto& viewModel = harness.viewModel();
    harness.show();
    viewModel.setShowHistory(true);
    harness.sheet(Sheet::history)->resize(700, 520);
    QTest::qWait(150);
    EXPECT_EQ(harness.defaults().sheetSize(QStringLiteral("history")), QSizeF(700, 520));
    viewModel.setShowHistory(false);

    harness.window().hide();
    viewModel.setShowHistory(true);
    EXPECT_TRUE(harness.window().isVisible());
    EXPECT_EQ(harness.sheet(Sheet::history)->size(), QSize(700, 520));
}

} // namespace
} // namespace quillfen
