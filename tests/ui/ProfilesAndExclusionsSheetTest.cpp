#include "SheetTesting.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include <gtest/gtest.h>

namespace quillfen {
namespace {

using test::child;

QStringList profileNames(AppViewModel& viewModel) {
    QStringList names;
    for (const auto& profile : viewModel.profiles())
        names << toQString(profile.name);
    return names;
}

TEST(ProfilesSheetTest, SavesTrimmedUnusedNamesAppliesAndDeletes) {
    test::WindowHarness harness;
    auto& viewModel = harness.viewModel();
    SheetDialog* sheet = test::showSheet(harness, Sheet::profiles);
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

TEST(ExclusionsSheetTest, CustomSectionComesAndGoesAndTheCountFollowsTheSwitches) {
    test::WindowHarness harness;
    auto& viewModel = harness.viewModel();
    SheetDialog* sheet = test::showSheet(harness, Sheet::exclusions);
    const auto customHeading = [&] {
        return sheet->findChild<QLabel*>(QStringLiteral("customHeadingLabel"));
    };
    const auto removeButtons = [&] {
        return sheet->findChildren<QToolButton*>(QStringLiteral("removeRuleButton"));
    };
    const QString active = QString::number(viewModel.enabledPatternCount());
    EXPECT_EQ(sheet->subtitleLabel()->text(), active + QStringLiteral(" active"));
    EXPECT_FALSE(customHeading());
    EXPECT_TRUE(removeButtons().isEmpty()) << "built-in rules are only switched off";

    auto& pattern = child<QLineEdit>(sheet, "patternLineEdit");
    auto& add = child<QPushButton>(sheet, "addPatternButton");
    pattern.setText(QStringLiteral(" \t"));
    EXPECT_FALSE(add.isEnabled());
    for (int i = 0; i < 2; ++i) {
        pattern.setText(QStringLiteral(" *.bak\t"));
        QTest::keyClick(&pattern, Qt::Key_Return);
        EXPECT_TRUE(pattern.text().isEmpty());
    }
    QTest::qWait(0);
    ASSERT_TRUE(customHeading());
    EXPECT_EQ(removeButtons().size(), 2) << "the same pattern twice is two rules";
    EXPECT_EQ(viewModel.excludePatterns().back().pattern, "*.bak");

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
    EXPECT_EQ(sheet->subtitleLabel()->text(),
              QString::number(active.toInt() + 1) + QStringLiteral(" active"));

    removeButtons().front()->click();
    QTest::qWait(0);
    removeButtons().front()->click();
    QTest::qWait(0);
    EXPECT_FALSE(customHeading()) << "the last custom rule takes its section along";
    EXPECT_EQ(viewModel.excludePatterns().size(), builtInPatterns().size());
}

} // namespace
} // namespace quillfen
