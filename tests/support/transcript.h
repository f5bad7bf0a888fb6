// What the game's screens look like to a player, for comparing whole
// transcripts: the fixed screens as text, transcripts with rolled numbers
// left open, and a reader that checks a whole fight round by round.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace e2e {

// The fixed screens, with the sample data files.
namespace screen {
// Fifty line ends: a cleared screen.
std::string cleared();
// Everything written before the first cleared screen.
std::string startup();
std::string mainMenu();
std::string creationMenu();
std::string equipmentMenu();
// The combat menu listing levels 1 to `highest`.
std::string combatMenu(int highest);
// The warning and question of leaving the creation menu.
std::string returnQuestion();
// The statistics screen of a character (without the key-wait line).
std::string stats(const std::string& name, int strength, int dexterity, int constitution, int hitPoints,
                  int experience, const std::string& gold, const std::string& weaponLine,
                  const std::string& armorLine);
// What building a level-1 monster writes, up to and including the cleared
// screen of the fight's opening.
std::string levelOneMonster();
inline constexpr const char* BareKnuckles =
    "Bare Knuckles 1d3 Critical Roll: 20 Critical Hit Multiplier: x2\n";
inline constexpr const char* Rags = "Rags AC: 0 Max Dexterity Bonus: +8";
inline constexpr const char* Separator = "--------------------------------------------------\n";
}  // namespace screen

// Empty when the texts are equal; otherwise where they part, with a little
// of each around that place.
std::string firstDifference(std::string_view actual, std::string_view expected);

// A transcript in which some numbers are left open: each is read as a
// decimal integer, checked against its range and kept under its name.
class Pattern {
public:
    Pattern& text(std::string_view literal);
    Pattern& number(const std::string& name, int low, int high);

    struct Match {
        bool ok = false;
        std::string why;  // where and how the text differs, when it does
        std::map<std::string, int> values;
        int operator[](const std::string& name) const { return values.at(name); }
    };
    // The whole of `actual` must follow the pattern.
    Match match(std::string_view actual) const;

private:
    struct Piece {
        std::string literal;  // empty for a number
        std::string name;
        int low = 0;
        int high = 0;
    };
    std::vector<Piece> pieces;
};

// One fight as the fight screen writes it, from the separator that opens
// it to the first line of its outcome.
struct FightSetup {
    std::string player;  // the player's name
    std::string playerWeapon;
    std::string monsterWeapon;
    int playerHitPoints = 0;              // before the first round
    std::optional<int> monsterHitPoints;  // when known
    int monsterLevel = 1;
    bool colours = false;  // escapes expected around the strikes
};

struct FightReport {
    bool ok = false;
    std::string why;
    int rounds = 0;
    bool playerWon = false;
    bool playerOpened = false;  // who struck first in round 1
    int playerMisses = 0;
    int playerHits = 0;
    int monsterMisses = 0;
    int monsterHits = 0;
    int playerHitPointsLeft = 0;
    std::size_t end = 0;  // just after the outcome's first line
};

// Reads the fight at the start of `text` ("\n" line ends): every round
// numbered in turn, the opening side alternating, each strike one of the
// eight cases with the names and weapons given, hit points that add up,
// death lines exactly at 0, and the victory or defeat line at the end.
FightReport readFight(std::string_view text, const FightSetup& setup);

// Reads a fight against a level-1 monster from `text`, which starts with
// `echo` (the echoed level choice) and the building of the monster; a
// different opening fails the report. `end` counts from the start of `text`.
FightReport readLevelOneFight(std::string_view text, std::string_view echo, const FightSetup& setup);

}  // namespace e2e

namespace e2e {

// The answers of a long game for the save file's tests: blocks that each
// make "Bob" afresh (deleting the one before, or not when he died), fight
// three level-1 fights and view his statistics; every block ends at the
// main menu, every 12th answer.
std::vector<std::string> longGameAnswers(int blocks);
inline constexpr std::size_t AnswersPerBlock = 12;

// The answers from `from` up to `to`, one line each.
std::string answerLines(const std::vector<std::string>& answers, std::size_t from, std::size_t to);

// Empty when the output of a continued game (a cleared screen, then the
// screen the player left and the rest) is exactly how the game played
// straight through ends; otherwise where they part.
std::string continuedDifference(std::string_view continued, std::string_view straight);

}  // namespace e2e
