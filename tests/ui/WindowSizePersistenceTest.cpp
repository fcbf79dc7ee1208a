#include "ui/WindowSizePersistence.h"

#include "TempDir.h"
#include "app/PathText.h"
#include "app/UserDefaults.h"

#include <QDialog>
#include <QScreen>
#include <QSettings>
#include <QTest>

#include <gtest/gtest.h>

namespace quillfen {
namespace {

using namespace std::chrono_literals;

class WindowSizePersistenceTest : public ::testing::Test {
protected:
    QString settingsFile() const { return toQString(root_ / "Quillfen.conf"); }

    void store(const char* key, const QVariant& value) {
        QSettings settings(settingsFile(), QSettings::IniFormat);
        settings.setValue(QStringLiteral("modal.size.preview.") + QLatin1String(key), value);
    }

    // A dialog of at least 300 × 200 remembering its size under `key`.
    std::unique_ptr<QDialog> open(const QString& key = QStringLiteral("preview"),
                                  std::chrono::milliseconds delay = 60ms) {
        auto dialog = std::make_unique<QDialog>();
        dialog->setMinimumSize(300, 200);
        dialog->resize(400, 300);
        defaults_ = std::make_unique<UserDefaults>(settingsFile());
        new WindowSizePersistence(*dialog, key, *defaults_, delay);
        dialog->open();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        return dialog;
    }

    std::optional<QSizeF> stored(const QString& key = QStringLiteral("preview")) const {
        return UserDefaults(settingsFile()).sheetSize(key);
    }

    test::TempDir root_;
    std::unique_ptr<UserDefaults> defaults_;
};

TEST_F(WindowSizePersistenceTest, RestoresOnlyAWholeSizeWithinTheMinimumAndTheScreen) {
    const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
    struct Case {
        const char* what;
        QVariant width;
        QVariant height;
        QSize expected;
        bool withFrame = false; // the expected height includes the window's frame
    };
    const Case cases[] = {
        // What the stored values must be to count is proved with the user defaults.
        {"nothing stored", {}, {}, {400, 300}},
        {"a fraction of a point", 640.4, 480.6, {640, 481}},
        {"below the minimum", 120.0, 90.0, {300, 200}},
        {"beyond the screen", 640.0, 99999.0, {640, screen.height()}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QSettings(settingsFile(), QSettings::IniFormat).clear();
        if (c.width.isValid())
            store("width", c.width);
        if (c.height.isValid())
            store("height", c.height);
        const auto dialog = open();
        const int frame = c.withFrame ? dialog->frameGeometry().height() - dialog->height() : 0;
        EXPECT_EQ(dialog->size(), c.expected - QSize(0, frame));
    }
}

TEST_F(WindowSizePersistenceTest, ADragIsWrittenOnceAfterItEndsUnderItsOwnKey) {
    auto preview = open();
    QTest::qWait(150);
    EXPECT_FALSE(stored()) << "opening alone stores nothing";
    for (int step = 0; step < 8; ++step) {
        preview->resize(500 + 10 * step, 400);
        QTest::qWait(20);
        EXPECT_FALSE(stored()) << "written in the middle of the drag, at step " << step;
    }
    QTest::qWait(150);
    EXPECT_EQ(stored(), QSizeF(570, 400));

    auto history = open(QStringLiteral("history"));
    history->resize(610, 420);
    QTest::qWait(150);
    EXPECT_EQ(stored(QStringLiteral("history")), QSizeF(610, 420));
    EXPECT_EQ(stored(), QSizeF(570, 400));
    EXPECT_EQ(QSettings(settingsFile(), QSettings::IniFormat)
                  .value(QStringLiteral("modal.size.history.width"))
                  .toString(),
              QStringLiteral("610"));
}

TEST_F(WindowSizePersistenceTest, WaitsTheRealDelayBeforeWriting) {
    auto dialog = open(QStringLiteral("schedule"), 300ms);
    dialog->resize(520, 360);
    QTest::qWait(200);
    EXPECT_FALSE(stored(QStringLiteral("schedule")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return stored(QStringLiteral("schedule")).has_value(); }));
}

} // namespace
} // namespace quillfen
