// A whole fight in a terminal at the game's real pace: 2 seconds between
// rounds, spent without using the processor, with a key pressed during the
// fight ending the closing key wait.
#include <gtest/gtest.h>

#include <chrono>

#include "support/process.h"
#include "support/transcript.h"

namespace e2e {
namespace {

using namespace screen;
using Clock = std::chrono::steady_clock;

const std::string Ask = "Your Choice: ";

long long millisecondsSince(Clock::time_point start) {
    return std::chrono::duration_cast<milliseconds>(Clock::now() - start).count();
}

TEST(RealTimeFight, PausesTwoSecondsBetweenRoundsAndKeepsKeysForTheClosingWait) {
    auto game = Session::inTerminal(LaunchOptions{});
    ASSERT_TRUE(game->waitFor(Ask)) << game->tail();
    game->send("a\r");
    ASSERT_TRUE(game->waitFor(Ask)) << game->tail();
    game->send("a\r");
    ASSERT_TRUE(game->waitFor("Change Name to: ")) << game->tail();
    game->send("bob\r");
    ASSERT_TRUE(game->waitFor("Press any key to continue...\r\n")) << game->tail();
    ASSERT_TRUE(game->waitForCanonical(false));
    game->send("k");
    ASSERT_TRUE(game->waitFor(Ask)) << game->tail();
    game->send("r\ry\r");
    ASSERT_TRUE(game->waitFor(Ask)) << game->tail();
    game->send("d\r");
    ASSERT_TRUE(game->waitFor(Ask)) << game->tail();

    game->send("1\r");
    const std::size_t fightStart = game->cursor();
    // Unrolled level-1 fighters cannot end a fight within two rounds, so
    // rounds 2 and 3 always come.
    ASSERT_TRUE(game->waitFor("Round 1 - ")) << game->tail();
    const auto firstRound = Clock::now();
    ASSERT_TRUE(game->waitFor("Round 2 - ", milliseconds{10000})) << game->tail();
    const long long firstPause = millisecondsSince(firstRound);
    EXPECT_GE(firstPause, 1900);
    EXPECT_LE(firstPause, 4000);

    const auto secondRound = Clock::now();
    const long ticks = game->cpuTicks();
    ASSERT_TRUE(game->waitForCanonical(false)) << "no pause came";
    game->send("~");
    ASSERT_TRUE(game->waitFor("Round 3 - ", milliseconds{10000})) << game->tail();
    EXPECT_GE(millisecondsSince(secondRound), 1900);
    EXPECT_LE(game->cpuTicks() - ticks, 5) << "busy during the pause";

    const auto rest = game->waitFor(Ask, milliseconds{240000});
    ASSERT_TRUE(rest) << "the closing key wait did not end by the key pressed during the fight:\n"
                      << game->tail();
    const long long fightTime = millisecondsSince(firstRound);

    const std::string text = withPlainLineEnds(game->output().substr(fightStart));
    const FightReport report =
        readLevelOneFight(text, "1\n", {"Bob", "Bare Knuckles", "Bare Knuckles", 9, 9, 1, true});
    ASSERT_TRUE(report.ok) << report.why;
    EXPECT_GE(fightTime, 2000LL * (report.rounds - 1) - 100);
    EXPECT_LE(fightTime, 2000LL * (report.rounds - 1) + 5000);
    EXPECT_EQ(game->output().find('~'), std::string::npos) << "the key pressed during the fight was echoed";

    game->send(report.playerWon ? "r\rq\r" : "q\r");
    const Outcome outcome = game->finish();
    EXPECT_TRUE(outcome.exited && outcome.exitCode == 0) << outcome.describe();
    std::string difference;
    EXPECT_TRUE(sameMode(game->initialMode(), game->mode(), &difference)) << difference;
}

}  // namespace
}  // namespace e2e
