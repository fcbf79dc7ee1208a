#include "AppHarness.h"
#include "RecordBuilders.h"
#include "app/BackgroundRunner.h"
#include "app/CleanSourceSession.h"

#include <atomic>
#include <future>
#include <gtest/gtest.h>
#include <stdexcept>

namespace quillfen {
namespace {

using test::rule;
using test::writeFile;
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
