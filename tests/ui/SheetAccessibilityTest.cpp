#include "SheetTesting.h"
#include "ui/NamedColors.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace quillfen {
namespace {

// What a screen reader says for `control`.
QString spokenName(QWidget* control) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
    return accessible ? accessible->text(QAccessible::Name) : QString();
}

TEST(SheetAccessibility, EveryControlIsNamedAndReachableByTab) {
    test::WindowHarness harness;
    auto& viewModel = harness.viewModel();
    viewModel.saveProfile(QStringLiteral("Work"));
    viewModel.addExclusionPattern(QStringLiteral("*.bak"));
    harness.storage().addHistoryEntry(HistoryEntry{});
    harness.show();
    viewModel.startTour(); // the banner's buttons too
    for (const Sheet sheet :
         {Sheet::exclusions, Sheet::profiles, Sheet::schedule, Sheet::history, Sheet::help,
          Sheet::releaseNotes, Sheet::terms, Sheet::about, Sheet::cleanSource, Sheet::onboarding}) {
        viewModel.setShown(sheet, true);
        SheetDialog* dialog = harness.sheet(sheet);
        QList<QWidget*> controls;
        for (auto* widget : dialog->findChildren<QWidget*>()) {
            if (qobject_cast<QAbstractButton*>(widget) || qobject_cast<QLineEdit*>(widget) ||
                qobject_cast<QComboBox*>(widget) || qobject_cast<QAbstractSpinBox*>(widget) ||
                qobject_cast<QAbstractItemView*>(widget))
                controls << widget;
        }
        for (QWidget* control : controls) {
            SCOPED_TRACE(dialog->objectName().toStdString() + ' ' +
                         control->objectName().toStdString());
            const QWidget* parent = control->parentWidget();
            if (qobject_cast<const QLineEdit*>(parent) ||
                qobject_cast<const QAbstractSpinBox*>(parent) ||
                qobject_cast<const QAbstractItemView*>(parent))
                continue; // the parts of a compound control
            EXPECT_FALSE(spokenName(control).isEmpty());
            EXPECT_TRUE(control->focusPolicy() & Qt::TabFocus);
        }
        viewModel.setShown(sheet, false);
    }
}

TEST(SheetLook, TintsFollowASwitchBetweenLightAndDark) {
    test::WindowHarness harness;
    HistoryEntry failed;
    failed.result = SyncResult{};
    failed.result->status = SyncStatus::failed;
    harness.storage().addHistoryEntry(failed);
    harness.show();
    harness.viewModel().startTour(); // the banner's plain text sits inside its style sheet
    const auto& bannerTitle = harness.find<QLabel>("tourTitleLabel");
    harness.viewModel().setShowHistory(true);
    SheetDialog* sheet = harness.sheet(Sheet::history);
    const auto& status = test::child<QLabel>(sheet, "statusLabel");
    const QPalette light = QApplication::palette();
    EXPECT_EQ(status.palette().color(QPalette::WindowText), namedColor(NamedColor::red, light));

    QPalette dark = light;
    dark.setColor(QPalette::Window, QColor(0x2d, 0x2d, 0x2d));
    dark.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
    dark.setColor(QPalette::WindowText, QColor(0xee, 0xee, 0xee));
    QApplication::setPalette(dark);
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return status.palette().color(QPalette::WindowText) == namedColor(NamedColor::red, dark);
    }));
    EXPECT_EQ(bannerTitle.palette().color(QPalette::WindowText), dark.color(QPalette::WindowText));
    QApplication::setPalette(light);
}

} // namespace
} // namespace quillfen
