// Whole fights and the shop through the built game, with the pauses between
// rounds shortened by the preloaded pause library (their requested length
// is still checked): over pipes without a terminal, and in a terminal with
// the colours of every strike.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <sstream>
#include <stdexcept>

#include "support/process.h"
#include "support/transcript.h"

namespace e2e {
namespace {

using namespace screen;

const std::string Ask = "Your Choice: ";
const std::string KeyWait = "Press any key to continue...\n";

// Sends the answers and returns everything up to the next "Your Choice: ".
std::string untilNextChoice(Session& game, const std::string& answers) {
    game.send(answers);
    const auto text = game.waitFor(Ask, milliseconds{30000});
    if (!text) {
        throw std::runtime_error("no question came; the output ends with:\n" + game.tail());
    }
    return game.isTerminal() ? withPlainLineEnds(*text) : *text;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        result.push_back(line);
    }
    return result;
}

// What the test knows of the player's character, "Bob", never rolled.
struct Bob {
    int level = 1;
    int experience = 0;
    double gold = 0;
    int maxHitPoints = 9;
    int highestLevelBeaten = 0;
    std::string weapon = "Bare Knuckles";
    std::string armor = "Rags";
};

// A level-up line up to the new maximum hit points; Bob's scores, never
// rolled, are 7 plus his level.
std::string levelUpStart(int level) {
    const std::string score = std::to_string(7 + level);
    return "Congratulations, you have reached level " + std::to_string(level) + "\nNew Strength: " + score +
           " New Dexterity: " + score + " New Constitution: " + score + " New Maximum HP: ";
}

// The victory's reward line and level-ups, the key wait and the combat
// menu that follows, for a level-1 monster; updates what is known of Bob.
void expectVictoryAfterLevelOne(const std::string& after, Bob& bob) {
    struct Reward {
        int experience;
        double gold;
        const char* text;
    };
    static const Reward rewards[] = {
        {300, 25, "300 experience and 25 gold"}, {150, 12, "150 experience and 12 gold"},
        {75, 6, "75 experience and 6 gold"},     {35, 3, "35 experience and 3 gold"},
        {15, 1, "15 experience and 1 gold"},     {5, 0.5, "5 experience and .5 gold"}};
    const Reward& reward = rewards[std::min(bob.level - 1, 5)];
    bob.experience += reward.experience;
    bob.gold += reward.gold;
    Pattern expected;
    expected.text("Bob received " + std::string(reward.text) + " for the victory!\n");
    std::vector<int> newLevels;
    // Level L needs 1000 * (1 + 2 + ... + (L - 1)) experience.
    while (bob.level < 20 && bob.experience >= 1000 * bob.level * (bob.level + 1) / 2) {
        ++bob.level;
        expected.text(levelUpStart(bob.level))
            .number("hp" + std::to_string(bob.level), bob.maxHitPoints, bob.maxHitPoints + 11)
            .text("\n");
        newLevels.push_back(bob.level);
    }
    bob.highestLevelBeaten = std::max(bob.highestLevelBeaten, 1);
    expected.text(KeyWait + cleared() + combatMenu(bob.highestLevelBeaten + 1) + Ask);
    const Pattern::Match match = expected.match(after);
    ASSERT_TRUE(match.ok) << match.why;
    for (int level : newLevels) {
        bob.maxHitPoints = match["hp" + std::to_string(level)];
    }
}

// What a defeat writes after its first line, up to the main menu's question.
// In a terminal the main menu comes after the colour reset of its pass.
// The first items of the lists are put back on; those already worn are not.
std::string defeatEnding(const Bob& bob, bool colours = false) {
    return std::string("Press any key to continue...") +
           (bob.weapon == "Bare Knuckles" ? "Already equipped with that weapon!\n"
                                          : "Setting character weapon to Bare Knuckles\n") +
           (bob.armor == "Rags" ? "Armor already equipped!\n" : "Setting character armor to Rags\n") +
           cleared() + (colours ? "\x1b[0m" : "") + mainMenu() + Ask;
}

class PausesLog {
public:
    explicit PausesLog(std::string path) : path(std::move(path)) {}
    // The pauses requested since the last call.
    std::vector<std::string> fresh() {
        const std::vector<std::string> all = lines(readFile(path));
        std::vector<std::string> result(all.begin() + static_cast<long>(std::min(seen, all.size())),
                                        all.end());
        seen = all.size();
        return result;
    }

private:
    std::string path;
    std::size_t seen = 0;
};

// One fight at level 1, chosen at the combat menu; checks it round by round
// and its pauses, and returns what came after its outcome's first line.
std::string fightAtLevelOne(Session& game, const Bob& bob, PausesLog& pauses, FightReport& report,
                            bool colours = false) {
    const std::string text = untilNextChoice(game, game.isTerminal() ? "1\r" : "1\n");
    report = readLevelOneFight(text, game.isTerminal() ? "1\n" : "",
                               {"Bob", bob.weapon, "Bare Knuckles", bob.maxHitPoints, 9, 1, colours});
    EXPECT_TRUE(report.ok) << report.why;
    // One pause of 2000 ms after every round but the last.
    const std::vector<std::string> requested = pauses.fresh();
    EXPECT_EQ(requested.size(), static_cast<std::size_t>(report.rounds - 1));
    for (const std::string& pause : requested) {
        EXPECT_EQ(pause, "2000");
    }
    return report.ok ? text.substr(report.end) : std::string();
}

std::unique_ptr<Session> startWithShortPauses(const TempDirectory& directory, bool terminal,
                                              int pauseMilliseconds) {
    LaunchOptions options;
    options.pauseMilliseconds = pauseMilliseconds;
    options.pauseLog = directory.file("pauses.log");
    return terminal ? Session::inTerminal(options) : Session::overPipes(options);
}

const std::string BobMade = "Name Set to: Bob\n";

// From the main menu: makes Bob and comes back to the main menu.
void makeBob(Session& game) {
    game.send("a a bob r y\n");
    const auto text = game.waitFor(mainMenu() + Ask);
    ASSERT_TRUE(text) << game.tail();
    EXPECT_NE(text->find(BobMade), std::string::npos) << *text;
}

// What choosing to fight from the main menu shows while Bob lives.
std::string combatScreen(const Bob& bob) {
    return "Brawlarium!! Prepare for Battle!\n" + cleared() + combatMenu(bob.highestLevelBeaten + 1) + Ask;
}

// After a death: neither a fight nor the statistics without a character.
void expectCharacterGone(Session& game) {
    EXPECT_EQ(untilNextChoice(game, "d\n"), "Brawlarium!! Prepare for Battle!\n" + cleared() +
                                                "You don't have a character dude! Go make one.\n" + KeyWait +
                                                cleared() + mainMenu() + Ask);
    // The statistics are gone with the character.
    EXPECT_EQ(untilNextChoice(game, "c\n"), "View Stats Selected \n" + cleared() + "No Character Exists!\n" +
                                                KeyWait + cleared() + mainMenu() + Ask);
}

// From the combat menu: deletes Bob, makes him again from scratch and comes
// back to the main menu.
void remakeBob(Session& game) {
    game.send("r a y a bob r y\n");
    const auto text = game.waitFor("Deleting Character... \n");
    ASSERT_TRUE(text) << game.tail();
    const auto made = game.waitFor(BobMade);
    ASSERT_TRUE(made) << game.tail();
    ASSERT_TRUE(game.waitFor(mainMenu() + Ask)) << game.tail();
}

// Fights at level 1 until Bob has won at least once and died at least once,
// checking the screens between: the combat menu's limit after victories,
// and the missing character after the death.
TEST(PipedFights, WinAndLoseAtLevelOne) {
    const TempDirectory directory;
    auto game = startWithShortPauses(directory, false, 0);
    PausesLog pauses(directory.file("pauses.log"));
    ASSERT_TRUE(game->waitFor(Ask)) << game->tail();
    makeBob(*game);
    Bob bob;
    int victories = 0;
    int defeats = 0;
    bool atCombatMenu = false;
    for (int fight = 0; fight < 60 && (victories == 0 || defeats == 0); ++fight) {
        if (!atCombatMenu) {
            EXPECT_EQ(untilNextChoice(*game, "d\n"), combatScreen(bob));
        }
        FightReport report;
        const std::string after = fightAtLevelOne(*game, bob, pauses, report);
        ASSERT_TRUE(report.ok);
        if (report.playerWon) {
            ++victories;
            expectVictoryAfterLevelOne(after, bob);
            ASSERT_FALSE(HasFatalFailure());
            atCombatMenu = true;
            if (defeats == 0) {
                // Victories make Bob stronger than any level 1 monster; a
                // fresh Bob keeps the next fight open either way.
                remakeBob(*game);
                bob = Bob{};
                atCombatMenu = false;
            }
            continue;
        }
        ++defeats;
        EXPECT_EQ(after, defeatEnding(bob));
        expectCharacterGone(*game);
        bob = Bob{};
        atCombatMenu = false;
        if (victories == 0) {
            makeBob(*game);
        }
    }
    EXPECT_GT(victories, 0);
    EXPECT_GT(defeats, 0);
    game->send(atCombatMenu ? "r q\n" : "q\n");
    const Outcome outcome = game->finish();
    EXPECT_TRUE(outcome.exited && outcome.exitCode == 0) << outcome.describe();
    EXPECT_EQ(game->errorOutput(), "");
}

// Twenty level-1 fights, each by a freshly made Bob: "r" leaves the combat
// menu after a victory and is refused by the main menu after a death, and
// "y" deletes the living Bob and is refused by the creation menu otherwise.
// With --batch the session requests no pause and prints exactly what the
// same session with its pauses (shortened by the pause library) prints.
TEST(PipedFights, TwentyBatchFightsPrintWhatAPausedSessionPrints) {
    const TempDirectory directory;
    std::string answers = "a a bob r y d 1 ";
    for (int fight = 1; fight < 20; ++fight) {
        answers += "r a y a bob r y d 1 ";
    }
    PipedOptions options;
    options.input = answers + "r q\n";
    options.pauseMilliseconds = 0;
    options.arguments = {"--seed", "7"};
    options.pauseLog = directory.file("paused.log");
    const PipedRun paused = runPiped(options);
    options.arguments.emplace_back("--batch");
    options.pauseLog = directory.file("batch.log");
    const PipedRun batch = runPiped(options);

    EXPECT_TRUE(batch.outcome.exited && batch.outcome.exitCode == 0) << batch.outcome.describe();
    EXPECT_EQ(batch.err, "");
    EXPECT_EQ(firstDifference(batch.out, paused.out), "");
    std::size_t fights = 0;
    for (std::size_t at = batch.out.find("Round 1 - "); at != std::string::npos;
         at = batch.out.find("Round 1 - ", at + 1)) {
        ++fights;
    }
    EXPECT_EQ(fights, 20U);
    const std::string pauses = readFile(directory.file("paused.log"));
    EXPECT_NE(pauses, "");
    EXPECT_EQ(readFile(directory.file("batch.log")), "");

    // A pause named on the command line wins over --batch's none.
    options.arguments.insert(options.arguments.end(), {"--pause", "500"});
    options.pauseLog = directory.file("batch_paused.log");
    EXPECT_EQ(firstDifference(runPiped(options).out, paused.out), "");
    std::string halfSeconds = pauses;
    for (std::size_t at = 0; (at = halfSeconds.find("2000\n", at)) != std::string::npos;) {
        halfSeconds.replace(at, 5, "500\n");
    }
    EXPECT_EQ(readFile(directory.file("batch_paused.log")), halfSeconds);
}

const std::string DaggerLine = "Dagger 1d4 Critical Roll: 19-20 Critical Hit Multiplier: x2\n";
const std::string LeatherVest = "Leather Vest AC: 2 Max Dexterity Bonus: +6";

// From the main menu with 25 gold: buys a dagger and a leather vest, sees
// them on the statistics screen and comes back to the main menu.
void buyDaggerAndVest(Session& game) {
    // The dagger, 12.5 of the 25 gold.
    const std::string weaponScreen = untilNextChoice(game, "b\n");
    EXPECT_EQ(weaponScreen, "Purchase Equipment selected \n" + cleared() + equipmentMenu() + Ask);
    game.send("a\n");
    const auto list = game.waitFor("What weapon would you like to buy? ");
    ASSERT_TRUE(list) << game.tail();
    EXPECT_NE(list->find("You are currently using Bare Knuckles\nYou have 25 gold to spend.\n"),
              std::string::npos)
        << *list;
    EXPECT_EQ(untilNextChoice(game, "3\n"),
              "Setting character weapon to Dagger\nYour equipped weapon is...\n" + DaggerLine + KeyWait +
                  cleared() + equipmentMenu() + Ask);
    // The leather vest, 10 of the 12.5 left.
    game.send("b\n");
    const auto armors = game.waitFor("What armor would you like to buy? ");
    ASSERT_TRUE(armors) << game.tail();
    EXPECT_NE(armors->find("You are currently using Rags\nYou have 12.5 gold to spend.\n"), std::string::npos)
        << *armors;
    EXPECT_EQ(untilNextChoice(game, "3\n"),
              "Setting character armor to Leather Vest\nYour equipped armor is...\n" + LeatherVest + "\n" +
                  KeyWait + cleared() + equipmentMenu() + Ask);
    untilNextChoice(game, "r\n");
    EXPECT_EQ(untilNextChoice(game, "c\n"),
              "View Stats Selected \n" + cleared() +
                  stats("Bob", 8, 8, 8, 9, 300, "2.5", DaggerLine, LeatherVest) + KeyWait + cleared() +
                  mainMenu() + Ask);
}

// Wins gold at level 1, buys a dagger and a leather vest with it, sees them
// on the statistics screen, and fights with the dagger until it misses.
TEST(PipedShop, GoldWonBuysWhatTheNextFightShows) {
    const TempDirectory directory;
    auto game = startWithShortPauses(directory, false, 0);
    PausesLog pauses(directory.file("pauses.log"));
    ASSERT_TRUE(game->waitFor(Ask)) << game->tail();

    bool sawMiss = false;
    for (int attempt = 0; attempt < 20 && !sawMiss; ++attempt) {
        // A new Bob fights until the first victory.
        makeBob(*game);
        Bob bob;
        bool won = false;
        while (!won) {
            untilNextChoice(*game, "d\n");
            FightReport report;
            const std::string after = fightAtLevelOne(*game, bob, pauses, report);
            ASSERT_TRUE(report.ok);
            if (!report.playerWon) {
                EXPECT_EQ(after, defeatEnding(bob));
                bob = Bob{};
                makeBob(*game);
                continue;
            }
            expectVictoryAfterLevelOne(after, bob);
            ASSERT_FALSE(HasFatalFailure());
            won = true;
        }
        ASSERT_EQ(bob.gold, 25);
        EXPECT_EQ(untilNextChoice(*game, "r\n"), "Returning to Main Menu\n" + cleared() + mainMenu() + Ask);

        buyDaggerAndVest(*game);
        ASSERT_FALSE(HasFatalFailure());

        // Fights with the dagger until one of its strikes misses.
        bob.weapon = "Dagger";
        bob.armor = "Leather Vest";
        bool alive = true;
        untilNextChoice(*game, "d\n");
        while (alive && !sawMiss) {
            FightReport report;
            const std::string after = fightAtLevelOne(*game, bob, pauses, report);
            ASSERT_TRUE(report.ok);
            sawMiss = report.playerMisses > 0;
            if (report.playerWon) {
                expectVictoryAfterLevelOne(after, bob);
                ASSERT_FALSE(HasFatalFailure());
            } else {
                // Death takes the bought items: the dagger is replaced.
                EXPECT_EQ(after, defeatEnding(bob));
                alive = false;
            }
        }
        if (alive) {
            untilNextChoice(*game, "r\n");
        }
    }
    EXPECT_TRUE(sawMiss) << "the dagger never missed";
    game->send("q\n");
    const Outcome outcome = game->finish();
    EXPECT_TRUE(outcome.exited && outcome.exitCode == 0) << outcome.describe();
}

// In a terminal, from the main menu: makes Bob, takes the key wait of the
// name with one key, and comes back to the main menu.
void makeBobInTerminal(Session& game) {
    untilNextChoice(game, "a\r");
    game.send("a\r");
    ASSERT_TRUE(game.waitFor("Change Name to: ")) << game.tail();
    game.send("bob\r");
    ASSERT_TRUE(game.waitFor("Press any key to continue...\r\n")) << game.tail();
    ASSERT_TRUE(game.waitForCanonical(false));
    untilNextChoice(game, "k");
    EXPECT_EQ(untilNextChoice(game, "r\ry\r").substr(0, 2), "r\n");
}

// A fight in a terminal: every strike in its colour and the colour reset at
// the end of every round; a key pressed during the fight ends the closing
// key wait, unechoed, and the terminal is handed back as it was.
TEST(TerminalFight, ColoursAndAKeyPressedDuringTheFight) {
    const TempDirectory directory;
    auto game = startWithShortPauses(directory, true, 300);
    PausesLog pauses(directory.file("pauses.log"));
    ASSERT_TRUE(game->waitFor(Ask)) << game->tail();
    makeBobInTerminal(*game);
    ASSERT_FALSE(HasFatalFailure());
    untilNextChoice(*game, "d\r");

    // Press a key in the fight's first pause, then send nothing more.
    game->send("1\r");
    const std::size_t fightStart = game->cursor();
    ASSERT_TRUE(game->waitFor("Round 1 - ")) << game->tail();
    ASSERT_TRUE(game->waitForCanonical(false)) << "no pause came";
    game->send("~");
    const auto rest = game->waitFor("Your Choice: ", milliseconds{60000});
    ASSERT_TRUE(rest) << "the closing key wait did not end by the key pressed during the fight:\n"
                      << game->tail();

    const std::string text = withPlainLineEnds(game->output().substr(fightStart));
    const FightReport report =
        readLevelOneFight(text, "1\n", {"Bob", "Bare Knuckles", "Bare Knuckles", 9, 9, 1, true});
    ASSERT_TRUE(report.ok) << report.why;
    EXPECT_EQ(pauses.fresh().size(), static_cast<std::size_t>(report.rounds - 1));
    const std::string after = text.substr(report.end);
    if (report.playerWon) {
        EXPECT_EQ(after, "Bob received 300 experience and 25 gold for the victory!\n" + KeyWait + cleared() +
                             combatMenu(2) + Ask);
        game->send("r\r");
        ASSERT_TRUE(game->waitFor("Your Choice: ")) << game->tail();
    } else {
        EXPECT_EQ(after, defeatEnding(Bob{}, true));
    }
    EXPECT_EQ(game->output().find('~'), std::string::npos) << "the key pressed during the fight was echoed";
    game->send("q\r");
    const Outcome outcome = game->finish();
    EXPECT_TRUE(outcome.exited && outcome.exitCode == 0) << outcome.describe();
    std::string difference;
    EXPECT_TRUE(sameMode(game->initialMode(), game->mode(), &difference)) << difference;
}

const std::string Won = "Congratulations Dill Wad, you killed it!\r\n";
const std::string Died = "WTG jackass, you died and lost your character forever\r\n";

// Waits for the first line of the fight's outcome after the cursor, without
// moving the cursor: true for a victory, false for a death, nothing when
// neither came in time.
std::optional<bool> waitForOutcome(Session& game, milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const std::size_t won = game.output().find(Won, game.cursor());
        const std::size_t died = game.output().find(Died, game.cursor());
        if (won != std::string::npos || died != std::string::npos) {
            return won < died;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return std::nullopt;
        }
        game.staysQuiet(milliseconds{20});  // reads what arrives meanwhile
    }
}

// The last line of a combat menu whose highest level is `level`.
std::string highestOffered(int level) {
    const std::string number = std::to_string(level);
    return "[" + number + "] Level " + number + "\n[R]";
}

// The closing line of a death has no line end and is followed by a key
// wait: on a terminal it must show before the player presses the key, not
// stay in the output buffer until then. Bob fights at the highest level
// the combat menu offers until he dies; nothing is typed between choosing
// a fight and seeing how it ended.
TEST(TerminalFight, DeathKeyWaitShowsBeforeAnyKey) {
    const TempDirectory directory;
    auto game = startWithShortPauses(directory, true, 0);
    ASSERT_TRUE(game->waitFor(Ask)) << game->tail();
    makeBobInTerminal(*game);
    ASSERT_FALSE(HasFatalFailure());
    const std::string menu = untilNextChoice(*game, "d\r");

    const auto deadline = std::chrono::steady_clock::now() + milliseconds{120000};
    int level = 1;
    EXPECT_NE(menu.find(highestOffered(level)), std::string::npos) << menu;
    bool died = false;
    for (int fight = 0; fight < 40 && std::chrono::steady_clock::now() < deadline; ++fight) {
        game->send(std::to_string(level) + "\r");
        const std::optional<bool> won = waitForOutcome(*game, milliseconds{30000});
        ASSERT_TRUE(won) << "no fight outcome at level " << level << ":\n" << game->tail();
        if (!*won) {
            died = true;
            break;
        }
        ASSERT_TRUE(game->waitFor(Won + "Bob received ")) << game->tail();
        ASSERT_TRUE(game->waitFor("Press any key to continue...\r\n")) << game->tail();
        ASSERT_TRUE(game->waitForCanonical(false)) << "no key wait after the victory";
        // The level just beaten was the highest offered: the next one is now.
        ++level;
        const std::string next = untilNextChoice(*game, "k");
        ASSERT_NE(next.find(highestOffered(level)), std::string::npos) << next;
    }
    ASSERT_TRUE(died) << "Bob never died; fought up to level " << level;

    // Nothing has been typed since the fight began: the closing line and
    // the key wait's message must both be on the terminal already.
    const auto ending = game->waitFor(Died + "Press any key to continue...", milliseconds{10000});
    ASSERT_TRUE(ending) << "the key wait's message after the death did not show before a key was pressed; "
                           "the output ends with:\n"
                        << game->tail();
    ASSERT_TRUE(game->waitForCanonical(false)) << "no key wait after the death";
    EXPECT_TRUE(game->staysQuiet(milliseconds{300})) << "the key wait ended without a key: " << game->tail();

    // One key ends the wait; the main menu follows.
    game->send("k");
    const auto rest = game->waitFor(Ask);
    ASSERT_TRUE(rest) << "the key did not end the wait:\n" << game->tail();
    EXPECT_EQ("Press any key to continue..." + withPlainLineEnds(*rest), defeatEnding(Bob{}, true));
    game->send("q\r");
    const Outcome outcome = game->finish();
    EXPECT_TRUE(outcome.exited && outcome.exitCode == 0) << outcome.describe();
}

// One seed, one game: the native game, drawing as musl's rand() does, and
// the WebAssembly build under Node write the same bytes and pause as often
// for the same answers, fights, level-ups and shop included.
struct SeededSession {
    const char* name;
    unsigned seed;
    std::string input;
};

class BothBuilds : public ::testing::TestWithParam<SeededSession> {};

TEST_P(BothBuilds, PlayTheSameGameForOneSeed) {
    if (webRunner().empty()) {
        GTEST_SKIP() << "no WebAssembly build to compare with (BRAWLARIUM_WEB_RUNNER)";
    }
    const TempDirectory directory;
    const auto play = [&](const std::string& game, const std::string& pauseLog) {
        PipedOptions options;
        options.game = game;
        options.muslRandom = true;
        options.arguments = {"--seed", std::to_string(GetParam().seed)};
        options.input = GetParam().input;
        options.pauseMilliseconds = 0;
        options.pauseLog = directory.file(pauseLog);
        options.timeout = milliseconds{60000};
        return runPiped(options);
    };
    const PipedRun native = play(nativeGameBinary(), "native.log");
    const PipedRun web = play(webRunner(), "web.log");
    EXPECT_TRUE(native.outcome.exited && native.outcome.exitCode == 0) << native.outcome.describe();
    EXPECT_TRUE(web.outcome.exited && web.outcome.exitCode == 0) << web.outcome.describe() << web.err;
    EXPECT_NE(native.out.find("Round 2 - "), std::string::npos) << "no fight of two rounds was played";
    EXPECT_EQ(firstDifference(web.out, native.out), "");
    EXPECT_EQ(web.err, native.err);
    EXPECT_EQ(readFile(directory.file("web.log")), readFile(directory.file("native.log")));
}

void PrintTo(const SeededSession& session, std::ostream* out) { *out << session.name; }

INSTANTIATE_TEST_SUITE_P(
    Seeded, BothBuilds,
    ::testing::Values(SeededSession{"RollTwiceAndFightUntilDeath", 7,
                                    "a b y b n a bob r y c d 1 1 1 1 1 1 1 1 1 1 1 1 r q"},
                      SeededSession{"WinGoldAndShop", 2024,
                                    "a a bob b n r y d 1 1 1 1 r b a 3 b 3 a 2 r c d 2 2 2 r q"},
                      SeededSession{"ClimbTheLevels", 4294967295U,
                                    "a b n a hero r y d 1 2 3 4 5 6 7 8 9 10 11 12 13 r c q"},
                      SeededSession{"EndOfInputInAFight", 31, "a a bob r y d 1 1 1"}),
    [](const ::testing::TestParamInfo<SeededSession>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace e2e
