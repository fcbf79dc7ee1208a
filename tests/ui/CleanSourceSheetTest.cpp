#include "SheetTesting.h"

#include <QLabel>
#include <QPushButton>
#include <QTreeView>

#include <gtest/gtest.h>

namespace quillfen {
namespace {

using test::child;

TEST(CleanSourceSheetTest, ListsMatchesAsksMovesAndReportsWhatCouldNotMove) {
    test::WindowHarness harness;
    auto& viewModel = harness.viewModel();
    viewModel.setSourcePath(harness.folder("source"));
    const auto source = harness.root() / "source";
    test::writeFile(source / "a/node_modules/x/node_modules/y.js", "y");
    test::writeFile(source / "notes.tmp", "t");
    test::writeFile(source / "keep.txt", "k");
    viewModel.setExcludePatterns({});
    harness.show();

    viewModel.setShowCleanSource(true);
    SheetDialog* empty = harness.sheet(Sheet::cleanSource);
    EXPECT_EQ(empty->subtitleLabel()->text(), "Nothing to clean") << "no rule, no scan";
    EXPECT_TRUE(child<QWidget>(empty, "cleanSourceEmptyWidget").isVisibleTo(empty));
    EXPECT_FALSE(child<QPushButton>(empty, "moveToTrashButton").isVisibleTo(empty));
    viewModel.setShowCleanSource(false);

    viewModel.addExclusionPattern(QStringLiteral("node_modules"));
    viewModel.addExclusionPattern(QStringLiteral("*.tmp"));
    viewModel.setShowCleanSource(true);
    SheetDialog* sheet = harness.sheet(Sheet::cleanSource);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return sheet->subtitleLabel()->text() != "Scanning\u2026"; }));
    EXPECT_EQ(sheet->subtitleLabel()->text(), QStringLiteral("2 items \u00B7 1 byte"));
    auto& list = child<QTreeView>(sheet, "cleanItemsTreeView");
    ASSERT_EQ(list.model()->rowCount(), 2);
    QStringList rows;
    for (int row = 0; row < 2; ++row)
        rows << list.model()->index(row, 0).data().toString() + u' ' +
                    list.model()->index(row, 1).data().toString();
    rows.sort();
    EXPECT_EQ(rows, QStringList({QStringLiteral("a/node_modules \u2014"), "notes.tmp 1 byte"}));

    auto& move = child<QPushButton>(sheet, "moveToTrashButton");
    EXPECT_EQ(move.text(), "Move 2 to Trash");
    std::filesystem::remove(source / "notes.tmp"); // gone before the move: it cannot move
    move.click();
    QMessageBox* box = test::confirmation(sheet);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text(), "Move 2 Items to Trash?");
    EXPECT_EQ(box->informativeText(),
              QStringLiteral("Moves 2 items \u00B7 1 byte from your source folder to the system "
                             "Trash. You can recover them from your file manager if needed."));
    EXPECT_EQ(child<QPushButton>(box, "confirmButton").text(), "Move to Trash");
    test::answer(sheet, "confirmButton");
    ASSERT_TRUE(QTest::qWaitFor([&] { return sheet->subtitleLabel()->text() == "Done"; }));
    EXPECT_EQ(child<QLabel>(sheet, "movedLabel").text(), "Moved 1 item to Trash");
    EXPECT_EQ(child<QLabel>(sheet, "failedLabel").text(), "1 item could not be moved");
    EXPECT_FALSE(std::filesystem::exists(source / "a/node_modules"));
    EXPECT_TRUE(std::filesystem::exists(source / "keep.txt"));
    child<QPushButton>(sheet, "doneButton").click();
    EXPECT_FALSE(viewModel.showCleanSource());
}

} // namespace
} // namespace quillfen
