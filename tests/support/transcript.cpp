// Screens, open-number transcripts and the fight reader.
#include "support/transcript.h"

#include <algorithm>
#include <sstream>

#include "support/screens.h"

namespace e2e {

namespace screen {

std::string cleared() {
    // Not a braced list: that would be the two characters 50 and '\n'.
    std::string lineEnds(50, '\n');
    return lineEnds;
}

std::string startup() {
    return "Menu created\n"
           "Equipment Menu Created\n"
           "Combat Menu Created\n"
           "Character Created\n"
           "Loading Weapon List\n"
           "Loading Armor List\n"
           "Setting character weapon to Bare Knuckles\n"
           "Setting character armor to Rags\n";
}

std::string mainMenu() { return screens::MainMenu; }

std::string creationMenu() { return screens::CreationMenu; }

std::string equipmentMenu() { return screens::EquipmentMenu; }

std::string combatMenu(int highest) { return screens::combatMenu(highest); }

std::string returnQuestion() { return screens::ReturnQuestion; }

std::string stats(const std::string& name, int strength, int dexterity, int constitution, int hitPoints,
                  int experience, const std::string& gold, const std::string& weaponLine,
                  const std::string& armorLine) {
    std::ostringstream text;
    text << "Name: " << name << "\nLevel: 1\nStrength: " << strength << "\nDexterity: " << dexterity
         << "\nConstitution: " << constitution << "\nHP: " << hitPoints << "/" << hitPoints
         << "\nExperience: " << experience << "\nGold: " << gold << "\n\nWeapon Used:\n"
         << weaponLine << "Armor Used:\n"
         << armorLine << "\n";
    return text.str();
}

std::string levelOneMonster() {
    return std::string(
               "Character Created\n"
               "Setting character armor to Rags\n"
               "Setting character weapon to Bare Knuckles\n"
               "Name Set to: Monster\n") +
           BareKnuckles + Rags + cleared();
}

}  // namespace screen

namespace {

// Shows where two texts part, with a little of each around that place.
std::string describeDifference(std::string_view actual, std::size_t at, std::string_view expected) {
    auto visible = [](std::string_view text) {
        std::string shown;
        for (char c : text) {
            if (c == '\n') {
                shown += "\\n";
            } else if (c == '\r') {
                shown += "\\r";
            } else if (c == '\x1b') {
                shown += "\\e";
            } else {
                shown += c;
            }
        }
        return shown;
    };
    const std::size_t from = at > 80 ? at - 80 : 0;
    std::ostringstream why;
    why << "at offset " << at << " after \"" << visible(actual.substr(from, at - from)) << "\": expected \""
        << visible(expected.substr(0, 120)) << "\", found \"" << visible(actual.substr(at, 120)) << "\"";
    return why.str();
}

}  // namespace

std::string firstDifference(std::string_view actual, std::string_view expected) {
    std::size_t at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) {
        ++at;
    }
    if (at == actual.size() && at == expected.size()) {
        return "";
    }
    return describeDifference(actual, at, expected.substr(at));
}

namespace {

// A cursor over the text being checked.
class Reader {
public:
    explicit Reader(std::string_view text) : text(text) {}

    bool literal(std::string_view expected) {
        if (text.substr(position, expected.size()) != expected) {
            return false;
        }
        position += expected.size();
        return true;
    }
    bool startsWith(std::string_view expected) const {
        return text.substr(position, expected.size()) == expected;
    }
    bool integer(int& value) {
        std::size_t at = position;
        const bool negative = at < text.size() && text[at] == '-';
        if (negative) {
            ++at;
        }
        const std::size_t digitsStart = at;
        long long magnitude = 0;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9' && at - digitsStart < 10) {
            magnitude = magnitude * 10 + (text[at] - '0');
            ++at;
        }
        if (at == digitsStart) {
            return false;
        }
        value = static_cast<int>(negative ? -magnitude : magnitude);
        position = at;
        return true;
    }
    std::string failure(std::string_view expected) const {
        return describeDifference(text, position, expected);
    }
    std::size_t offset() const { return position; }
    bool atEnd() const { return position == text.size(); }

private:
    std::string_view text;
    std::size_t position = 0;
};

constexpr const char* ResetColour = "\x1b[0m";

struct Side {
    std::string name;
    std::string weapon;
    const char* hitColour;
    const char* missColour;
};

}  // namespace

Pattern& Pattern::text(std::string_view literal) {
    if (!pieces.empty() && pieces.back().name.empty()) {
        pieces.back().literal += literal;
    } else {
        pieces.push_back(Piece{std::string(literal), "", 0, 0});
    }
    return *this;
}

Pattern& Pattern::number(const std::string& name, int low, int high) {
    pieces.push_back(Piece{"", name, low, high});
    return *this;
}

Pattern::Match Pattern::match(std::string_view actual) const {
    Match result;
    Reader reader(actual);
    for (const Piece& piece : pieces) {
        if (piece.name.empty()) {
            if (!reader.literal(piece.literal)) {
                result.why = reader.failure(piece.literal);
                return result;
            }
            continue;
        }
        int value = 0;
        const std::string wanted =
            "<" + piece.name + ": " + std::to_string(piece.low) + " to " + std::to_string(piece.high) + ">";
        if (!reader.integer(value) || value < piece.low || value > piece.high) {
            result.why = reader.failure(wanted);
            return result;
        }
        result.values[piece.name] = value;
    }
    if (!reader.atEnd()) {
        result.why = reader.failure("<the end of the output>");
        return result;
    }
    result.ok = true;
    return result;
}

namespace {

// Reads one fight for readFight, keeping the hit points of both sides as the
// strikes change them.
class FightReader {
public:
    FightReader(std::string_view text, const FightSetup& setup)
        : reader(text),
          setup(setup),
          player{setup.player, setup.playerWeapon, "\x1b[92m", "\x1b[32m"},
          monster{"Monster", setup.monsterWeapon, "\x1b[91m", "\x1b[31m"},
          playerHitPoints(setup.playerHitPoints),
          monsterHitPoints(setup.monsterHitPoints) {}

    FightReport read() {
        if (!expect(screen::Separator)) {
            return report;
        }
        bool playerOpens = false;
        for (;;) {
            ++report.rounds;
            if (!expect(roundHeader())) {
                return report;
            }
            playerOpens = report.rounds == 1 ? playerOpensFirstRound() : !playerOpens;
            bool fightOver = false;
            if (!readRound(playerOpens, fightOver)) {
                return report;
            }
            if (fightOver) {
                break;
            }
            if (!expect(screen::Separator)) {
                return report;
            }
        }
        report.playerHitPointsLeft = playerHitPoints;
        report.end = reader.offset();
        report.ok = true;
        return report;
    }

private:
    // Sets report.why; always false.
    bool fail(std::string_view expected) {
        report.why = "round " + std::to_string(report.rounds) + ": " + reader.failure(expected);
        return false;
    }

    // Reads `literal`; otherwise fails, naming what was expected as `shown`
    // (the literal itself when that is empty).
    bool expect(const std::string& literal, std::string_view shown = {}) {
        return reader.literal(literal) || fail(shown.empty() ? std::string_view(literal) : shown);
    }

    std::string colour(const char* escape) const {
        return setup.colours ? std::string(escape) : std::string();
    }

    std::string roundHeader() const {
        return "Round " + std::to_string(report.rounds) + " - " + setup.player + " vs. Level " +
               std::to_string(setup.monsterLevel) + " Monster! (" + std::to_string(playerHitPoints) +
               "HP Remaining)\n\n";
    }

    // Who opens is the initiative's choice; every later round the other side
    // opens.
    bool playerOpensFirstRound() {
        const bool playerOpens = reader.startsWith(colour(player.hitColour) + player.name) ||
                                 reader.startsWith(colour(player.missColour) + player.name);
        report.playerOpened = playerOpens;
        return playerOpens;
    }

    // Both strikes of a round (one when the first kills), the colour reset
    // and, when a side died, the fight's outcome.
    bool readRound(bool playerOpens, bool& fightOver) {
        bool killed = false;
        if (!strike(playerOpens, true, killed) || !expect("\n")) {
            return false;
        }
        const bool openerKilled = killed;
        if (!openerKilled && !strike(!playerOpens, false, killed)) {
            return false;
        }
        if (setup.colours && !expect(ResetColour, "\\e[0m at the end of the round")) {
            return false;
        }
        fightOver = killed;
        if (!killed) {
            return true;
        }
        report.playerWon = openerKilled ? playerOpens : !playerOpens;
        return expect(report.playerWon ? "\nCongratulations Dill Wad, you killed it!\n"
                                       : "\nWTG jackass, you died and lost your character forever\n");
    }

    // The miss line of a side, which depends on whether it opens the round.
    std::string missLine(bool byPlayer, bool opening) const {
        const Side& attacker = byPlayer ? player : monster;
        std::string line = colour(attacker.missColour) + attacker.name;
        if (byPlayer && opening) {
            line += " attacks with " + attacker.weapon + ", but misses and\nlooks like a total ass.\n";
        } else if (byPlayer) {
            line += " yells like a barbarian, attacking with\n" + attacker.weapon +
                    ", but trips on a rock and starts to cry.\n";
        } else if (opening) {
            line += " flails wildly with " + attacker.weapon + ",\nthe weapon flies in the air.\n";
        } else {
            line += " hits himself in the head with " + attacker.weapon + ".\nWhat a Noob!\n";
        }
        return line;
    }

    // One strike; sets `killed` when the defender's hit points reach 0.
    bool strike(bool byPlayer, bool opening, bool& killed) {
        const std::string miss = missLine(byPlayer, opening);
        if (reader.literal(miss)) {
            ++(byPlayer ? report.playerMisses : report.monsterMisses);
            killed = false;
            return true;
        }
        const Side& attacker = byPlayer ? player : monster;
        const std::string hitStart = colour(attacker.hitColour) + attacker.name;
        if (!reader.literal(hitStart)) {
            return fail(miss + "  or  " + hitStart + " deals ...");
        }
        return hit(byPlayer, killed);
    }

    // The rest of a strike that hits, after the attacker's name.
    bool hit(bool byPlayer, bool& killed) {
        const Side& attacker = byPlayer ? player : monster;
        const Side& defender = byPlayer ? monster : player;
        if (!reader.literal(" deals a major blow with ") &&
            !reader.literal(" deals a CRITICAL STRIKE with ")) {
            return fail(" deals a major blow with  or  deals a CRITICAL STRIKE with ");
        }
        int damage = 0;
        int left = 0;
        if (!reader.literal(attacker.weapon + ",\nhitting for ") || !reader.integer(damage) ||
            !reader.literal(" damage!\n" + defender.name + " has ") || !reader.integer(left) ||
            !reader.literal("HP remaining!\n")) {
            return fail(attacker.weapon + ",\nhitting for <n> damage!\n" + defender.name +
                        " has <n>HP remaining!\n");
        }
        ++(byPlayer ? report.playerHits : report.monsterHits);
        if (!hitPointsAddUp(byPlayer, damage, left)) {
            return false;
        }
        killed = left == 0;
        return !killed || expect(defender.name + " Died.\n");
    }

    // Checks the hit points a hit leaves against those the defender had
    // (when known) and keeps them.
    bool hitPointsAddUp(bool byPlayer, int damage, int left) {
        const std::optional<int> before = byPlayer ? monsterHitPoints : std::optional<int>(playerHitPoints);
        if (before && left != std::max(*before - damage, 0)) {
            const Side& defender = byPlayer ? monster : player;
            report.why = "round " + std::to_string(report.rounds) + ": " + defender.name + " had " +
                         std::to_string(*before) + " hit points, took " + std::to_string(damage) +
                         " damage and shows " + std::to_string(left);
            return false;
        }
        if (byPlayer) {
            monsterHitPoints = left;
        } else {
            playerHitPoints = left;
        }
        return true;
    }

    Reader reader;
    const FightSetup& setup;
    const Side player;
    const Side monster;
    int playerHitPoints;
    std::optional<int> monsterHitPoints;
    FightReport report;
};

}  // namespace

FightReport readFight(std::string_view text, const FightSetup& setup) {
    return FightReader(text, setup).read();
}

FightReport readLevelOneFight(std::string_view text, std::string_view echo, const FightSetup& setup) {
    const std::string opening = std::string(echo) + screen::levelOneMonster();
    const std::string_view start = text.substr(0, opening.size());
    if (start != opening) {
        FightReport report;
        report.why = "the fight's opening differs: " + firstDifference(start, opening);
        return report;
    }
    FightReport report = readFight(text.substr(opening.size()), setup);
    report.end += opening.size();
    return report;
}

}  // namespace e2e

namespace e2e {

std::vector<std::string> longGameAnswers(int blocks) {
    std::vector<std::string> answers;
    for (int i = 0; i < blocks; ++i) {
        for (const char* answer : {"a", "y", "a", "bob", "r", "y", "d", "1", "1", "1", "r", "c"}) {
            answers.emplace_back(answer);
        }
    }
    return answers;
}

std::string answerLines(const std::vector<std::string>& answers, std::size_t from, std::size_t to) {
    std::string lines;
    for (std::size_t i = from; i < to && i < answers.size(); ++i) {
        lines += answers[i] + "\n";
    }
    return lines;
}

std::string continuedDifference(std::string_view continued, std::string_view straight) {
    const std::string clear = screen::cleared();
    if (continued.substr(0, clear.size()) != clear) {
        return "the continued game does not start with a cleared screen: " +
               std::string(continued.substr(0, 200));
    }
    const std::string_view rest = continued.substr(clear.size());
    if (rest.size() > straight.size()) {
        return "the continued game writes more than the whole game";
    }
    return firstDifference(rest, straight.substr(straight.size() - rest.size()));
}

}  // namespace e2e
