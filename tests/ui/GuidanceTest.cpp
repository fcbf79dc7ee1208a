#include "SheetTesting.h"
#include "app/ReleaseNotes.h"
#include "ui/HelpContent.h"
#include "ui/ReleaseNotesSheet.h"
#include "ui/SheetParts.h"
#include "ui/TopicBrowser.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <Version.h>
#include <gtest/gtest.h>

namespace quillfen {
namespace {

using test::child;

TEST(OnboardingSheetTest, SkipsOrContinuesToGetStartedWhichStartsTheTour) {
    test::WindowHarness harness;
    auto& viewModel = harness.viewModel();
    SheetDialog* sheet = test::showSheet(harness, Sheet::onboarding);
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
    for (int slide = 1; slide < 5; ++slide) {
        EXPECT_TRUE(skip.isVisibleTo(sheet));
        EXPECT_EQ(next.text(), "Continue");
        next.click();
    }
    EXPECT_EQ(child<QLabel>(sheet, "slideTitleLabel").text(), "You're All Set");
    EXPECT_FALSE(skip.isVisibleTo(sheet)) << "the last slide has one button";
    EXPECT_EQ(next.text(), "Get Started");
    next.click();
    EXPECT_FALSE(viewModel.showOnboarding());
    EXPECT_TRUE(harness.defaults().hasSeenOnboarding());
    EXPECT_TRUE(QTest::qWaitFor([&] { return viewModel.showExclusions(); }, 2000));
}

TEST(TourBannerTest, ShowsTheStepOverTheWindowAndItsSheetUntilFinished) {
    test::WindowHarness harness;
    auto& viewModel = harness.viewModel();
    harness.show();
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

TEST(HelpSheetTest, TopicsInOrderWithBoldRunsAndTheVersion) {
    test::WindowHarness harness;
    SheetDialog* sheet = test::showSheet(harness, Sheet::help);
    auto& topics = child<QListWidget>(sheet, "topicListWidget");
    QStringList labels;
    for (int row = 0; row < topics.count(); ++row)
        labels << topics.item(row)->text();
    EXPECT_EQ(labels,
              QStringList({"Overview", "Folders", "Sync & Preview", "Mirror Mode", "Exclusions",
                           "Profiles", "Schedule", "History & Logs", "Shortcuts", "Tray Icon"}));
    EXPECT_EQ(topics.currentRow(), 0);
    const auto* overview = child<QWidget>(sheet, "overviewHelpPageWidget").parentWidget();
    EXPECT_TRUE(overview->isVisible());
    QStringList texts;
    for (auto* label : child<QWidget>(sheet, "overviewHelpPageWidget").findChildren<QLabel*>())
        texts << label->text();
    EXPECT_TRUE(texts.contains(AppViewModel::versionText()));
    EXPECT_TRUE(texts.contains("Use <b>Preview</b> first to see what would change without "
                               "writing anything. Then <b>Start Sync</b> to apply."));
    // Chosen as a screen reader chooses: by selecting the topic alone.
    topics.selectionModel()->select(topics.model()->index(8, 0),
                                    QItemSelectionModel::ClearAndSelect);
    EXPECT_TRUE(child<QWidget>(sheet, "shortcutsHelpPageWidget").isVisible());

    EXPECT_EQ(markedTextToHtml("a **b** & **c"), "a <b>b</b> &amp; **c");
    auto* marked = makeMarkedLabel("Enable **Open at Login** in Options");
    EXPECT_EQ(marked->accessibleName(), "Enable Open at Login in Options");
    delete marked;
}

} // namespace
} // namespace quillfen
