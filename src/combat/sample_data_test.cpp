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

TEST(SampleData, NoFightWithTheShippedPriceListsCanBeEndless) {
    ConsoleCapture console;
    const WeaponCatalog weapons(combatDataFile("weaponlist.txt"));
    const ArmorCatalog armors(combatDataFile("armorlist.txt"));
    ASSERT_TRUE(weapons.loaded()) << weapons.loadError().message();
    ASSERT_TRUE(armors.loaded()) << armors.loadError().message();

    std::ostringstream faults;
    int faultCount = 0;
    const auto fault = [&](const std::string& text) {
        if (++faultCount <= 10) {
            faults << text << "\n";
        }
    };
    for (int monsterLevel = 1; monsterLevel <= 30; ++monsterLevel) {
        const MonsterFacts monster = monsterAt(monsterLevel, weapons, armors);
        const int monsterArmorClass = armorClass(armors, monster.armorIndex, monster.dexterityModifier);
        const std::string monsterText = "monster level " + std::to_string(monsterLevel);
        if (bestDamage(weapons, monster.weaponIndex, monster.strengthModifier) <= 0) {
            fault(monsterText + ": its best damage is 0 or less");
        }
        for (int level = 1; level <= 20; ++level) {
            // Rolled scores are 8 to 12, each level adds one.
            for (int rolled = 8; rolled <= 12; ++rolled) {
                const int modifier = modifierOf(rolled + level - 1);
                const std::string playerText = ", player level " + std::to_string(level) + " score " +
                                               std::to_string(rolled + level - 1);
                if (level + modifier + 20 < monsterArmorClass) {
                    fault(monsterText + playerText + ": the player never reaches armor class " +
                          std::to_string(monsterArmorClass));
                }
                for (int w = 0; w < WeaponCatalog::Size; ++w) {
                    if (bestDamage(weapons, w, modifier) <= 0) {
                        fault(monsterText + playerText + ": " + weapons.names[w] + " does no damage");
                    }
                }
                for (int a = 0; a < ArmorCatalog::Size; ++a) {
                    const int playerArmorClass = armorClass(armors, a, modifier);
                    if (monsterLevel + monster.strengthModifier + 20 < playerArmorClass) {
                        fault(monsterText + playerText + ": the monster never reaches armor class " +
                              std::to_string(playerArmorClass) + " of " + armors.names[a]);
                    }
                }
            }
        }
    }
    EXPECT_EQ(faultCount, 0) << faults.str();
}

}  // namespace
