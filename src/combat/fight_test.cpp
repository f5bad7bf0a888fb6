// Whole fights, byte for byte with their colour escapes. A small reference
// model plays each fight from the same random values the game will draw;
// seeds are searched here for every situation worth seeing, so nothing
// depends on one platform's rand().
#include "combat/fight.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "character/character.h"
#include "character/experience_table.h"
#include "console/console.h"
#include "equipment/catalogs.h"
#include "support/capture.h"
#include "support/combat_reference.h"
#include "support/screens.h"

namespace {

constexpr const char* Separator = "--------------------------------------------------\n";
constexpr const char* EscNormal = "\x1b[0m";
constexpr const char* EscPlayerHit = "\x1b[92m";
constexpr const char* EscPlayerMiss = "\x1b[32m";
constexpr const char* EscMonsterHit = "\x1b[91m";
constexpr const char* EscMonsterMiss = "\x1b[31m";

// The player as a test sets it up.
struct PlayerSetup {
    std::string name = "Hero";
    int level = 1;
    int strength = 10;
    int dexterity = 10;
    int constitution = 10;
    int maxHitPoints = 10;
    int experience = 0;
    double gold = 0.0;
    int highestLevelBeaten = 0;
    int weaponIndex = 0;
    int armorIndex = 0;
};

// One side of a fight as the model sees it.
struct Side {
    std::string shownName;  // as getName shows it
    std::string nameField;  // as the hit-point and death lines show it
    int level = 1;
    int strengthModifier = 0;
    int hitPoints = 0;
    int armorClass = 10;
    std::string weaponName;
    int diceCount = 0;
    int dieSize = 1;
    int criticalThreshold = 20;
    int criticalMultiplier = 2;
    int hits = 0;
    int misses = 0;
    int criticalHits = 0;
};

struct ExpectedFight {
    std::string text;
    int playerInitiative = 0;
    int monsterInitiative = 0;
    int rounds = 0;
    std::vector<std::size_t> pauseOffsets;  // how much text is out when each pause starts
    bool won = false;
    bool decidedByOpeningStrike = false;
    Side player;
    Side monster;
    // The player afterwards, when the fight was won.
    int level = 0;
    int maxHitPoints = 0;
    int experience = 0;
    double gold = 0.0;
    int highestLevelBeaten = 0;
};

struct Catalogs {
    WeaponCatalog weapons{combatDataFile("weaponlist.txt")};
    ArmorCatalog armors{combatDataFile("armorlist.txt")};
};

Side sideOf(const std::string& name, int level, int strength, int dexterity, int weaponIndex, int armorIndex,
            const Catalogs& lists) {
    Side side;
    side.shownName = name.empty() ? "Not Named" : name;
    side.nameField = name;
    side.level = level;
    side.strengthModifier = modifierOf(strength);
    side.armorClass = 10 + lists.armors.armorBonuses[armorIndex] +
                      std::min(modifierOf(dexterity), lists.armors.maxDexterityBonuses[armorIndex]);
    side.weaponName = lists.weapons.names[weaponIndex];
    side.diceCount = lists.weapons.diceCounts[weaponIndex];
    side.dieSize = lists.weapons.dieSizes[weaponIndex];
    side.criticalThreshold = lists.weapons.criticalThresholds[weaponIndex];
    side.criticalMultiplier = lists.weapons.criticalMultipliers[weaponIndex];
    return side;
}

// One strike; returns whether the defender still lives.
bool strike(Side& attacker, Side& defender, const char* hitEscape, const char* missEscape,
            const std::string& missBefore, const std::string& missAfter, const std::function<int()>& draw,
            std::string& out) {
    const int natural = draw() % 20 + 1;
    const bool critical = natural >= attacker.criticalThreshold;
    if (attacker.level + attacker.strengthModifier + natural < defender.armorClass) {
        ++attacker.misses;
        out += missEscape + attacker.shownName + missBefore + attacker.weaponName + missAfter;
        return true;
    }
    ++attacker.hits;
    attacker.criticalHits += critical ? 1 : 0;
    int damage = 0;
    for (int die = 0; die < attacker.diceCount; ++die) {
        damage += draw() % attacker.dieSize + 1;
    }
    damage += attacker.strengthModifier;
    damage *= critical ? attacker.criticalMultiplier : 1;
    defender.hitPoints = std::max(0, defender.hitPoints - damage);
    out += hitEscape + attacker.shownName +
           (critical ? " deals a CRITICAL STRIKE with " : " deals a major blow with ") + attacker.weaponName +
           ",\nhitting for " + std::to_string(damage) + " damage!\n" + defender.nameField + " has " +
           std::to_string(defender.hitPoints) + "HP remaining!\n";
    if (defender.hitPoints > 0) {
        return true;
    }
    out += defender.nameField + " Died.\n";
    return false;
}

std::string victoryLine(const std::string& name, int levelDifference) {
    static const char* const Rewards[] = {"300 experience and 25", "150 experience and 12",
                                          "75 experience and 6",   "35 experience and 3",
                                          "15 experience and 1",   "5 experience and .5"};
    return name + " received " + Rewards[std::clamp(levelDifference, 0, 5)] + " gold for the victory!\n";
}

// The reward of a victory and the level-ups it brings, with their text.
void expectVictory(const PlayerSetup& setup, int monsterLevel, const std::function<int()>& draw,
                   ExpectedFight& fight) {
    std::string& out = fight.text;
    out +=
        "\nCongratulations Dill Wad, you killed it!\n" + victoryLine(setup.name, setup.level - monsterLevel);
    const int difference = std::clamp(setup.level - monsterLevel, 0, 5);
    static const int Experience[] = {300, 150, 75, 35, 15, 5};
    static const double Gold[] = {25, 12, 6, 3, 1, 0.5};
    fight.experience = setup.experience + Experience[difference];
    fight.gold = setup.gold + Gold[difference];
    fight.level = setup.level;
    fight.maxHitPoints = setup.maxHitPoints;
    int ability = setup.constitution;
    // Level L is reached at 500 x L x (L - 1) experience.
    while (fight.level < 20 && fight.experience >= 500 * (fight.level + 1) * fight.level) {
        ++fight.level;
        ++ability;
        fight.maxHitPoints += draw() % 10 + modifierOf(ability) + 1;
        const int gained = fight.level - setup.level;
        out += levelUpLines(fight.level, setup.strength + gained, setup.dexterity + gained, ability,
                            fight.maxHitPoints);
    }
    fight.highestLevelBeaten = std::max(setup.highestLevelBeaten, monsterLevel);
    out += "Press any key to continue...\n";
}

// What a defeat writes after its last round: the key wait, the first items
// of the lists put back on, and a cleared screen.
std::string defeatText(const PlayerSetup& setup, const Catalogs& lists) {
    std::string out = "\nWTG jackass, you died and lost your character forever\nPress any key to continue...";
    out += setup.weaponIndex == 0 ? std::string("Already equipped with that weapon!\n")
                                  : "Setting character weapon to " + lists.weapons.names[0] + "\n";
    out += setup.armorIndex == 0 ? std::string("Armor already equipped!\n")
                                 : "Setting character armor to " + lists.armors.names[0] + "\n";
    out += clearedScreen();
    return out;
}

// Plays a whole fight of runFight from the draws, including the building
// of the monster before it and the level-ups after it.
ExpectedFight expectFight(const PlayerSetup& setup, int monsterLevel, const Catalogs& lists,
                          const std::function<int()>& draw) {
    ExpectedFight fight;
    const ExpectedMonster built = expectMonster(monsterLevel, lists.weapons, lists.armors, draw);
    fight.text = built.text;
    Side& player = fight.player;
    Side& monster = fight.monster;
    player = sideOf(setup.name, setup.level, setup.strength, setup.dexterity, setup.weaponIndex,
                    setup.armorIndex, lists);
    player.hitPoints = setup.maxHitPoints;
    monster = sideOf("Monster", monsterLevel, built.ability, built.ability, built.weaponIndex,
                     built.armorIndex, lists);
    monster.hitPoints = built.maxHitPoints;

    fight.playerInitiative = draw() % 20 + 1 + modifierOf(setup.dexterity);
    fight.monsterInitiative = draw() % 20 + 1 + modifierOf(built.ability);
    bool playerFirst = fight.playerInitiative >= fight.monsterInitiative;

    const auto header = [&](int round) {
        return "Round " + std::to_string(round) + " - " + player.shownName + " vs. Level " +
               std::to_string(monsterLevel) + " Monster! (" + std::to_string(player.hitPoints) +
               "HP Remaining)\n\n";
    };
    std::string& out = fight.text;
    out += clearedScreen() + Separator + header(1);
    bool monsterAlive = true;
    bool playerAlive = true;
    for (int round = 1;; ++round) {
        fight.rounds = round;
        if (round > 2000) {
            throw std::runtime_error("the fight does not end");
        }
        if (playerFirst) {
            monsterAlive = strike(player, monster, EscPlayerHit, EscPlayerMiss, " attacks with ",
                                  ", but misses and\nlooks like a total ass.\n", draw, out);
            out += "\n";
            if (monsterAlive) {
                playerAlive = strike(monster, player, EscMonsterHit, EscMonsterMiss,
                                     " hits himself in the head with ", ".\nWhat a Noob!\n", draw, out);
            }
        } else {
            playerAlive = strike(monster, player, EscMonsterHit, EscMonsterMiss, " flails wildly with ",
                                 ",\nthe weapon flies in the air.\n", draw, out);
            out += "\n";
            if (playerAlive) {
                monsterAlive = strike(player, monster, EscPlayerHit, EscPlayerMiss,
                                      " yells like a barbarian, attacking with\n",
                                      ", but trips on a rock and starts to cry.\n", draw, out);
            }
        }
        if (round == 1 && (!monsterAlive || !playerAlive)) {
            fight.decidedByOpeningStrike = player.hits + player.misses + monster.hits + monster.misses == 1;
        }
        playerFirst = !playerFirst;
        out += EscNormal;
        if (!monsterAlive || !playerAlive) {
            break;
        }
        out += Separator;
        fight.pauseOffsets.push_back(out.size());
        out += header(round + 1);
    }

    fight.won = !monsterAlive;
    if (fight.won) {
        expectVictory(setup, monsterLevel, draw, fight);
    } else {
        out += defeatText(setup, lists);
    }
    return fight;
}

// The first seed whose fight satisfies the wish.
unsigned findSeed(const PlayerSetup& setup, int monsterLevel, const Catalogs& lists,
                  const std::function<bool(const ExpectedFight&)>& wish) {
    for (unsigned seed = 1; seed < 20000; ++seed) {
        std::srand(seed);
        if (wish(expectFight(setup, monsterLevel, lists, [] { return std::rand(); }))) {
            return seed;
        }
    }
    ADD_FAILURE() << "no seed below 20000 gives the wanted fight";
    return 0;
}

void setUpPlayer(Character& player, const PlayerSetup& setup, const Catalogs& lists) {
    player.name = setup.name;
    player.level = setup.level;
    player.strength = setup.strength;
    player.dexterity = setup.dexterity;
    player.constitution = setup.constitution;
    player.computeModifiers();
    player.maxHitPoints = setup.maxHitPoints;
    player.hitPoints = setup.maxHitPoints;
    player.experience = setup.experience;
    player.gold = setup.gold;
    player.highestLevelBeaten = setup.highestLevelBeaten;
    lists.weapons.equip(setup.weaponIndex, player);
    lists.armors.equip(setup.armorIndex, player);
}

// Where in the captured text each pause began.
std::vector<std::size_t>& pauseOffsets() {
    static std::vector<std::size_t> offsets;
    return offsets;
}

void recordPause(std::chrono::milliseconds duration) {
    ConsoleCapture::pauses().push_back(duration);
    const auto* captured = dynamic_cast<const std::stringbuf*>(std::cout.rdbuf());
    pauseOffsets().push_back(captured != nullptr ? captured->str().size() : std::string::npos);
}

// Colour escapes on for the length of a test, even where NO_COLOR is set
// (an empty NO_COLOR counts as unset).
class FightTest : public ::testing::Test {
protected:
    void SetUp() override {
        static char noColour[] = "NO_COLOR=";
        putenv(noColour);
        setConsoleEscapesEnabled(true);
        ASSERT_TRUE(lists.weapons.loaded() && lists.armors.loaded());
        characterExists = true;
    }
    void TearDown() override {
        setConsoleEscapesEnabled(false);
        characterExists = false;
    }

    // The combat menu and the choices one pass of the fight screen reads
    // and sets; built while the console is captured.
    struct Screen {
        CombatMenu menu;
        std::string menuChoice;
        MenuCode combatChoice = 0;
        MenuCode mainChoice = 4;
    };
    void runScreen(Screen& screen, Character& player) const {
        runFightScreen(screen.menu, player, levelTable, lists.weapons, lists.armors, screen.menuChoice,
                       screen.combatChoice, screen.mainChoice);
    }

    Catalogs lists;
    ExperienceTable levelTable;
};

struct Scenario {
    const char* what;
    PlayerSetup player;
    int monsterLevel;
    std::function<bool(const ExpectedFight&)> wish;
};

// Fields in order: name, level, strength, dexterity, constitution, maximum
// hit points, experience, gold, highest level beaten, weapon, armor.
PlayerSetup veteran(const char* name = "Hero") { return {name, 5, 13, 13, 13, 40, 10000, 7.5, 2, 7, 5}; }
PlayerSetup champion() { return {"Hero", 10, 17, 13, 13, 40, 45000, 7.5, 6, 14, 5}; }
PlayerSetup novice(int weaponIndex, int armorIndex) {
    return {"Hero", 1, 8, 8, 8, 9, 0, 3, 0, weaponIndex, armorIndex};
}
PlayerSetup nearLevelTwo() { return {"Hero", 1, 12, 12, 12, 11, 999, 0, 0, 9, 4}; }

TEST_F(FightTest, WholeFightsMatchTheReplayedDrawsByteForByte) {
    const Scenario scenarios[] = {
        {"player opens and wins over several rounds", veteran(), 3,
         [](const ExpectedFight& f) {
             return f.playerInitiative > f.monsterInitiative && f.won && f.rounds >= 3;
         }},
        {"equal initiatives: the player opens", veteran(), 4,
         [](const ExpectedFight& f) { return f.playerInitiative == f.monsterInitiative && f.rounds >= 2; }},
        {"monster opens", veteran(), 4,
         [](const ExpectedFight& f) { return f.playerInitiative < f.monsterInitiative && f.rounds >= 3; }},
        {"critical hits on both sides", veteran(), 5,
         [](const ExpectedFight& f) { return f.player.criticalHits > 0 && f.monster.criticalHits > 0; }},
        {"the opening strike kills the monster", champion(), 1,
         [](const ExpectedFight& f) { return f.decidedByOpeningStrike && f.won; }},
        {"the monster's opening strike kills the player", novice(0, 0), 6,
         [](const ExpectedFight& f) { return f.decidedByOpeningStrike && !f.won; }},
        {"defeat while wearing the starting items", novice(0, 0), 5,
         [](const ExpectedFight& f) { return !f.won && f.rounds >= 2 && f.player.hits > 0; }},
        {"defeat while wearing bought items", novice(3, 2), 5,
         [](const ExpectedFight& f) { return !f.won && f.rounds >= 2; }},
        {"victory with a level-up", nearLevelTwo(), 1,
         [](const ExpectedFight& f) { return f.won && f.rounds >= 2 && f.player.hitPoints < 11; }},
        {"an unnamed player", veteran(""), 4,
         [](const ExpectedFight& f) {
             return f.player.misses > 0 && f.player.hits > 0 && f.monster.hits > 0;
         }},
    };
    for (const Scenario& scenario : scenarios) {
        SCOPED_TRACE(scenario.what);
        const unsigned seed = findSeed(scenario.player, scenario.monsterLevel, lists, scenario.wish);
        ASSERT_NE(seed, 0u);
        SCOPED_TRACE("seed " + std::to_string(seed));
        DrawReplay replay(seed);
        replay.start();
        const ExpectedFight expected =
            expectFight(scenario.player, scenario.monsterLevel, lists, [&replay] { return replay.draw(); });

        ConsoleCapture console;
        Character player;
        setUpPlayer(player, scenario.player, lists);
        console.take();
        setPauseHandler(recordPause);
        pauseOffsets().clear();
        characterExists = true;
        MenuCode mainChoice = 4;
        runFight(scenario.monsterLevel, player, levelTable, lists.weapons, lists.armors, mainChoice);

        EXPECT_EQ(console.take(), expected.text);
        EXPECT_EQ(std::rand(), replay.draw()) << "the game drew more or fewer values than the fight needs";
        EXPECT_EQ(ConsoleCapture::keyWaits(), 1);
        ASSERT_EQ(ConsoleCapture::pauses().size(), static_cast<std::size_t>(expected.rounds - 1));
        for (const std::chrono::milliseconds pause : ConsoleCapture::pauses()) {
            EXPECT_EQ(pause.count(), 2000);
        }
        EXPECT_EQ(pauseOffsets(), expected.pauseOffsets)
            << "each pause comes after a separator, before the header";
        if (expected.won) {
            EXPECT_EQ(mainChoice, 4);
            EXPECT_TRUE(characterExists);
            EXPECT_EQ(player.level, expected.level);
            EXPECT_EQ(player.experience, expected.experience);
            EXPECT_DOUBLE_EQ(player.gold, expected.gold);
            EXPECT_EQ(player.maxHitPoints, expected.maxHitPoints);
            EXPECT_EQ(player.hitPoints, expected.maxHitPoints) << "a victory heals";
            EXPECT_EQ(player.highestLevelBeaten, expected.highestLevelBeaten);
        } else {
            EXPECT_EQ(mainChoice, 0);
            EXPECT_FALSE(characterExists);
            EXPECT_EQ(player.name, "");
            EXPECT_EQ(player.level, 1);
            EXPECT_EQ(player.strength, 8);
            EXPECT_EQ(player.experience, 0);
            EXPECT_DOUBLE_EQ(player.gold, 0.0);
            EXPECT_EQ(player.hitPoints, 9);
            EXPECT_EQ(player.highestLevelBeaten, 0);
            EXPECT_EQ(player.weapon.name, lists.weapons.names[0]);
            EXPECT_EQ(player.armor.name, lists.armors.names[0]);
        }
    }
}

using screens::combatMenu;

TEST_F(FightTest, AVictoryOverANewLevelRaisesTheCombatMenuLimit) {
    const PlayerSetup setup = nearLevelTwo();
    const unsigned seed = findSeed(setup, 1, lists, [](const ExpectedFight& f) { return f.won; });
    ASSERT_NE(seed, 0u);
    DrawReplay replay(seed);
    replay.start();
    const ExpectedFight expected = expectFight(setup, 1, lists, [&replay] { return replay.draw(); });

    // An invalid answer first: the question comes again without the menu.
    ConsoleCapture console("2 1 r");
    Character player;
    setUpPlayer(player, setup, lists);
    Screen screen;
    console.take();
    runScreen(screen, player);
    EXPECT_EQ(console.take(), clearedScreen() + combatMenu(1) +
                                  "Your Choice: Invalid Choice!\nYour Choice: " + expected.text);
    EXPECT_EQ(screen.combatChoice, 1);
    EXPECT_EQ(screen.mainChoice, 4) << "a victory comes back to the combat menu";
    EXPECT_EQ(player.highestLevelBeaten, 1);

    runScreen(screen, player);
    EXPECT_EQ(console.take(),
              clearedScreen() + combatMenu(2) + "Your Choice: Returning to Main Menu\n" + clearedScreen());
    EXPECT_EQ(screen.mainChoice, 0);
}

TEST_F(FightTest, ReturningFromTheCombatMenuBuildsNoMonster) {
    for (const char* answer : {"r", "R"}) {
        ConsoleCapture console(answer);
        Character player;
        player.name = "Hero";
        player.highestLevelBeaten = 24;
        console.take();
        Screen screen;
        console.take();
        DrawReplay replay(3);
        replay.start();
        runScreen(screen, player);
        EXPECT_EQ(console.take(), clearedScreen() + combatMenu(25) + "Your Choice: Returning to Main Menu\n" +
                                      clearedScreen());
        EXPECT_EQ(screen.menu.highestSelectableLevel, 25);
        EXPECT_EQ(screen.mainChoice, 0);
        EXPECT_EQ(std::rand(), replay.draw()) << "no draw without a fight";
        EXPECT_EQ(ConsoleCapture::keyWaits(), 0);
    }
}

TEST_F(FightTest, WithoutACharacterTheFightScreenSendsThePlayerBack) {
    characterExists = false;
    ConsoleCapture console("1");
    Character player;
    console.take();
    Screen screen;
    console.take();
    runScreen(screen, player);
    EXPECT_EQ(console.take(), clearedScreen() +
                                  "You don't have a character dude! Go make one.\n"
                                  "Press any key to continue...\n" +
                                  clearedScreen());
    EXPECT_EQ(screen.mainChoice, 0);
    EXPECT_EQ(ConsoleCapture::keyWaits(), 1);
    EXPECT_EQ(screen.menuChoice, "") << "no question is asked";
}

}  // namespace
