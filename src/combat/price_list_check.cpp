// Checking a pair of price lists before anyone plays with them. The checks
// run the game's own rules, read backwards: the loaders, the monster's
// purchases, armor class, the attack bonus and the damage formula, so that a
// change to a rule changes the check with it.
#include "combat/price_list_check.h"

#include <algorithm>
#include <array>
#include <iostream>
#include <sstream>
#include <streambuf>
#include <vector>

#include "character/character.h"
#include "combat/endless_fights.h"
#include "combat/opponent.h"
#include "equipment/catalogs.h"

namespace {

// The table shows the monsters of the player's levels; from level 16 on
// every monster buys the same items.
constexpr int TableLevels = 20;
constexpr int LastPurchaseLevel = std::max(ArmorCatalog::Size, WeaponCatalog::Size) + 1;
constexpr int MostDiceWorthRolling = 1000000;

// Swallows what the loaders and the monsters' purchases write.
class NullBuffer : public std::streambuf {
protected:
    int_type overflow(int_type character) override { return traits_type::not_eof(character); }
    std::streamsize xsputn(const char* /*text*/, std::streamsize count) override { return count; }
};

// Keeps standard output quiet for as long as it lives.
class QuietConsole {
public:
    QuietConsole() : saved(std::cout.rdbuf(&sink)) {}
    ~QuietConsole() {
        std::cout.rdbuf(saved);
        std::cout.clear();
    }
    QuietConsole(const QuietConsole&) = delete;
    QuietConsole& operator=(const QuietConsole&) = delete;

private:
    NullBuffer sink;
    std::streambuf* saved;
};

class Report {
public:
    std::ostringstream text;
    int faults = 0;
    int warnings = 0;

    void fault(const LoadError& error) {
        text << error.message() << "\n";
        ++faults;
    }
    std::ostream& warning(const std::string& file, int line) {
        ++warnings;
        return text << file << ":" << line << ": warning: ";
    }
    void warning(const LoadError& found) { warning(found.file, found.line) << found.reason << "\n"; }
};

// The checks of single entries look only at the lines read without a fault,
// so that a fault in one line does not hide the warnings about the others.

template <typename Catalog>
void checkStartingItem(const Catalog& catalog, const std::string& file, const char* kind, Report& report) {
    if (catalog.lineRead(0) && !(catalog.prices[0] <= 0.0)) {
        report.warning(file, 1) << catalog.names[0] << ", the starting " << kind << ", costs "
                                << catalog.prices[0]
                                << " gold: the starting purchases of the player and of every monster fail\n";
    }
}

// Buying an item of negative price hands out gold instead of taking it.
template <typename Catalog>
void checkNegativePrices(const Catalog& catalog, const std::string& file, Report& report) {
    for (int i = 0; i < Catalog::Size; ++i) {
        if (catalog.lineRead(i) && catalog.prices[i] < 0.0) {
            report.warning(file, i + 1) << "the price of " << catalog.names[i] << " is " << catalog.prices[i]
                                        << ": buying it hands out " << -catalog.prices[i] << " gold\n";
        }
    }
}

template <typename Catalog>
void checkDuplicateNames(const Catalog& catalog, const std::string& file, Report& report) {
    for (int i = 1; i < Catalog::Size; ++i) {
        if (!catalog.lineRead(i)) {
            continue;
        }
        for (int j = 0; j < i; ++j) {
            if (catalog.lineRead(j) && catalog.names[i] == catalog.names[j]) {
                report.warning(file, i + 1) << catalog.names[i] << " is also the name of line " << j + 1
                                            << ": equipping one is refused while the other is worn\n";
                break;
            }
        }
    }
}

void checkDiceCounts(const WeaponCatalog& weapons, const std::string& file, Report& report) {
    for (int i = 0; i < WeaponCatalog::Size; ++i) {
        if (weapons.lineRead(i) && weapons.diceCounts[i] > MostDiceWorthRolling) {
            report.warning(file, i + 1) << weapons.names[i] << " rolls " << weapons.diceCounts[i]
                                        << " dice: one damage roll would draw more than a million numbers\n";
        }
    }
}

Monsters buildMonsters(const WeaponCatalog& weapons, const ArmorCatalog& armors) {
    Monsters monsters;
    monsters.reserve(MonsterLevels);
    for (int level = 1; level <= MonsterLevels; ++level) {
        monsters.push_back(createOpponent(level, armors, weapons));
    }
    return monsters;
}

// One purchase a monster could not make, and the levels it happens at.
struct FailedPurchase {
    int firstLevel;
    int lastLevel;
    int line;
    std::string text;
};

void reportFailedPurchases(const std::vector<FailedPurchase>& failures, const std::string& file,
                           Report& report) {
    std::vector<FailedPurchase> merged;
    for (const FailedPurchase& failure : failures) {
        if (!merged.empty() && merged.back().line == failure.line && merged.back().text == failure.text &&
            merged.back().lastLevel + 1 == failure.firstLevel) {
            merged.back().lastLevel = failure.lastLevel;
        } else {
            merged.push_back(failure);
        }
    }
    for (const FailedPurchase& failure : merged) {
        std::ostream& out = report.warning(file, failure.line);
        if (failure.lastLevel == LastPurchaseLevel) {
            out << "monsters of level " << failure.firstLevel << " and above";
        } else if (failure.firstLevel == failure.lastLevel) {
            out << "monsters of level " << failure.firstLevel;
        } else {
            out << "monsters of levels " << failure.firstLevel << " to " << failure.lastLevel;
        }
        out << failure.text << "\n";
    }
}

// The monsters' purchases from their purse, level by level up to the first
// level that buys the last entries: every one that fails, and why.
void checkMonsterPurchases(const Monsters& monsters, const WeaponCatalog& weapons, const ArmorCatalog& armors,
                           const std::string& weaponFile, const std::string& armorFile, Report& report) {
    std::vector<FailedPurchase> armorFailures;
    std::vector<FailedPurchase> weaponFailures;
    for (int level = 2; level <= LastPurchaseLevel; ++level) {
        const Character& monster = monsters[static_cast<std::size_t>(level - 1)];
        const int armorIndex = opponentArmorIndex(level);
        const int weaponIndex = opponentWeaponIndex(level);
        const bool weaponBought = monster.weapon.name == weapons.names[weaponIndex];
        if (monster.armor.name != armors.names[armorIndex]) {
            // Nothing was paid for the armor: the purse was whole.
            const double purse = monster.gold + (weaponBought ? weapons.prices[weaponIndex] : 0.0);
            std::ostringstream text;
            text << " cannot pay " << armors.prices[armorIndex] << " gold for " << armors.names[armorIndex]
                 << " out of " << purse << " and fight in " << itemName(monster.armor.name, "no armor at all")
                 << " instead";
            armorFailures.push_back({level, level, armorIndex + 1, text.str()});
        }
        if (!weaponBought) {
            const bool armorBought = monster.armor.name == armors.names[armorIndex];
            std::ostringstream text;
            text << " cannot pay " << weapons.prices[weaponIndex] << " gold for "
                 << weapons.names[weaponIndex] << (armorBought ? " out of the " : " out of ") << monster.gold
                 << (armorBought ? " left after their armor" : "") << " and fight with "
                 << itemName(monster.weapon.name, "no weapon at all") << " instead";
            weaponFailures.push_back({level, level, weaponIndex + 1, text.str()});
        }
    }
    reportFailedPurchases(armorFailures, armorFile, report);
    reportFailedPurchases(weaponFailures, weaponFile, report);
}

std::string range(int low, int high) {
    return low == high ? std::to_string(low) : std::to_string(low) + " to " + std::to_string(high);
}

std::string damageRange(const Character& character) {
    const auto [fewest, most] = diceTotals(character.weapon);
    std::vector<int> extremes;
    // A natural roll below the threshold is an ordinary hit; one at or above
    // it is critical.
    if (character.weapon.criticalThreshold > 1) {
        extremes.push_back(character.damageFor(fewest, false));
        extremes.push_back(character.damageFor(most, false));
    }
    if (character.weapon.criticalThreshold <= NaturalRolls) {
        extremes.push_back(character.damageFor(fewest, true));
        extremes.push_back(character.damageFor(most, true));
    }
    const auto [low, high] = std::minmax_element(extremes.begin(), extremes.end());
    return range(*low, *high);
}

// The maximum hit points of a monster of the level when every hit-point die
// shows `draw`.
int monsterHitPoints(int level, int draw) {
    Character monster;
    while (monster.getLevel() < level) {
        monster.levelUpWithDraw(draw);
    }
    return monster.maxHitPoints;
}

// The columns a text takes on a terminal that shows UTF-8: one per
// character, that is per byte that does not continue a character.
std::size_t columns(const std::string& text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char byte) { return (byte & 0xC0) != 0x80; }));
}

std::string signedNumber(int value) { return (value >= 0 ? "+" : "") + std::to_string(value); }

void writeMonsterTable(const Monsters& monsters, std::ostream& out) {
    std::vector<std::array<std::string, 7>> rows;
    rows.push_back({"level", "armor", "AC", "weapon", "attack", "damage", "hit points"});
    for (int level = 1; level <= TableLevels; ++level) {
        const Character& monster = monsters[static_cast<std::size_t>(level - 1)];
        rows.push_back({std::to_string(level), itemName(monster.armor.name, "(none)"),
                        std::to_string(monster.getArmorClass()), itemName(monster.weapon.name, "(none)"),
                        signedNumber(monster.attackBonus()), damageRange(monster),
                        range(monsterHitPoints(level, 0), monsterHitPoints(level, 9))});
    }
    std::array<std::size_t, 7> widths{};
    for (const auto& row : rows) {
        for (std::size_t column = 0; column < row.size(); ++column) {
            widths[column] = std::max(widths[column], columns(row[column]));
        }
    }
    out << "Monsters by level, each outfitted from " << OpponentPurse << " gold:\n";
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t column = 0; column < row.size(); ++column) {
            line += row[column];
            if (column + 1 < row.size()) {
                line += std::string(widths[column] - columns(row[column]) + 2, ' ');
            }
        }
        out << line << "\n";
    }
}

}  // namespace

int checkPriceLists(const std::string& weaponFile, const std::string& armorFile, std::ostream& report) {
    // Each file is named once with what it is used as; the finding lines
    // name it as given, "file:line:", for editors to follow.
    return checkPriceLists(
        weaponFile, armorFile, report,
        WeaponCatalog::introduce(weaponFile) + " and " + ArmorCatalog::introduce(armorFile));
}

int checkPriceLists(const std::string& weaponFile, const std::string& armorFile, std::ostream& report,
                    const std::string& listsNamed) {
    Report found;
    std::ostringstream table;
    {
        const QuietConsole quiet;
        const WeaponCatalog weapons(weaponFile, LinesRead::All);
        const ArmorCatalog armors(armorFile, LinesRead::All);
        for (const auto* faults : {&weapons.loadFaults(), &armors.loadFaults()}) {
            for (const LoadError& fault : *faults) {
                if (static_cast<std::size_t>(found.faults) < MaxLoadFaults) {
                    found.fault(fault);
                }
            }
        }
        for (const auto* warnings : {&weapons.loadWarnings(), &armors.loadWarnings()}) {
            for (const LoadError& warning : *warnings) {
                found.warning(warning);
            }
        }
        checkStartingItem(weapons, weaponFile, "weapon", found);
        checkNegativePrices(weapons, weaponFile, found);
        checkDuplicateNames(weapons, weaponFile, found);
        checkDiceCounts(weapons, weaponFile, found);
        checkStartingItem(armors, armorFile, "armor", found);
        checkNegativePrices(armors, armorFile, found);
        checkDuplicateNames(armors, armorFile, found);
        // The monsters need every line of both lists.
        if (weapons.loaded() && armors.loaded()) {
            const Monsters monsters = buildMonsters(weapons, armors);
            checkMonsterPurchases(monsters, weapons, armors, weaponFile, armorFile, found);
            reportEndlessFights(monsters, weapons, armors,
                                [&](int line) -> std::ostream& { return found.warning(armorFile, line); });
            writeMonsterTable(monsters, table);
        }
    }

    report << "Checking " << listsNamed << "\n";
    report << found.text.str();
    if (!table.str().empty()) {
        report << "\n" << table.str();
    }
    report << "\n";
    if (found.faults > 0) {
        report << "The game refuses these lists: " << counted(found.faults, "fault");
        if (found.warnings > 0) {
            report << ", " << counted(found.warnings, "warning");
        }
        report << ".\n";
        return PriceListsRefused;
    }
    if (found.warnings > 0) {
        report << "The game plays these lists, with " << counted(found.warnings, "warning") << ".\n";
        return PriceListsWarned;
    }
    report << "The game plays these lists: no faults, no warnings.\n";
    return PriceListsClean;
}
