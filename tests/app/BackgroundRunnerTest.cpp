#include "app/BackgroundRunner.h"

#include <QTest>

#include <atomic>
#include <future>
#include <gtest/gtest.h>
#include <optional>
#include <stdexcept>

namespace quillfen {
namespace {

using Outcome = BackgroundRunner::Outcome<int>;

TEST(BackgroundRunnerTest, AnythingTheWorkThrowsEndsAsAFailure) {
    BackgroundRunner runner;
    const std::pair<std::function<int()>, std::string> cases[] = {
        {[]() -> int { throw std::runtime_error("Source not found: /gone"); },
         "Source not found: /gone"},
        {[]() -> int { throw 42; }, "An unexpected error occurred"},
    };
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

} // namespace
} // namespace quillfen
