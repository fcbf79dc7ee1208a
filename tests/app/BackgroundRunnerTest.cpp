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

// The failure message of an outcome, or "no failure".
std::string failureOf(const std::optional<Outcome>& outcome) {
    const auto* failure = outcome ? std::get_if<BackgroundRunner::Failure>(&*outcome) : nullptr;
    return failure ? failure->message : "no failure";
}

TEST(BackgroundRunnerTest, DeliversStepsThenTheOutcomeInOrderAndAnyThrowAsAFailure) {
    BackgroundRunner runner;
    std::vector<int> steps;
    std::optional<Outcome> result;
    runner.start(
        [&steps](const BackgroundRunner::Context& context) {
            for (int i = 1; i <= 100; ++i)
                context.post([&steps, i] { steps.push_back(i); });
            return 7;
        },
        [&](Outcome outcome) {
            EXPECT_EQ(steps.size(), 100u) << "every step runs before the outcome";
            result = outcome;
        });
    ASSERT_TRUE(QTest::qWaitFor([&] { return result.has_value(); }));
    EXPECT_EQ(std::get<int>(*result), 7);
    EXPECT_TRUE(std::is_sorted(steps.begin(), steps.end()));

    const std::function<int()> throwers[] = {
        []() -> int { throw std::runtime_error("Source not found: /gone"); },
        []() -> int { throw 42; },
    };
    std::vector<std::optional<Outcome>> failures(2);
    for (std::size_t i = 0; i < failures.size(); ++i)
        runner.start(
            [thrower = throwers[i]](const BackgroundRunner::Context&) { return thrower(); },
            [&failures, i](Outcome outcome) { failures[i] = outcome; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return failures[0] && failures[1]; }));
    EXPECT_EQ(failureOf(failures[0]), "Source not found: /gone");
    EXPECT_EQ(failureOf(failures[1]), "An unexpected error occurred");
}

TEST(BackgroundRunnerTest, StopIsRequestedAndWaitedForAtMostTheGrace) {
    BackgroundRunner runner;
    std::optional<Outcome> result;
    auto task = runner.start(
        [](const BackgroundRunner::Context& context) {
            while (!context.stopToken().stop_requested())
                std::this_thread::yield();
            return 1;
        },
        [&](Outcome outcome) { result = outcome; });
    EXPECT_FALSE(runner.waitForAll(std::chrono::milliseconds(20)));
    task.requestStop();
    EXPECT_TRUE(runner.waitForAll(std::chrono::seconds(10)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return result.has_value(); }));
    EXPECT_EQ(std::get<int>(*result), 1) << "a stopped task still delivers";
}

// A task that cannot be interrupted must not hold up its owner: the runner
// goes at once, and nothing the task sends afterwards reaches the owner.
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
    }
    release.set_value();
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished->load(); }));
    QTest::qWait(50);
    EXPECT_EQ(delivered, 0);
}

} // namespace
} // namespace quillfen
