#include "WindowHarness.h"
#include "ui/ElidedLabel.h"
#include "ui/HistoryListModel.h"

#include <QClipboard>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QToolButton>

#include <gtest/gtest.h>

namespace quillfen {
namespace {

using test::child;

HistoryEntry run(const char* source, std::optional<SyncStatus> status, bool preview = false) {
    HistoryEntry entry;
    entry.source = source;
    entry.destination = "/media/backup";
    entry.isDryRun = preview;
    if (status) {
        entry.result = SyncResult{};
        entry.result->status = *status;
        entry.result->isDryRun = preview;
    }
    return entry;
}

class HistorySheetTest : public ::testing::Test {
protected:
    SheetDialog& open() { return *test::showSheet(harness, Sheet::history); }
    QStringList visibleRows(const SheetDialog& sheet) const {
        QStringList names;
        for (auto* value : sheet.findChildren<ElidedLabel*>())
            if (value->isVisibleTo(&sheet))
                names << value->objectName().remove(QStringLiteral("ValueLabel"));
        return names;
    }

    test::WindowHarness harness;
};

TEST_F(HistorySheetTest, ListsRunsWithTheirDotsAndShowsOnlyTheRowsARunHas) {
    auto mirrored = run("/home/ann/Projects", SyncStatus::success);
    mirrored.result->filesCopied = 12;
    mirrored.result->bytesTransferred = 3400000;
    mirrored.result->filesDeleted = 3;
    mirrored.logFileName = "A.log";
    auto failed = run("/home/ann/Music", SyncStatus::failed);
    failed.result->errorMessage = "Source not found: /home/ann/Music";
    harness.storage().saveHistory({mirrored, run("/home/ann/Photos", SyncStatus::success, true),
                                   failed, run("/srv/unfinished", std::nullopt),
                                   run("/tmp/c", SyncStatus::cancelled)});
    SheetDialog& sheet = open();
    EXPECT_EQ(sheet.subtitleLabel()->text(), "5 runs");
    auto& list = child<QListView>(&sheet, "historyListView");
    const auto dot = [&](int row) {
        return Tint(list.model()->index(row, 0).data(HistoryListModel::dotTintRole).toInt());
    };
    EXPECT_EQ(list.model()->index(0, 0).data().toString(), "Projects");
    EXPECT_EQ((std::vector{dot(0), dot(1), dot(2), dot(3), dot(4)}),
              (std::vector{Tint::green, Tint::blue, Tint::red, Tint::tertiary, Tint::orange}));

    EXPECT_EQ(list.currentIndex().row(), 0) << "the newest run is shown first";
    EXPECT_EQ(child<QLabel>(&sheet, "kindBadgeLabel").text(), "Sync");
    EXPECT_EQ(child<QLabel>(&sheet, "statusLabel").text(), "Success");
    EXPECT_EQ(visibleRows(sheet),
              QStringList({"date", "duration", "source", "destination", "copied", "deleted"}));
    EXPECT_EQ(child<ElidedLabel>(&sheet, "copiedValueLabel").fullText(),
              QStringLiteral("12 files \u00B7 3.4 MB"));
    EXPECT_EQ(child<ElidedLabel>(&sheet, "deletedValueLabel").fullText(), "3 files");
    EXPECT_TRUE(child<QPushButton>(&sheet, "openLogButton").isVisibleTo(&sheet));

    // A long path is shortened in the middle; screen readers get all of it.
    auto& source = child<ElidedLabel>(&sheet, "sourceValueLabel");
    source.setFullText(QStringLiteral("/home/ann/") + QString(200, u'x') + QStringLiteral("/end"));
    EXPECT_TRUE(source.text().startsWith(QStringLiteral("/home/ann/")));
    EXPECT_TRUE(source.text().endsWith(QStringLiteral("/end")));
    EXPECT_TRUE(source.text().contains(QChar(0x2026)));
    EXPECT_EQ(source.accessibleName(), source.fullText());

    // Chosen as a screen reader chooses: by selecting the row alone.
    list.selectionModel()->select(list.model()->index(1, 0), QItemSelectionModel::ClearAndSelect);
    EXPECT_EQ(child<QLabel>(&sheet, "kindBadgeLabel").text(), "Preview");
    EXPECT_EQ(visibleRows(sheet),
              QStringList({"date", "duration", "source", "destination", "copied"}));
    EXPECT_FALSE(child<QPushButton>(&sheet, "openLogButton").isVisibleTo(&sheet));
    list.setCurrentIndex(list.model()->index(2, 0));
    EXPECT_EQ(child<ElidedLabel>(&sheet, "errorValueLabel").fullText(),
              "Source not found: /home/ann/Music");
    list.setCurrentIndex(list.model()->index(3, 0));
    EXPECT_FALSE(child<QLabel>(&sheet, "statusLabel").isVisibleTo(&sheet));
    EXPECT_EQ(visibleRows(sheet), QStringList({"date", "duration", "source", "destination"}));
}

TEST_F(HistorySheetTest, CopiesTheSourceFollowsNewRunsAndDeletesAfterAsking) {
    auto older = run("/home/ann/Older", SyncStatus::success);
    auto newest = run("/home/ann/Newest", SyncStatus::success);
    newest.logFileName = "N.log";
    harness.storage().saveHistory({newest, older});
    SheetDialog& sheet = open();
    auto& list = child<QListView>(&sheet, "historyListView");

    child<QPushButton>(&sheet, "copySourceButton").click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "/home/ann/Newest");

    // A run that ends while the sheet is open joins the list; the choice stays.
    list.setCurrentIndex(list.model()->index(1, 0));
    harness.storage().addHistoryEntry(run("/home/ann/Latest", SyncStatus::success));
    EXPECT_EQ(sheet.subtitleLabel()->text(), "3 runs");
    EXPECT_EQ(list.currentIndex().data().toString(), "Older");

    child<QToolButton>(&sheet, "deleteEntryButton").click();
    QMessageBox* box = test::confirmation(&sheet);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->windowModality(), Qt::WindowModal);
    EXPECT_EQ(box->text(), "Delete entry?");
    EXPECT_EQ(child<QPushButton>(box, "confirmButton").text(), "Delete");
    EXPECT_EQ(box->buttonRole(&child<QPushButton>(box, "confirmButton")),
              QMessageBox::DestructiveRole);
    test::answer(&sheet, "cancelButton");
    EXPECT_EQ(harness.viewModel().history().size(), 3u);
    child<QToolButton>(&sheet, "deleteEntryButton").click();
    test::answer(&sheet, "confirmButton");
    EXPECT_EQ(sheet.subtitleLabel()->text(), "2 runs");
    EXPECT_EQ(list.currentIndex().data().toString(), "Latest") << "back to the newest run";

    child<QToolButton>(&sheet, "clearAllButton").click();
    box = test::confirmation(&sheet);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text(), "Clear all history?");
    EXPECT_EQ(box->informativeText(), "Log files will also be deleted.");
    EXPECT_EQ(child<QPushButton>(box, "confirmButton").text(), "Clear All");
    test::answer(&sheet, "confirmButton");
    EXPECT_EQ(sheet.subtitleLabel()->text(), "0 runs");
    EXPECT_TRUE(child<QWidget>(&sheet, "historyEmptyWidget").isVisibleTo(&sheet));
    EXPECT_FALSE(child<QToolButton>(&sheet, "clearAllButton").isEnabled());
}

} // namespace
} // namespace quillfen
