#include "WindowHarness.h"
#include "app/ReleaseNotes.h"
#include "ui/HelpContent.h"
#include "ui/ReleaseNotesSheet.h"
#include "ui/SheetParts.h"
#include "ui/TopicBrowser.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <QTreeView>

#include <Version.h>
#include <gtest/gtest.h>

namespace quillfen {
namespace {

using test::child;
using SheetTest = test::WindowTest;

TEST_F(SheetTest, OnboardingSkipsOrContinuesToGetStartedWhichStartsTheTour) {
    viewModel.setShowOnboarding(true);
    SheetDialog* sheet = harness.sheet(Sheet::onboarding);
    child<QPushButton>(sheet, "skipTourButton").click();
    EXPECT_FALSE(viewModel.showOnboarding());
    EXPECT_TRUE(harness.defaults().hasSeenOnboarding());
    harness.defaults().setHasSeenOnboarding(false);

    viewModel.setShowOnboarding(true);
    sheet = harness.sheet(Sheet::onboarding);
    auto& skip = child<QPushButton>(sheet, "skipTourButton");
    auto& next = child<QPushButton>(sheet, "continueButton");
    EXPECT_EQ(child<QLabel>(sheet, "slideTitleLabel").text(), "Welcome to\nQuillfen");
    EXPECT_FALSE(child<QLabel>(sheet, "slideIconLabel").pixmap().isNull());
    EXPECT_EQ(next.text(), "Continue");
    for (int slide = 1; slide < 5; ++slide)
        next.click();
    EXPECT_EQ(child<QLabel>(sheet, "slideTitleLabel").text(), "You're All Set");
    EXPECT_FALSE(skip.isVisibleTo(sheet)) << "the last slide has one button";
    EXPECT_EQ(next.text(), "Get Started");
    next.click();
    EXPECT_FALSE(viewModel.showOnboarding());
    EXPECT_TRUE(harness.defaults().hasSeenOnboarding());
    EXPECT_TRUE(QTest::qWaitFor([&] { return viewModel.showExclusions(); }, 2000));
}

TEST_F(SheetTest, TourBannerShowsTheStepOverTheWindowAndItsSheetUntilFinished) {
    auto& banner = harness.find<QWidget>("tourBannerFrame");
    EXPECT_FALSE(banner.isVisible());
    viewModel.startTour();
    EXPECT_TRUE(banner.isVisible());
    EXPECT_EQ(child<QLabel>(&banner, "tourStepLabel").text(), "Step 1 of 6");
    EXPECT_EQ(child<QLabel>(&banner, "tourTitleLabel").text(), "Exclusion Patterns");
    ASSERT_TRUE(QTest::qWaitFor([&] { return harness.sheet(Sheet::exclusions) != nullptr; }));
    SheetDialog* sheet = harness.sheet(Sheet::exclusions);
    auto& onSheet = child<QWidget>(sheet, "tourBannerFrame");
    EXPECT_TRUE(onSheet.isVisible());
    EXPECT_EQ(child<QPushButton>(&onSheet, "nextTourButton").text(), QStringLiteral("Next \u2192"));
    child<QPushButton>(&onSheet, "nextTourButton").click();
    EXPECT_EQ(viewModel.activeTourStep(), TourStep::profiles);

    viewModel.setShowHelp(true); // a sheet the tour did not open shows no banner
    EXPECT_FALSE(harness.sheet(Sheet::help)->findChild<QWidget*>("tourBannerFrame"));
    viewModel.setShowHelp(false);
    for (int step = 2; step < 6; ++step)
        viewModel.advanceTour();
    EXPECT_EQ(child<QLabel>(&banner, "tourStepLabel").text(), "Step 6 of 6");
    auto& finish = child<QPushButton>(&banner, "nextTourButton");
    EXPECT_EQ(finish.text(), "Finish Tour");
    finish.click();
    EXPECT_FALSE(viewModel.activeTourStep());
    EXPECT_FALSE(banner.isVisible());
}

TEST(ReleaseNotesSheetTest, ShowsTheShippedNotesAndOpensEmptyOnBrokenOnes) {
    const auto shipped = loadReleaseNotes();
    ASSERT_FALSE(shipped.empty());
    EXPECT_EQ(shipped.front().version, QString::fromLatin1(kAppVersion))
        << "every release adds its notes";
    ReleaseNotesSheet sheet(kReleaseNotesResource);
    EXPECT_EQ(sheet.subtitleLabel()->text(), QStringLiteral("Latest: ") + kAppVersion);
    EXPECT_EQ(sheet.browser()->topicList()->currentRow(), 0);
    EXPECT_EQ(child<QLabel>(sheet.browser()->currentPage(), "dateLabel").text(),
              shipped.front().date);

    test::TempDir folder;
    const auto broken = folder / "notes.json";
    for (const char* document : {"{\"notes\": [{\"version\": \"1.0\"", // cut short
                                 "{\"notes\": [{\"version\": \"1.0\", \"date\": \"x\"}]}", "[]"}) {
        test::writeFile(broken, document);
        EXPECT_TRUE(loadReleaseNotes(toQString(broken)).empty()) << document;
    }
    ReleaseNotesSheet missing(toQString(folder / "missing.json"));
    EXPECT_EQ(missing.browser()->topicList()->count(), 0);
    EXPECT_TRUE(missing.subtitleLabel()->isHidden());
}

TEST_F(SheetTest, HelpShowsEachTopicsPageWithBoldRunsAndTheVersion) {
    viewModel.setShowHelp(true);
    SheetDialog* sheet = harness.sheet(Sheet::help);
    auto& topics = child<QListWidget>(sheet, "topicListWidget");
    ASSERT_EQ(topics.count(), qsizetype(helpTopics().size()));
    EXPECT_EQ(topics.currentRow(), 0);
    QStringList texts;
    for (auto* label : child<QWidget>(sheet, "overviewHelpPageWidget").findChildren<QLabel*>())
        texts << label->text();
    EXPECT_TRUE(texts.contains(AppViewModel::versionText()));
    EXPECT_TRUE(texts.contains("Use <b>Preview</b> first to see what would change without "
                               "writing anything. Then <b>Start Sync</b> to apply."));
    // Chosen as a screen reader chooses: by selecting the topic alone.
    for (int row = topics.count() - 1; row >= 0; --row) {
        const HelpTopic& topic = helpTopics()[std::size_t(row)];
        EXPECT_EQ(topics.item(row)->text(), topic.label);
        topics.selectionModel()->select(topics.model()->index(row, 0),
                                        QItemSelectionModel::ClearAndSelect);
        const QString page = topic.id + QStringLiteral("HelpPageWidget");
        EXPECT_TRUE(child<QWidget>(sheet, page.toLatin1().constData()).isVisible()) << row;
    }

    EXPECT_EQ(markedTextToHtml("a **b** & **c"), "a <b>b</b> &amp; **c");
    const std::unique_ptr<QLabel> marked(makeMarkedLabel("Enable **Open at Login** in Options"));
    EXPECT_EQ(marked->accessibleName(), "Enable Open at Login in Options");
}

QStringList profileNames(AppViewModel& viewModel) {
    QStringList names;
    for (const auto& profile : viewModel.profiles())
        names << toQString(profile.name);
    return names;
}

TEST_F(SheetTest, ProfilesSavesTrimmedUnusedNamesAppliesAndDeletes) {
    viewModel.setShowProfiles(true);
    SheetDialog* sheet = harness.sheet(Sheet::profiles);
    auto& name = child<QLineEdit>(sheet, "profileNameLineEdit");
    auto& save = child<QPushButton>(sheet, "saveCurrentButton");
    auto& duplicate = child<QLabel>(sheet, "duplicateLabel");
    EXPECT_EQ(sheet->subtitleLabel()->text(), "0 saved");
    EXPECT_TRUE(child<QWidget>(sheet, "profilesEmptyWidget").isVisibleTo(sheet));

    name.setText(QStringLiteral("Work"));
    EXPECT_FALSE(save.isEnabled()) << "no source folder yet";
    viewModel.setSourcePath(harness.folder("work"));
    name.setText(QStringLiteral(" \t "));
    EXPECT_FALSE(save.isEnabled());
    name.setText(QStringLiteral(" \tWork \t"));
    ASSERT_TRUE(save.isEnabled()) << "a destination is not needed";
    save.click();
    EXPECT_EQ(profileNames(viewModel), QStringList{"Work"});
    EXPECT_TRUE(name.text().isEmpty());
    EXPECT_EQ(sheet->subtitleLabel()->text(), "1 saved");

    name.setText(QStringLiteral("Work "));
    QTest::keyClick(&name, Qt::Key_Return);
    EXPECT_TRUE(duplicate.isVisibleTo(sheet));
    EXPECT_EQ(duplicate.text(), "A profile named \"Work\" already exists.");
    EXPECT_EQ(viewModel.profileCount(), 1);
    name.setText(QStringLiteral("work"));
    EXPECT_FALSE(duplicate.isVisibleTo(sheet)) << "any edit hides the message";
    QTest::keyClick(&name, Qt::Key_Return);
    EXPECT_EQ(profileNames(viewModel), (QStringList{"Work", "work"}));

    auto rows = sheet->findChildren<QWidget*>(QStringLiteral("profileRowWidget"));
    ASSERT_EQ(rows.size(), 2);
    child<QToolButton>(rows[1], "deleteProfileButton").click();
    EXPECT_EQ(test::confirmation(sheet)->text(), "Delete profile?");
    test::answer(sheet, "confirmButton");
    EXPECT_EQ(profileNames(viewModel), QStringList{"Work"});

    viewModel.setSourcePath(harness.folder("elsewhere"));
    rows = sheet->findChildren<QWidget*>(QStringLiteral("profileRowWidget"));
    child<QPushButton>(rows.back(), "applyProfileButton").click();
    EXPECT_EQ(viewModel.sourcePath(), harness.folder("work"));
    EXPECT_FALSE(viewModel.showProfiles()) << "applying closes the sheet";
}

// Which typed rules are taken is proved with the view model.
TEST_F(SheetTest, ExclusionsCustomSectionComesAndGoesAndTheCountFollowsTheSwitches) {
    viewModel.setShowExclusions(true);
    SheetDialog* sheet = harness.sheet(Sheet::exclusions);
    const auto customHeading = [&] {
        QTest::qWait(0); // the list is rebuilt from the event loop
        return sheet->findChild<QLabel*>(QStringLiteral("customHeadingLabel"));
    };
    const auto removeButtons = [&] {
        return sheet->findChildren<QToolButton*>(QStringLiteral("removeRuleButton"));
    };
    const int active = viewModel.enabledPatternCount();
    EXPECT_EQ(sheet->subtitleLabel()->text(), QStringLiteral("%1 active").arg(active));
    EXPECT_FALSE(customHeading());
    EXPECT_TRUE(removeButtons().isEmpty()) << "built-in rules are only switched off";

    auto& pattern = child<QLineEdit>(sheet, "patternLineEdit");
    pattern.setText(QStringLiteral(" \t"));
    EXPECT_FALSE(child<QPushButton>(sheet, "addPatternButton").isEnabled());
    pattern.setText(QStringLiteral("*.bak"));
    QTest::keyClick(&pattern, Qt::Key_Return);
    EXPECT_TRUE(pattern.text().isEmpty());
    ASSERT_TRUE(customHeading());
    EXPECT_EQ(viewModel.excludePatterns().back().pattern, "*.bak");
    EXPECT_EQ(sheet->subtitleLabel()->text(), QStringLiteral("%1 active").arg(active + 1));

    QCheckBox* dsStore = nullptr;
    for (auto* box : sheet->findChildren<QCheckBox*>(QStringLiteral("ruleSwitchCheckBox")))
        if (box->accessibleName() == ".DS_Store")
            dsStore = box;
    ASSERT_TRUE(dsStore && dsStore->isChecked());
    dsStore->setFocus();
    dsStore->click();
    EXPECT_FALSE(viewModel.excludePatterns().front().enabled);
    QTest::qWait(0);
    EXPECT_EQ(QApplication::focusWidget(), dsStore) << "a switch keeps its row and the focus";
    EXPECT_EQ(sheet->subtitleLabel()->text(), QStringLiteral("%1 active").arg(active));

    ASSERT_EQ(removeButtons().size(), 1);
    removeButtons().front()->click();
    EXPECT_FALSE(customHeading()) << "the last custom rule takes its section along";
    EXPECT_EQ(viewModel.excludePatterns().size(), builtInPatterns().size());
}

TEST_F(SheetTest, CleanSourceListsMatchesAsksMovesAndReportsWhatCouldNotMove) {
    viewModel.setSourcePath(harness.folder("source"));
    const auto source = harness.root() / "source";
    test::writeFile(source / "a/node_modules/x/node_modules/y.js", "y");
    test::writeFile(source / "notes.tmp", "t");
    test::writeFile(source / "keep.txt", "k");
    viewModel.setExcludePatterns({});

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
    QStringList rows;
    for (int row = 0; row < list.model()->rowCount(); ++row)
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
    child<QPushButton>(sheet, "doneButton").click();
    EXPECT_FALSE(viewModel.showCleanSource());
}

} // namespace
} // namespace quillfen
