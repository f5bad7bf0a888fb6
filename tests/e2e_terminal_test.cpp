// The built game in a pseudo-terminal: the title and colour escapes, the
// key wait and keys of several bytes, typed-ahead words, idle waits, signals
// and Ctrl-Z at any moment, and a terminal handed back in the mode it was
// found in.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <thread>

#include "support/process.h"
#include "support/transcript.h"

namespace e2e {
namespace {

using namespace screen;

const std::string SaveAndSetTitle = "\x1b[22;0t\x1b]0;Brawlarium! Adventures inside the almighty Console.\a";
const std::string RestoreTitle = "\x1b[23;0t";
const std::string Normal = "\x1b[0m";
const std::string Ask = "Your Choice: ";
const std::string KeyWait = "Press any key to continue...\r\n";

// Text as a terminal shows it: every line end arrives as "\r\n".
std::string shown(const std::string& text) {
    std::string result;
    for (char c : text) {
        if (c == '\n') {
            result += '\r';
        }
        result += c;
    }
    return result;
}

std::unique_ptr<Session> startGame(const std::map<std::string, std::string>& environment = {}) {
    LaunchOptions options;
    options.environment = environment;
    auto session = Session::inTerminal(options);
    return session;
}

void expectModeRestored(const Session& session) {
    std::string difference;
    EXPECT_TRUE(sameMode(session.initialMode(), session.mode(), &difference)) << difference;
}

void expectEndsWith(const std::string& text, const std::string& ending) {
    ASSERT_GE(text.size(), ending.size()) << text;
    EXPECT_EQ(text.substr(text.size() - ending.size()), ending)
        << "the output ends with: " << text.substr(text.size() - std::min<std::size_t>(text.size(), 80));
}

// At the key wait of the statistics screen with "q" typed ahead: checks the
// wait takes no key by itself, then presses one, unechoed, and sees the "q"
// quit the game at once.
void pressKeyThenQuit(Session& game) {
    EXPECT_TRUE(game.staysQuiet(milliseconds{300})) << "the wait ended without a key press: " << game.tail();
    game.send("z");
    const auto rest = game.waitFor("Quitting?? Shlub...\r\n");
    ASSERT_TRUE(rest) << game.tail();
    EXPECT_EQ(*rest, shown(cleared()) + Normal + shown(mainMenu()) + Ask + "Quitting?? Shlub...\r\n");
    const Outcome outcome = game.finish();
    EXPECT_TRUE(outcome.exited && outcome.exitCode == 0) << outcome.describe();
}

// Makes and names "Bob" (one key wait on the way) and comes back to the main menu.
void makeBob(Session& game) {
    ASSERT_TRUE(game.waitFor(Ask)) << game.tail();
    game.send("a\r");
    ASSERT_TRUE(game.waitFor(Ask)) << game.tail();
    game.send("a\r");
    ASSERT_TRUE(game.waitFor("Change Name to: ")) << game.tail();
    game.send("bob\r");
    ASSERT_TRUE(game.waitFor(KeyWait)) << game.tail();
    ASSERT_TRUE(game.waitForCanonical(false)) << "no key wait began";
    game.send("k");
    ASSERT_TRUE(game.waitFor(Ask)) << game.tail();
    game.send("r\r");
    ASSERT_TRUE(game.waitFor("(Y/N)? ")) << game.tail();
    game.send("y\r");
    ASSERT_TRUE(game.waitFor(Ask)) << game.tail();
}

struct TerminalKind {
    const char* name;
    std::map<std::string, std::string> environment;
    bool title;
    bool colours;
};

void PrintTo(const TerminalKind& kind, std::ostream* out) { *out << kind.name; }

class QuitInTerminal : public ::testing::TestWithParam<TerminalKind> {};

// The whole of a session that quits at once, escapes and echo included.
TEST_P(QuitInTerminal, WritesTheTitleAndColoursItShould) {
    const TerminalKind& kind = GetParam();
    auto game = startGame(kind.environment);
    ASSERT_TRUE(game->waitFor(Ask)) << game->tail();
    game->send("q\r");
    const Outcome outcome = game->finish();
    EXPECT_TRUE(outcome.exited && outcome.exitCode == 0) << outcome.describe();

    const std::string expected = (kind.title ? SaveAndSetTitle : "") + shown(startup() + cleared()) +
                                 (kind.colours ? Normal : "") + shown(mainMenu()) + Ask + "q\r\n" +
                                 "Quitting?? Shlub...\r\n" + (kind.title ? RestoreTitle : "");
    EXPECT_EQ(firstDifference(game->output(), expected), "");
    expectModeRestored(*game);
}

INSTANTIATE_TEST_SUITE_P(
    Terminal, QuitInTerminal,
    ::testing::Values(TerminalKind{"Xterm", {}, true, true},
                      TerminalKind{"NoColor", {{"NO_COLOR", "1"}}, true, false},
                      TerminalKind{"EmptyNoColorIsUnset", {{"NO_COLOR", ""}}, true, true},
                      TerminalKind{"DumbTerminal", {{"TERM", "dumb"}}, false, false},
                      TerminalKind{
                          "DumbTerminalWithNoColor", {{"TERM", "dumb"}, {"NO_COLOR", "1"}}, false, false}),
    [](const ::testing::TestParamInfo<TerminalKind>& info) { return std::string(info.param.name); });

// "c q" typed on one line: "c" opens the statistics, whose key wait must
// take the next key press from the terminal and leave "q" for the next
// question, which it then answers without anything new typed.
TEST(Terminal, KeyWaitTakesOneKeyUnechoedAndLeavesTypedWordsForTheNextQuestion) {
    auto game = startGame();
    ASSERT_TRUE(game->waitFor(Ask)) << game->tail();
    game->send("c q\r");
    const auto stats = game->waitFor(KeyWait);
    ASSERT_TRUE(stats) << game->tail();
    EXPECT_EQ(*stats,
              "c q\r\n" + shown("View Stats Selected \n" + cleared() + "No Character Exists!\n") + KeyWait);

    ASSERT_TRUE(game->waitForCanonical(false)) << "the key wait did not switch to single keys";
    EXPECT_EQ(game->mode().c_lflag & ECHO, 0u) << "the key wait echoes";
    ASSERT_NO_FATAL_FAILURE(pressKeyThenQuit(*game));
    EXPECT_EQ(game->output().substr(game->cursor()), RestoreTitle);
    expectModeRestored(*game);
}

// Answers from a pipe, the game in a terminal: the key wait reads the
// terminal and leaves the piped words alone.
TEST(Terminal, KeyWaitReadsTheTerminalWhenAnswersComeFromAPipe) {
    LaunchOptions options;
    options.shellCommand = R"(printf 'c q\n' | "$GAME")";
    auto game = Session::inTerminal(options);
    ASSERT_TRUE(game->waitFor("No Character Exists!\r\n" + KeyWait)) << game->tail();
    ASSERT_TRUE(game->waitForCanonical(false)) << "the key wait did not take the terminal";
    ASSERT_NO_FATAL_FAILURE(pressKeyThenQuit(*game));
    expectModeRestored(*game);
}

// With --batch, in a terminal, the key waits end at once: the keys typed
// there before are left for the shell's read after the game.
TEST(Terminal, BatchNeverReadsTheTerminal) {
    LaunchOptions options;
    options.shellCommand =
        R"(printf 'c a a bob r y c q\n' | "$GAME" --batch; read -r left; echo "kept: $left")";
    auto game = Session::inTerminal(options);
    game->send("zz\r");
    ASSERT_TRUE(game->waitFor("Quitting?? Shlub...\r\n")) << game->tail();
    EXPECT_TRUE(game->waitFor("kept: zz\r\n")) << game->tail();
    EXPECT_TRUE(game->finish().exited);
    expectModeRestored(*game);
}

// Keys that send several bytes: each is one key press, and none of its bytes
// is left over for the next answer. A malformed character ends the wait too.
struct MultiByteKey {
    const char* name;
    const char* bytes;
};

void PrintTo(const MultiByteKey& key, std::ostream* out) { *out << key.name; }

class KeyInTerminal : public ::testing::TestWithParam<MultiByteKey> {};

TEST_P(KeyInTerminal, IsOneKeyPress) {
    auto game = startGame();
    ASSERT_TRUE(game->waitFor(Ask)) << game->tail();
    game->send("c\r");
    ASSERT_TRUE(game->waitFor(KeyWait)) << game->tail();
    ASSERT_TRUE(game->waitForCanonical(false));
    game->send(GetParam().bytes);
    const auto menu = game->waitFor(Ask);
    ASSERT_TRUE(menu) << game->tail();
    EXPECT_EQ(*menu, shown(cleared()) + Normal + shown(mainMenu()) + Ask);
    ASSERT_TRUE(game->waitForCanonical(true));
    // Left-over bytes of the key would turn this answer into "[Aq".
    game->send("q\r");
    const auto quit = game->waitFor("\r\n", milliseconds{5000});
    ASSERT_TRUE(quit) << game->tail();
    EXPECT_EQ(*quit, "q\r\n");
    EXPECT_TRUE(game->waitFor("Quitting?? Shlub...\r\n")) << game->tail();
    EXPECT_TRUE(game->finish().exited);
    expectModeRestored(*game);
}

INSTANTIATE_TEST_SUITE_P(Terminal, KeyInTerminal,
                         ::testing::Values(MultiByteKey{"ArrowKey", "\x1b[A"},
                                           MultiByteKey{"TwoByteCharacter", "\xc3\xa9"},
                                           MultiByteKey{"ThreeByteCharacter", "\xe2\x82\xac"},
                                           MultiByteKey{"FourByteCharacter", "\xf0\x9f\x98\x80"},
                                           MultiByteKey{"CutShortCharacter", "\xe2\x82"},
                                           MultiByteKey{"LeadByteThenAscii", "\xc3("},
                                           MultiByteKey{"StrayContinuationBytes", "\x80\xbf"}),
                         [](const ::testing::TestParamInfo<MultiByteKey>& info) {
                             return std::string(info.param.name);
                         });

// A question and a key wait block without using the processor.
TEST(Terminal, IdleWaitsUseNoProcessor) {
    auto game = startGame();
    ASSERT_TRUE(game->waitFor(Ask)) << game->tail();
    long before = game->cpuTicks();
    EXPECT_TRUE(game->staysQuiet(milliseconds{1000}));
    EXPECT_LE(game->cpuTicks() - before, 5) << "busy at a question";

    game->send("c\r");
    ASSERT_TRUE(game->waitFor(KeyWait)) << game->tail();
    ASSERT_TRUE(game->waitForCanonical(false));
    before = game->cpuTicks();
    EXPECT_TRUE(game->staysQuiet(milliseconds{1000}));
    EXPECT_LE(game->cpuTicks() - before, 5) << "busy in a key wait";

    game->send(" ");
    ASSERT_TRUE(game->waitFor(Ask)) << game->tail();
    game->send("q\r");
    EXPECT_TRUE(game->finish().exited);
}

// Where the game is when the signal comes.
enum class Moment { Question, KeyWait, FightPause };

std::string nameOf(Moment moment) {
    switch (moment) {
    case Moment::Question:
        return "AtQuestion";
    case Moment::KeyWait:
        return "InKeyWait";
    case Moment::FightPause:
        return "InFightPause";
    }
    return "Unknown";
}

void PrintTo(Moment moment, std::ostream* out) { *out << nameOf(moment); }

struct SignalCase {
    const char* name;
    int signal;
    Moment moment;
    bool typed;  // the signal's key (Ctrl-C, Ctrl-\) typed at the terminal instead of kill()
};

void PrintTo(const SignalCase& when, std::ostream* out) { *out << when.name; }

class SignalInTerminal : public ::testing::TestWithParam<SignalCase> {};

// Brings the game to the moment; a fatal failure when it does not get there.
void reach(Session& game, Moment moment) {
    switch (moment) {
    case Moment::Question:
        ASSERT_TRUE(game.waitFor(Ask)) << game.tail();
        break;
    case Moment::KeyWait:
        ASSERT_TRUE(game.waitFor(Ask)) << game.tail();
        game.send("c\r");
        ASSERT_TRUE(game.waitFor(KeyWait)) << game.tail();
        ASSERT_TRUE(game.waitForCanonical(false)) << "no key wait began";
        break;
    case Moment::FightPause:
        ASSERT_NO_FATAL_FAILURE(makeBob(game));
        game.send("d\r");
        ASSERT_TRUE(game.waitFor(Ask)) << game.tail();
        game.send("1\r");
        // A level-1 fight with unrolled characters lasts at least three
        // rounds: the first pause always comes.
        ASSERT_TRUE(game.waitFor("Round 1 - Bob vs. Level 1 Monster!")) << game.tail();
        ASSERT_TRUE(game.waitForCanonical(false)) << "no pause began: " << game.tail();
        break;
    }
}

TEST_P(SignalInTerminal, RestoresTheTerminalAndDiesOfTheSameSignal) {
    const SignalCase& when = GetParam();
    auto game = startGame();
    ASSERT_NO_FATAL_FAILURE(reach(*game, when.moment));
    if (when.typed) {
        game->send(when.signal == SIGQUIT ? "\x1c" : "\x03");
    } else {
        game->signal(when.signal);
    }
    const Outcome outcome = game->finish();
    EXPECT_EQ(outcome.signal, when.signal) << outcome.describe();
    expectEndsWith(game->output(), Normal + RestoreTitle);
    expectModeRestored(*game);
}

INSTANTIATE_TEST_SUITE_P(
    Terminal, SignalInTerminal,
    ::testing::Values(SignalCase{"SigintAtQuestion", SIGINT, Moment::Question, false},
                      SignalCase{"SigtermAtQuestion", SIGTERM, Moment::Question, false},
                      SignalCase{"SighupAtQuestion", SIGHUP, Moment::Question, false},
                      SignalCase{"CtrlCAtQuestion", SIGINT, Moment::Question, true},
                      SignalCase{"SigintInKeyWait", SIGINT, Moment::KeyWait, false},
                      SignalCase{"SigtermInKeyWait", SIGTERM, Moment::KeyWait, false},
                      SignalCase{"SighupInKeyWait", SIGHUP, Moment::KeyWait, false},
                      SignalCase{"CtrlCInKeyWait", SIGINT, Moment::KeyWait, true},
                      SignalCase{"SigintInFightPause", SIGINT, Moment::FightPause, false},
                      SignalCase{"SigtermInFightPause", SIGTERM, Moment::FightPause, false},
                      SignalCase{"SighupInFightPause", SIGHUP, Moment::FightPause, false},
                      SignalCase{"CtrlCInFightPause", SIGINT, Moment::FightPause, true},
                      SignalCase{"SigquitAtQuestion", SIGQUIT, Moment::Question, false},
                      SignalCase{"SigquitInKeyWait", SIGQUIT, Moment::KeyWait, false},
                      SignalCase{"CtrlBackslashInKeyWait", SIGQUIT, Moment::KeyWait, true},
                      SignalCase{"CtrlBackslashInFightPause", SIGQUIT, Moment::FightPause, true}),
    [](const ::testing::TestParamInfo<SignalCase>& info) { return std::string(info.param.name); });

// Ctrl-Z under a shell with job control, then `fg`: while stopped, the
// terminal is as the game found it; after `fg` the key wait or the pause
// takes single unechoed keys again, even though the shell put the terminal
// back in line mode meanwhile, and a pause ends where it would have ended.
class StopInTerminal : public ::testing::TestWithParam<Moment> {};

TEST_P(StopInTerminal, HandsTheTerminalBackAndTakesItAgainAfterFg) {
    LaunchOptions options;
    options.shellCommand = "set -m; \"$GAME\"; echo '[stopped]'; read line; fg >/dev/null";
    auto game = Session::inTerminal(options);
    ASSERT_NO_FATAL_FAILURE(reach(*game, GetParam()));
    game->send("\x1a");
    const auto stopped = game->waitFor("[stopped]");
    ASSERT_TRUE(stopped) << "the game did not stop: " << game->tail();
    EXPECT_NE(stopped->find(Normal + RestoreTitle), std::string::npos) << *stopped;
    expectModeRestored(*game);

    game->setMode(game->initialMode());
    if (GetParam() == Moment::FightPause) {
        // Stopped for longer than the pause had left to run.
        std::this_thread::sleep_for(milliseconds{2100});
    }
    game->send("\n");
    const auto resumed = std::chrono::steady_clock::now();
    const auto title = game->waitFor(SaveAndSetTitle);
    ASSERT_TRUE(title) << "the title was not set again: " << game->tail();
    switch (GetParam()) {
    case Moment::Question:
        game->send("q\r");
        break;
    case Moment::KeyWait: {
        ASSERT_TRUE(game->waitForCanonical(false)) << "the terminal stayed in line mode after fg";
        // One key, unechoed and without Enter, ends the wait.
        game->send("x");
        const auto menu = game->waitFor(Ask, milliseconds{3000});
        ASSERT_TRUE(menu) << game->tail();
        EXPECT_EQ(*menu, shown(cleared()) + Normal + shown(mainMenu()) + Ask);
        game->send("q\r");
        break;
    }
    case Moment::FightPause:
        ASSERT_TRUE(game->waitForCanonical(false)) << "the terminal stayed in line mode after fg";
        ASSERT_TRUE(game->waitFor("Round 2 - Bob vs. Level 1 Monster!")) << game->tail();
        EXPECT_LT(std::chrono::steady_clock::now() - resumed, milliseconds{1000})
            << "a new pause began after fg";
        game->send("\x03");
        break;
    }
    // The shell passes on a death by Ctrl-C as its own.
    const Outcome outcome = game->finish();
    EXPECT_TRUE(outcome.exited || outcome.signal == SIGINT) << outcome.describe();
    expectEndsWith(game->output(), GetParam() == Moment::FightPause
                                       ? Normal + RestoreTitle
                                       : "Quitting?? Shlub...\r\n" + RestoreTitle);
    expectModeRestored(*game);
}

INSTANTIATE_TEST_SUITE_P(Terminal, StopInTerminal,
                         ::testing::Values(Moment::Question, Moment::KeyWait, Moment::FightPause),
                         [](const ::testing::TestParamInfo<Moment>& info) { return nameOf(info.param); });

// A game kept in a save file, stopped at a question by Ctrl-C or kill -9
// once its answers are saved, and continued from the file without a
// terminal: it ends as the same game played straight through.
class SavedGameInTerminal : public ::testing::TestWithParam<int> {};

TEST_P(SavedGameInTerminal, ContinuesAsPlayedStraightThrough) {
    const std::vector<std::string> answers = longGameAnswers(3);
    const std::size_t cut = AnswersPerBlock + 7;  // at the combat menu
    PipedOptions straight;
    straight.arguments = {"--seed", "2024", "--batch"};
    straight.input = answerLines(answers, 0, answers.size()) + "q\n";
    const PipedRun whole = runPiped(straight);

    const TempDirectory folder;
    LaunchOptions options;
    options.arguments = {"--seed", "2024", "--batch", "--save", folder.file("game")};
    auto game = Session::inTerminal(options);
    ASSERT_TRUE(game->waitFor(Ask)) << game->tail();
    std::string typed;
    for (std::size_t i = 0; i < cut; ++i) {
        typed += answers[i] + (i + 1 < cut ? " " : "\r");
    }
    game->send(typed);
    // Every answer typed is in the file once the game asks the next question.
    const std::string keys = answerLines(answers, 0, cut);
    const auto deadline = std::chrono::steady_clock::now() + milliseconds{15000};
    // The answers in the file, without the key presses between them.
    const auto savedAnswers = [&folder] {
        const std::string saved = readFile(folder.file("game"));
        std::string answered;
        for (const char c : saved.substr(std::min(saved.size(), saved.find("keys\n") + 5))) {
            answered += c == '\n' && (answered.empty() || answered.back() == '\n') ? "" : std::string(1, c);
        }
        return answered;
    };
    while (savedAnswers() != keys && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(milliseconds{20});
    }
    ASSERT_EQ(savedAnswers(), keys);
    // The game has written all it writes before the next question.
    for (int tries = 0; tries < 20 && !game->staysQuiet(milliseconds{300}); ++tries) {
    }
    if (GetParam() == SIGINT) {
        game->send("\x03");
    } else {
        game->signal(GetParam());
    }
    EXPECT_EQ(game->finish().signal, GetParam());
    expectModeRestored(*game);

    PipedOptions rest;
    rest.arguments = {"--save", folder.file("game"), "--batch"};
    rest.input = answerLines(answers, cut, answers.size()) + "q\n";
    const PipedRun continued = runPiped(rest);
    EXPECT_TRUE(continued.outcome.exited && continued.outcome.exitCode == 0) << continued.outcome.describe();
    EXPECT_EQ(continuedDifference(continued.out, whole.out), "");
}

INSTANTIATE_TEST_SUITE_P(Terminal, SavedGameInTerminal, ::testing::Values(SIGINT, SIGKILL),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::string(info.param == SIGINT ? "CtrlC" : "Kill9");
                         });

// A game left at a key wait shows that wait's screen when it is continued,
// before any key is pressed, with the answers typed on it after their
// prompts as the terminal had echoed them; the key then goes on from there.
TEST(Terminal, SavedGameLeftAtAKeyWaitShowsItsScreen) {
    const TempDirectory folder;
    LaunchOptions options;
    options.arguments = {"--save", folder.file("game")};
    auto game = Session::inTerminal(options);
    ASSERT_TRUE(game->waitFor(Ask)) << game->tail();
    game->send("a\ra\rbob\r");
    ASSERT_TRUE(game->waitFor("Press any key to continue...")) << game->tail();
    game->signal(SIGKILL);
    game->finish();

    auto continued = Session::inTerminal(options);
    ASSERT_TRUE(continued->waitFor("Change Name to: bob\r\nName Set to: Bob")) << continued->tail();
    ASSERT_TRUE(continued->waitFor("Press any key to continue...", milliseconds{5000})) << continued->tail();
    continued->send("x");
    ASSERT_TRUE(continued->waitFor(Ask)) << continued->tail();
    continued->send("r\ry\rq\r");
    const Outcome outcome = continued->finish();
    EXPECT_TRUE(outcome.exited && outcome.exitCode == 0) << outcome.describe();
    expectModeRestored(*continued);
}

// `brawlarium | head -n 5` typed at a shell prompt: the game's input is the
// terminal, and the pipeline must return once head has its five lines, even
// when head only reads after the game has begun to wait at its first
// question (the short sleep makes sure of that).
TEST(Terminal, PipedIntoHeadReturnsAtOnce) {
    LaunchOptions options;
    options.shellCommand = "\"$GAME\" | { sleep 0.3; head -n 5; }";
    auto shell = Session::inTerminal(options);
    const Outcome outcome = shell->finish(milliseconds{5000});
    EXPECT_TRUE(outcome.exited && outcome.exitCode == 0) << outcome.describe();
    EXPECT_EQ(withPlainLineEnds(shell->output()),
              "Menu created\nEquipment Menu Created\nCombat Menu Created\nCharacter Created\nLoading Weapon "
              "List\n");
    expectModeRestored(*shell);
}

}  // namespace
}  // namespace e2e
