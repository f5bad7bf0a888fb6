// The game has no round limit, so the price lists shipped with it must make
// every fight winnable by one side: whatever the player can be (any rolled
// scores, any level up to 20, any armor and weapon) and whatever monster
// level 1 to 30 it meets, each side's best roll reaches the other's armor
// class and each side's best damage takes hit points off.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>

#include "support/capture.h"
#include "support/combat_reference.h"

namespace {

// The monster at a level: abilities 7 + L, items bought out of 1200 gold.
struct MonsterFacts {
    int level;
    int strengthModifier;
    int dexterityModifier;
    int armorIndex;
    int weaponIndex;
};

MonsterFacts monsterAt(int level, const WeaponCatalog& weapons, const ArmorCatalog& armors) {
    const ExpectedMonster built = expectMonster(level, weapons, armors, [] { return 0; });
    const int modifier = modifierOf(built.ability);
    return {level, modifier, modifier, built.armorIndex, built.weaponIndex};
}

int armorClass(const ArmorCatalog& armors, int armorIndex, int dexterityModifier) {
    return 10 + armors.armorBonuses[armorIndex] +
           std::min(dexterityModifier, armors.maxDexterityBonuses[armorIndex]);
}

int bestDamage(const WeaponCatalog& weapons, int weaponIndex, int strengthModifier) {
    return std::max(weapons.diceCounts[weaponIndex], 0) * weapons.dieSizes[weaponIndex] + strengthModifier;
}

// The first ten faults in full, and how many there were.
class Faults {
public:
    void add(const std::string& text) {
        if (++count <= 10) {
            listed << text << "\n";
        }
    }
    int total() const { return count; }
    std::string text() const { return listed.str(); }

private:
    std::ostringstream listed;
    int count = 0;
};

// A player of one level and one score against the monster: the player's
// best roll must reach the monster's armor class, every weapon must do
// damage in the player's hands, and the monster's best roll must reach the
// player's armor class in every armor.
void checkPlayer(const MonsterFacts& monster, int monsterArmorClass, int level, int score,
                 const WeaponCatalog& weapons, const ArmorCatalog& armors, Faults& faults) {
    const int modifier = modifierOf(score);
    const std::string where = "monster level " + std::to_string(monster.level) + ", player level " +
                              std::to_string(level) + " score " + std::to_string(score);
    if (level + modifier + 20 < monsterArmorClass) {
        faults.add(where + ": the player never reaches armor class " + std::to_string(monsterArmorClass));
    }
    for (int w = 0; w < WeaponCatalog::Size; ++w) {
        if (bestDamage(weapons, w, modifier) <= 0) {
            faults.add(where + ": " + weapons.names[w] + " does no damage");
        }
    }
    for (int a = 0; a < ArmorCatalog::Size; ++a) {
        const int playerArmorClass = armorClass(armors, a, modifier);
        if (monster.level + monster.strengthModifier + 20 < playerArmorClass) {
            faults.add(where + ": the monster never reaches armor class " + std::to_string(playerArmorClass) +
                       " of " + armors.names[a]);
        }
    }
}

// The monster of one level against every player: its own best damage, and
// each player level with each rolled score (8 to 12, each level adds one).
void checkMonsterLevel(int monsterLevel, const WeaponCatalog& weapons, const ArmorCatalog& armors,
                       Faults& faults) {
    const MonsterFacts monster = monsterAt(monsterLevel, weapons, armors);
    const int monsterArmorClass = armorClass(armors, monster.armorIndex, monster.dexterityModifier);
    if (bestDamage(weapons, monster.weaponIndex, monster.strengthModifier) <= 0) {
        faults.add("monster level " + std::to_string(monsterLevel) + ": its best damage is 0 or less");
    }
    for (int level = 1; level <= 20; ++level) {
        for (int rolled = 8; rolled <= 12; ++rolled) {
            checkPlayer(monster, monsterArmorClass, level, rolled + level - 1, weapons, armors, faults);
        }
    }
}

TEST(SampleData, NoFightWithTheShippedPriceListsCanBeEndless) {
    ConsoleCapture console;
    const WeaponCatalog weapons(combatDataFile("weaponlist.txt"));
    const ArmorCatalog armors(combatDataFile("armorlist.txt"));
    ASSERT_TRUE(weapons.loaded()) << weapons.loadError().message();
    ASSERT_TRUE(armors.loaded()) << armors.loadError().message();

    Faults faults;
    for (int monsterLevel = 1; monsterLevel <= 30; ++monsterLevel) {
        checkMonsterLevel(monsterLevel, weapons, armors, faults);
    }
    EXPECT_EQ(faults.total(), 0) << faults.text();
}

}  // namespace
