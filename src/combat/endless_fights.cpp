// The fights that can never end. A fight ends only when one side can wound
// the other; the search tries the player at every level with every rolled
// score, in every armor with every weapon it can buy, against every monster
// level, with the game's own rules for armor class, attack and damage.
#include "combat/endless_fights.h"

#include <algorithm>
#include <array>
#include <climits>
#include <limits>
#include <sstream>
#include <vector>

#include "equipment/catalogs.h"

namespace {

// The player's levels end at 20.
constexpr int PlayerLevels = 20;
// Each ability is rolled as 8 to 12, and every level adds one.
constexpr int LowestRoll = 8;
constexpr int Rolls = 5;
constexpr int HighestScore = LowestRoll + Rolls - 1 + PlayerLevels - 1;

// Whether the player can ever pay for an entry: gold grows without bound,
// but no amount reaches a price that is not a number or infinite. The
// starting entry is handed over free on character creation.
bool purchasable(int index, double price) {
    return index == 0 || price <= std::numeric_limits<double>::max();
}

// What one side can do to the other over every natural roll of the d20.
struct Reach {
    int bestAttack = 0;
    int armorClass = 0;
    bool hits = false;
    int bestDamage = INT_MIN;  // of the hits that land

    bool wounds() const { return hits && bestDamage > 0; }
};

Reach reachOf(const Character& attacker, const Character& defender) {
    Reach reach;
    reach.armorClass = defender.getArmorClass();
    const int bonus = attacker.attackBonus();
    reach.bestAttack = bonus + NaturalRolls;
    // The lowest natural roll that hits; every higher one hits too.
    const long long lowest = std::max<long long>(1, static_cast<long long>(reach.armorClass) - bonus);
    if (lowest > NaturalRolls) {
        return reach;
    }
    reach.hits = true;
    const auto [fewest, most] = diceTotals(attacker.weapon);
    const int threshold = attacker.weapon.criticalThreshold;
    for (const bool critical : {false, true}) {
        // An ordinary hit needs a hitting roll below the threshold, a
        // critical one a roll at or above it.
        if (critical ? threshold <= NaturalRolls : lowest < threshold) {
            reach.bestDamage = std::max(
                {reach.bestDamage, attacker.damageFor(fewest, critical), attacker.damageFor(most, critical)});
        }
    }
    return reach;
}

// "the player never reaches armor class 50 (best attack 21)".
std::string describeReach(const char* side, const Reach& reach) {
    std::ostringstream text;
    if (!reach.hits) {
        text << "the " << side << " never reaches armor class " << reach.armorClass << " (best attack "
             << reach.bestAttack << ")";
    } else {
        text << "the " << side << "'s hits do at most " << reach.bestDamage << " damage";
    }
    return text.str();
}

// The first endless fight found for one armor of the player (the lowest
// levels and scores), and how many there are in all.
struct EndlessFight {
    long long count = 0;
    int level = 0;
    int strength = 0;
    int dexterity = 0;
    int weapon = 0;
    int monsterLevel = 0;
    Reach player;
    Reach monster;
};

// A fight ends only when one side can wound the other. For the player at
// every level with every rolled score, in every armor with every weapon it
// can buy, against every monster level: both sides unable to wound is a
// fight that never ends. Each side's reach is worked out once for what it
// depends on, the monsters' first, then every combination is looked up.
class EndlessFightSearch {
public:
    EndlessFightSearch(const Monsters& monsters, const WeaponCatalog& weapons, const ArmorCatalog& armors)
        : monsters(monsters), weapons(weapons), armors(armors) {
        weighMonsters();
        weighPlayers();
    }

    // Each armor of the player at most once, in its smallest form, at the
    // armor's line.
    void report(const std::function<std::ostream&(int line)>& warningAt) const {
        const std::array<EndlessFight, ArmorCatalog::Size> endless = search();
        for (int armor = 0; armor < ArmorCatalog::Size; ++armor) {
            const EndlessFight& fight = endless[static_cast<std::size_t>(armor)];
            if (fight.count > 0) {
                describe(fight, armor, warningAt(armor + 1));
            }
        }
    }

private:
    static constexpr int Scores = HighestScore - LowestRoll + 1;

    const Monsters& monsters;
    const WeaponCatalog& weapons;
    const ArmorCatalog& armors;
    // The player's reach depends on its level, strength and weapon.
    std::vector<Reach> playerReach;
    // The monster levels that cannot wound some player in some armor: only
    // their fights can be endless, so only against them is the player's
    // reach worked out.
    std::vector<bool> harmless = std::vector<bool>(MonsterLevels);
    // A monster's reach depends on the player's dexterity and armor.
    std::vector<Reach> monsterReach =
        std::vector<Reach>(std::size_t{MonsterLevels} * ArmorCatalog::Size * Scores);

    std::size_t playerAt(int level, int roll, int weapon, int monster) const {
        return ((static_cast<std::size_t>(level - 1) * Rolls + static_cast<std::size_t>(roll)) *
                    WeaponCatalog::Size +
                static_cast<std::size_t>(weapon)) *
                   MonsterLevels +
               static_cast<std::size_t>(monster);
    }
    static std::size_t monsterAt(int monster, int armor, int dexterity) {
        return (static_cast<std::size_t>(monster) * ArmorCatalog::Size + static_cast<std::size_t>(armor)) *
                   Scores +
               static_cast<std::size_t>(dexterity - LowestRoll);
    }
    const Character& monster(int index) const { return monsters[static_cast<std::size_t>(index)]; }

    void weighPlayers() {
        if (std::find(harmless.begin(), harmless.end(), true) == harmless.end()) {
            return;
        }
        playerReach.resize(std::size_t{PlayerLevels} * Rolls * WeaponCatalog::Size * MonsterLevels);
        Character player;
        for (int level = 1; level <= PlayerLevels; ++level) {
            for (int roll = 0; roll < Rolls; ++roll) {
                player.level = level;
                player.strength = LowestRoll + roll + level - 1;
                player.computeModifiers();
                for (int weapon = 0; weapon < WeaponCatalog::Size; ++weapon) {
                    player.weapon = Weapon{};
                    weapons.equip(weapon, player);
                    for (int index = 0; index < MonsterLevels; ++index) {
                        if (!harmless[static_cast<std::size_t>(index)]) {
                            continue;
                        }
                        playerReach[playerAt(level, roll, weapon, index)] = reachOf(player, monster(index));
                    }
                }
            }
        }
    }

    void weighMonsters() {
        Character player;
        for (int armor = 0; armor < ArmorCatalog::Size; ++armor) {
            player.armor = Armor{};
            armors.equip(armor, player);
            for (int dexterity = LowestRoll; dexterity <= HighestScore; ++dexterity) {
                player.dexterity = dexterity;
                player.computeModifiers();
                for (int index = 0; index < MonsterLevels; ++index) {
                    const Reach& reach = monsterReach[monsterAt(index, armor, dexterity)] =
                        reachOf(monster(index), player);
                    if (!reach.wounds() && purchasable(armor, armors.prices[armor])) {
                        harmless[static_cast<std::size_t>(index)] = true;
                    }
                }
            }
        }
    }

    // The player of one level and strength with one weapon, whom the monster
    // cannot be wounded by: every armor and dexterity in which the monster
    // cannot wound the player either.
    void searchArmors(const EndlessFight& found, int strengthRoll,
                      std::array<EndlessFight, ArmorCatalog::Size>& endless) const {
        for (int dexterityRoll = 0; dexterityRoll < Rolls; ++dexterityRoll) {
            const int dexterity = LowestRoll + dexterityRoll + found.level - 1;
            for (int armor = 0; armor < ArmorCatalog::Size; ++armor) {
                const Reach& byMonster = monsterReach[monsterAt(found.monsterLevel - 1, armor, dexterity)];
                if (byMonster.wounds() || !purchasable(armor, armors.prices[armor])) {
                    continue;
                }
                EndlessFight& fight = endless[static_cast<std::size_t>(armor)];
                if (fight.count++ == 0) {
                    fight = found;
                    fight.count = 1;
                    fight.strength = LowestRoll + strengthRoll + found.level - 1;
                    fight.dexterity = dexterity;
                    fight.monster = byMonster;
                }
            }
        }
    }

    // In order of the player's level, the monster's level, strength, weapon
    // and dexterity, so that the first fight found for an armor is its
    // smallest.
    std::array<EndlessFight, ArmorCatalog::Size> search() const {
        std::array<EndlessFight, ArmorCatalog::Size> endless{};
        for (int level = 1; level <= PlayerLevels; ++level) {
            for (int index = 0; index < MonsterLevels; ++index) {
                if (!harmless[static_cast<std::size_t>(index)]) {
                    continue;
                }
                for (int roll = 0; roll < Rolls; ++roll) {
                    for (int weapon = 0; weapon < WeaponCatalog::Size; ++weapon) {
                        const Reach& byPlayer = playerReach[playerAt(level, roll, weapon, index)];
                        if (byPlayer.wounds() || !purchasable(weapon, weapons.prices[weapon])) {
                            continue;
                        }
                        EndlessFight found;
                        found.level = level;
                        found.weapon = weapon;
                        found.monsterLevel = index + 1;
                        found.player = byPlayer;
                        searchArmors(found, roll, endless);
                    }
                }
            }
        }
        return endless;
    }

    void describe(const EndlessFight& fight, int armor, std::ostream& out) const {
        const Character& opponent = monster(fight.monsterLevel - 1);
        out << "endless fight: a level " << fight.level << " player (strength " << fight.strength
            << ", dexterity " << fight.dexterity << ") in " << armors.names[armor] << " with "
            << weapons.names[fight.weapon] << " against a level " << fight.monsterLevel << " monster ("
            << itemName(opponent.armor.name, "no armor") << ", "
            << itemName(opponent.weapon.name, "no weapon") << "): " << describeReach("player", fight.player)
            << ", " << describeReach("monster", fight.monster);
        if (fight.count > 1) {
            out << "; " << counted(fight.count - 1, "more such fight") << " in " << armors.names[armor];
        }
        out << "\n";
    }
};

}  // namespace

std::pair<long long, long long> diceTotals(const Weapon& weapon) {
    const long long fewest = std::max(weapon.diceCount, 0);
    return {fewest, fewest * weapon.dieSize};
}

std::string itemName(const std::string& name, const char* none) { return name.empty() ? none : name; }

void reportEndlessFights(const Monsters& monsters, const WeaponCatalog& weapons, const ArmorCatalog& armors,
                         const std::function<std::ostream&(int line)>& warningAt) {
    EndlessFightSearch(monsters, weapons, armors).report(warningAt);
}
