#include "AppHarness.h"
#include "RecordBuilders.h"
#include "TestEnvironment.h"
#include "Version.h"
#include "app/AppContext.h"
#include "app/AppShell.h"
#include "app/BackgroundRunner.h"
#include "app/CleanSourceSession.h"
#include "app/ShellTexts.h"
#include "app/SingleInstanceGuard.h"

#include <QDir>
#include <QSettings>
#include <QSignalSpy>

#include <atomic>
#include <future>
#include <gtest/gtest.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace quillfen {
namespace {

using namespace std::chrono_literals;
using test::readFile;
using test::rule;
using test::writeFile;

// The production wiring, over this test process's own home folder: the
// store and the trash the desktop shows, both under XDG_DATA_HOME.
TEST(AppContextTest, WiresTheProcessWideStoreAndTheHomeTrash) {
    test::PrivateSessionBus bus;
    test::ScriptedDialogs dialogs;
    AppContext context(dialogs, bus.connect(), QStringLiteral("/usr/bin/quillfen"));
    const std::filesystem::path dataHome = qgetenv("XDG_DATA_HOME").toStdString();
    EXPECT_EQ(StorageService::shared().container(), dataHome / "Quillfen");
    EXPECT_EQ(context.trash().homeTrash(), dataHome / "Trash");
}

TEST(AppShellTest, LaunchArmsOnboardingOnceAndTracksTheLastRun) {
    test::AppHarness harness;
    auto& viewModel = harness.make();
    AppShell shell(viewModel, harness.bookmarks(), harness.notifications(), harness.defaults(),
                   20ms);
    int shown = 0;
    shell.showMainWindowHook = [&] {
        ++shown;
    };
    harness.defaults().setHasSeenOnboarding(true);
    shell.launch();
    EXPECT_FALSE(QGuiApplication::quitOnLastWindowClosed());
    QTest::qWait(150);
    EXPECT_FALSE(viewModel.showOnboarding()) << "onboarding is not offered again";
    harness.defaults().setHasSeenOnboarding(false);
    shell.launch();
    EXPECT_FALSE(viewModel.showOnboarding());
    EXPECT_TRUE(QTest::qWaitFor([&] { return viewModel.showOnboarding(); }, 1000));

    EXPECT_EQ(shell.menuEntries().front().title, "No syncs yet");
    emit viewModel.runFinished({.status = SyncStatus::cancelled, .isDryRun = true});
    EXPECT_TRUE(shell.lastSyncLine().startsWith(QStringLiteral("\u2298 ")));
    EXPECT_EQ(shell.menuEntries().front().title, shell.lastSyncLine());
    shell.trigger(StatusMenuAction::openTerms);
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(viewModel.showTerms()) << "the flag follows the window coming forward";
    EXPECT_TRUE(QTest::qWaitFor([&] { return viewModel.showTerms(); }, 1000));
    QSignalSpy quit(&shell, &AppShell::quitRequested);
    shell.trigger(StatusMenuAction::quit);
    EXPECT_EQ(quit.count(), 1);
}

TEST(ShellTexts, LastRunLineAndTooltipShowTheOutcome) {
    const QLocale english("en_US");
    const QTime morning(9, 41);
    const QString time = english.toString(morning, QLocale::ShortFormat);
    const SyncResult preview{.status = SyncStatus::cancelled, .filesCopied = 5, .isDryRun = true};
    const SyncResult copied{.filesCopied = 1234, .bytesTransferred = 3'400'000};
    const std::tuple<SyncResult, const char*, const char*> cases[] = {
        {preview, "⊘ %1 · Preview · 5 to copy", "⊘ %1"},
        {{.status = SyncStatus::failed}, "✗ %1 · 0 copied · 0 bytes", "✗ %1"},
        {copied, "✓ %1 · 1234 copied · 3.4 MB", "✓ %1"}};
    for (const auto& [result, line, tooltip] : cases) {
        EXPECT_EQ(lastSyncLine(result, morning, english), QString::fromUtf8(line).arg(time));
        EXPECT_EQ(lastSyncTooltip(result, morning, english),
                  "Quillfen · Last sync " + QString::fromUtf8(tooltip).arg(time));
    }
    EXPECT_EQ(suggestedBackupFileName(QDate(2026, 3, 1)), "Quillfen-settings-2026-03-01.json");

    // Hours and minutes only, also where the locale's short style has seconds.
    for (const auto& [locale, text] : {std::pair{QLocale::c(), "17:30"},
                                       {QLocale("de_DE"), "17:30"},
                                       {QLocale("fi_FI"), "17.30"}})
        EXPECT_EQ(shortTimeText(QTime(17, 30, 12), locale), text);
}

TEST(LoginItem, WritesOneQuotedAutostartEntryHonoursTheDesktopsSwitchesAndReportsFailure) {
    test::TempDir dir;
    const auto entry = dir / "config/autostart/quillfen.desktop";
    LoginItem item("/opt/Quill Apps/bin/quillfen", toQString(entry));
    EXPECT_FALSE(item.isEnabled());
    const std::pair<const char*, bool> entries[] = {
        // Keys of other groups do not count.
        {"[Desktop Entry]\nExec=quillfen\n[Desktop Action x]\nHidden=true\n", true},
        {"[Desktop Entry]\nExec=quillfen\nX-GNOME-Autostart-enabled=false\n", false},
        {"[Desktop Entry]\nExec=quillfen\nHidden = true\n", false}};
    for (const auto& [text, enabled] : entries) {
        writeFile(entry, text);
        EXPECT_EQ(item.isEnabled(), enabled) << text;
    }
    ASSERT_TRUE(item.setEnabled(true));
    ASSERT_TRUE(item.setEnabled(true)); // again: still one good entry
    EXPECT_TRUE(item.isEnabled());
    EXPECT_EQ(readFile(entry), std::string("[Desktop Entry]\nType=Application\nName=Quillfen\n"
                                           "Comment=Keep two folders in step\nIcon=") +
                                   kAppId +
                                   "\nExec=\"/opt/Quill Apps/bin/quillfen\" --hidden\n"
                                   "Terminal=false\nX-GNOME-Autostart-enabled=true\n");
    ASSERT_TRUE(item.setEnabled(false));
    EXPECT_FALSE(item.isEnabled() || std::filesystem::exists(entry));
    EXPECT_TRUE(item.setEnabled(false));

    // Quoting escapes ", `, $ and \ with a backslash and doubles "%"; the
    // value's own escaping then doubles every backslash.
    ASSERT_TRUE(
        LoginItem(R"(/home/me/50% "odd"/$bin\quill`fen)", toQString(entry)).setEnabled(true));
    EXPECT_NE(
        readFile(entry).find(R"(Exec="/home/me/50%% \\"odd\\"/\\$bin\\\\quill\\`fen" --hidden)"),
        std::string::npos)
        << readFile(entry);

    writeFile(dir / "autostart", "a file where the folder belongs");
    LoginItem blocked("/usr/bin/quillfen", toQString(dir / "autostart/q.desktop"));
    EXPECT_FALSE(blocked.setEnabled(true) || blocked.isEnabled());
    EXPECT_EQ(readFile(dir / "autostart"), "a file where the folder belongs");
}

TEST(SingleInstanceGuardTest, TakesOverAStaleSocketAndLaterLaunchesAskItToShow) {
    test::TempDir dir;
    const std::string path = dir / "quillfen.socket";
    // A socket file with nobody listening, as a crashed instance leaves.
    sockaddr_un address{.sun_family = AF_UNIX};
    path.copy(address.sun_path, sizeof(address.sun_path) - 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ::close(fd);

    SingleInstanceGuard primary(QString::fromStdString(path), 500ms);
    QSignalSpy shown(&primary, &SingleInstanceGuard::showRequested);
    ASSERT_TRUE(primary.tryBecomePrimary());
    struct stat status {};
    ASSERT_EQ(::lstat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 077, 0u); // nobody else may connect
    for (int launch = 1; launch <= 2; ++launch) {
        EXPECT_FALSE(SingleInstanceGuard(QString::fromStdString(path), 500ms).tryBecomePrimary());
        ASSERT_TRUE(QTest::qWaitFor([&] { return shown.count() == launch; }, 5000));
    }
}

TEST(UserDefaultsTest, SheetSizesKeepFractionsAndRestoreOnlyFromTwoNumbers) {
    test::TempDir dir;
    const QString file = toQString(dir / "Quillfen.conf");
    UserDefaults(file).setSheetSize(QStringLiteral("history"), QSizeF(640.5, 480));
    EXPECT_EQ(UserDefaults(file).sheetSize(QStringLiteral("history")), QSizeF(640.5, 480));
    EXPECT_FALSE(UserDefaults(file).sheetSize(QStringLiteral("profiles")));
    // Hand-edited or damaged values.
    const std::pair<QString, QString> unusable[] = {
        {"wide", "300"}, {"", "300"}, {"500", "nan"}, {"500", "-1"}, {"inf", "300"}};
    for (const auto& [width, height] : unusable) {
        QSettings(file, QSettings::IniFormat).setValue("modal.size.history.width", width);
        QSettings(file, QSettings::IniFormat).setValue("modal.size.history.height", height);
        EXPECT_FALSE(UserDefaults(file).sheetSize(QStringLiteral("history")))
            << width.toStdString() << " x " << height.toStdString();
    }
}

TEST(UserFolders, FollowTheXdgVariablesAndIgnoreUnusableValues) {
    const test::TempDir runtime;
    const std::string home = std::getenv("HOME");
    const std::string fallbackSocket =
        QDir::tempPath().toStdString() + "/quillfen-" + std::to_string(::getuid()) + ".socket";
    // Each variable names the one place it decides.
    const auto placeOf = [](std::string_view variable) {
        return variable == "XDG_DATA_HOME" ? StorageService::defaultContainer().string()
               : variable == "XDG_CONFIG_HOME"
                   ? LoginItem::defaultEntryPath().toStdString()
                   : SingleInstanceGuard::defaultSocketPath().toStdString();
    };
    const std::tuple<const char*, std::optional<std::string>, std::string> cases[] = {
        {"XDG_DATA_HOME", "/data/home", "/data/home/Quillfen"},
        // A relative value is not allowed by the XDG rules.
        {"XDG_DATA_HOME", "relative", home + "/.local/share/Quillfen"},
        {"XDG_DATA_HOME", std::nullopt, home + "/.local/share/Quillfen"},
        {"XDG_CONFIG_HOME", "/config", "/config/autostart/quillfen.desktop"},
        {"XDG_RUNTIME_DIR", runtime.path(), runtime.path() / "quillfen.socket"},
        {"XDG_RUNTIME_DIR", std::nullopt, fallbackSocket},
        {"XDG_RUNTIME_DIR", "/no/such/folder", fallbackSocket}};
    for (const auto& [variable, value, expected] : cases) {
        const test::ScopedEnv set(variable, value);
        EXPECT_EQ(placeOf(variable), expected) << variable << "=" << value.value_or("(unset)");
    }
}

using Outcome = BackgroundRunner::Outcome<int>;

TEST(BackgroundRunnerTest, AnythingTheWorkThrowsEndsAsAFailure) {
    BackgroundRunner runner;
    const std::pair<std::function<int()>, std::string> cases[] = {
        {[]() -> int { throw std::runtime_error("Source not found: /gone"); },
         "Source not found: /gone"},
        {[]() -> int { throw 42; }, "An unexpected error occurred"}};
    for (const auto& [work, message] : cases) {
        std::optional<Outcome> outcome;
        runner.start([work](const BackgroundRunner::Context&) { return work(); },
                     [&outcome](Outcome delivered) { outcome = delivered; });
        ASSERT_TRUE(QTest::qWaitFor([&] { return outcome.has_value(); }));
        const auto* failure = std::get_if<BackgroundRunner::Failure>(&*outcome);
        EXPECT_EQ(failure ? failure->message : "no failure", message);
    }
}

// Work that cannot be interrupted must not hold up its owner: the runner goes
// at once, and nothing the work sends afterwards reaches the owner.
TEST(BackgroundRunnerTest, GoingAwayNeitherWaitsForUninterruptibleWorkNorDeliversItsResult) {
    std::promise<void> release;
    auto released = release.get_future().share();
    auto finished = std::make_shared<std::atomic<bool>>(false);
    int delivered = 0;
    {
        BackgroundRunner runner;
        runner.start(
            [released, finished](const BackgroundRunner::Context& context) {
                released.wait();
                context.post([] { ADD_FAILURE() << "a step reached a destroyed owner"; });
                finished->store(true);
                return 1;
            },
            [&delivered](Outcome) { ++delivered; });
        runner.requestStopAll();
        EXPECT_FALSE(runner.waitForAll(std::chrono::milliseconds(20)));
    }
    release.set_value();
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished->load(); }));
    QTest::qWait(50);
    EXPECT_EQ(delivered, 0);
}

class CleanSourceSessionTest : public ::testing::Test {
protected:
    bool sourceCountReaches(std::int64_t files, int timeoutMs = 5000) {
        return QTest::qWaitFor(
            [&] { return viewModel.sourceStats() && viewModel.sourceStats()->files == files; },
            timeoutMs);
    }

    test::AppHarness harness;
    AppViewModel& viewModel = harness.make();
    const std::filesystem::path source = harness.root() / "source";
    const TrashService trash{harness.root() / "Trash"};
};

TEST_F(CleanSourceSessionTest, MovesMatchesOfEnabledRulesToTheTrashAndRefreshesTheSource) {
    writeFile(source / "cache/blob", "12345");
    writeFile(source / "notes.tmp", "t");
    writeFile(source / "keep.txt", "k");
    viewModel.setSourcePath(toQString(source));
    viewModel.setExcludePatterns({rule("*.tmp"), rule("cache"), rule("keep.txt", false)});
    ASSERT_TRUE(sourceCountReaches(3));
    CleanSourceSession session(viewModel, trash);
    EXPECT_TRUE(session.isScanning());
    session.startScan();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !session.isScanning(); }));
    ASSERT_EQ(session.items().size(), 2u);
    session.requestMove();
    EXPECT_TRUE(session.confirmMove());
    session.moveToTrash();
    ASSERT_TRUE(QTest::qWaitFor([&] { return session.movedCount().has_value(); }));
    EXPECT_EQ(session.movedCount(), 2);
    EXPECT_EQ(session.failedCount(), 0);
    session.moveToTrash(); // a second confirmation has nothing left to move
    EXPECT_FALSE(session.isMoving());
    EXPECT_EQ(test::folderNames(source), std::vector<std::string>{"keep.txt"});
    EXPECT_EQ(test::folderNames(trash.homeTrash() / "files"),
              (std::vector<std::string>{"cache", "notes.tmp"}));
    ASSERT_TRUE(sourceCountReaches(1));
}

// Closing the sheet discards its state while the move goes on in the
// background; what the move does when it ends must not touch that state.
TEST_F(CleanSourceSessionTest, ClosingTheSheetDuringAMoveStillRefreshesTheSource) {
    for (int i = 0; i < 2000; ++i)
        writeFile(source / ("cache" + std::to_string(i) + ".tmp"), "t");
    writeFile(source / "keep.txt", "k");
    viewModel.setSourcePath(toQString(source));
    viewModel.setExcludePatterns({rule("*.tmp")});
    {
        CleanSourceSession session(viewModel, trash);
        session.startScan();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !session.isScanning(); }));
        ASSERT_EQ(session.items().size(), 2000u);
        session.moveToTrash();
    }
    EXPECT_TRUE(sourceCountReaches(1, 30000));
}

} // namespace
} // namespace quillfen
