// The console's keeper: the console given back once, whoever asks first, with
// the input mode only while a key wait has replaced it, and no change after.
#include "console/console_keeper.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <thread>

namespace {

// What reached the console, one letter a call: c a change, r and p the key
// wait's input mode replaced and put back; O the text not yet handed over,
// then A, T, M the attribute, the title and the input mode restored.
std::string calls;

ConsoleKeeper makeKeeper() {
    calls.clear();
    return ConsoleKeeper(
        {[] { calls += 'O'; }, [] { calls += 'A'; }, [] { calls += 'T'; }, [] { calls += 'M'; }});
}

std::optional<StopRequest> requestOf(char step) {
    switch (step) {
    case 'I':
        return StopRequest::Interrupt;
    case 'B':
        return StopRequest::Break;
    case 'W':
        return StopRequest::CloseWindow;
    case 'L':
        return StopRequest::LogOff;
    case 'S':
        return StopRequest::ShutDown;
    case 'O':
        return StopRequest::Other;
    default:
        return std::nullopt;
    }
}

TEST(ConsoleKeeperTest, GivesTheConsoleBackOnceAndAnswersStopRequests) {
    constexpr std::optional<std::uint32_t> Ended = InterruptedExitCode;
    constexpr std::optional<std::uint32_t> LeftToSystem = std::nullopt;
    // Steps: t take, c change, r replace the input mode, p put it back,
    // g the game's own shut-down; a capital letter is a stop request whose
    // answer is compared with exit.
    const struct {
        const char* steps;
        const char* calls;
        std::optional<std::uint32_t> exit;
    } cases[] = {
        {"tcIc", "cOAT", Ended},             // Ctrl+C at a question: no colour change after it
        {"trBp", "rOATM", Ended},            // Ctrl+Break during a key wait: its mode back too
        {"trpW", "rpOAT", Ended},            // window closed after a key wait
        {"tL", "OAT", Ended},                // log-off
        {"tS", "OAT", Ended},                // shut-down of the system
        {"tgI", "OAT", Ended},               // Ctrl+C after the game's shut-down: nothing twice
        {"tgg", "OAT", LeftToSystem},        // shut-down twice
        {"trgp", "rOATM", LeftToSystem},     // shut-down during a key wait
        {"gI", "", Ended},                   // before start-up there is nothing to give back
        {"tOc", "c", LeftToSystem},          // an unknown request changes nothing
        {"tgtcg", "OATcOAT", LeftToSystem},  // taken again after being given back
    };
    for (const auto& c : cases) {
        ConsoleKeeper keeper = makeKeeper();
        std::optional<std::uint32_t> exit;
        for (const char* step = c.steps; *step != '\0'; ++step) {
            if (const auto request = requestOf(*step)) {
                exit = keeper.answer(*request);
                continue;
            }
            switch (*step) {
            case 't':
                keeper.take();
                break;
            case 'c':
                keeper.change([] { calls += 'c'; });
                break;
            case 'r':
                keeper.replaceInputMode([] {
                    calls += 'r';
                    return true;
                });
                break;
            case 'p':
                keeper.putBackInputMode([] { calls += 'p'; });
                break;
            case 'g':
                keeper.giveBack();
                break;
            default:
                FAIL() << "unknown step " << *step;
            }
        }
        EXPECT_EQ(calls, c.calls) << c.steps;
        EXPECT_EQ(exit, c.exit) << c.steps;
    }
}

TEST(ConsoleKeeperTest, AKeyWaitThatReplacedNothingHasNothingToGiveBack) {
    ConsoleKeeper keeper = makeKeeper();
    keeper.take();
    keeper.replaceInputMode([] { return false; });
    keeper.answer(StopRequest::Break);
    keeper.putBackInputMode([] { calls += 'p'; });
    EXPECT_EQ(calls, "OAT");
}

// The stop request arrives on a thread of its own while the game is changing
// colours: the text not yet handed over and the giving back are the last things
// that reach the console.
TEST(ConsoleKeeperTest, NoChangeFollowsAStopRequestFromAnotherThread) {
    ConsoleKeeper keeper = makeKeeper();
    keeper.take();
    std::thread game([&keeper] {
        while (keeper.change([] { calls += 'c'; })) {
        }
    });
    EXPECT_EQ(keeper.answer(StopRequest::Interrupt), InterruptedExitCode);
    game.join();
    ASSERT_GE(calls.size(), 3U);
    EXPECT_EQ(calls.substr(calls.size() - 3), "OAT");
    EXPECT_EQ(calls.find_first_not_of('c'), calls.size() - 3);
}

}  // namespace
