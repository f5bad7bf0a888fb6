// Building the monster: levelled with replayed hit-point draws and outfitted
// from the price lists out of one purse of 1200 gold.
#include "combat/opponent.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "equipment/catalogs.h"
#include "support/capture.h"
#include "support/combat_reference.h"

namespace {

struct LevelCase {
    int level;
    int armorIndex;
    int weaponIndex;
};

void expectBuiltAs(const Character& monster, const ExpectedMonster& expected, const WeaponCatalog& weapons,
                   const ArmorCatalog& armors) {
    EXPECT_EQ(monster.name, "Monster");
    EXPECT_EQ(monster.getLevel(), expected.level);
    EXPECT_EQ(monster.strength, expected.ability);
    EXPECT_EQ(monster.dexterity, expected.ability);
    EXPECT_EQ(monster.constitution, expected.ability);
    EXPECT_EQ(monster.strengthModifier, modifierOf(expected.ability));
    EXPECT_EQ(monster.dexterityModifier, modifierOf(expected.ability));
    EXPECT_EQ(monster.maxHitPoints, expected.maxHitPoints);
    EXPECT_EQ(monster.hitPoints, expected.maxHitPoints) << "a monster starts at its maximum";
    EXPECT_DOUBLE_EQ(monster.gold, expected.gold);
    const int w = expected.weaponIndex;
    EXPECT_EQ(monster.weapon.name, weapons.names[w]);
    EXPECT_EQ(monster.weapon.diceCount, weapons.diceCounts[w]);
    EXPECT_EQ(monster.weapon.dieSize, weapons.dieSizes[w]);
    EXPECT_EQ(monster.weapon.criticalThreshold, weapons.criticalThresholds[w]);
    EXPECT_EQ(monster.weapon.criticalMultiplier, weapons.criticalMultipliers[w]);
    const int a = expected.armorIndex;
    EXPECT_EQ(monster.armor.name, armors.names[a]);
    EXPECT_EQ(monster.armor.armorBonus, armors.armorBonuses[a]);
    EXPECT_EQ(monster.armor.maxDexterityBonus, armors.maxDexterityBonuses[a]);
}

TEST(Opponent, LevelDecidesAbilitiesHitPointsAndTheItemsBought) {
    const LevelCase cases[] = {
        {1, 0, 0}, {2, 1, 1}, {13, 12, 12}, {14, 12, 13}, {16, 12, 14}, {25, 12, 14},
    };
    ConsoleCapture console;
    const WeaponCatalog weapons(combatDataFile("weaponlist.txt"));
    const ArmorCatalog armors(combatDataFile("armorlist.txt"));
    ASSERT_TRUE(weapons.loaded() && armors.loaded());
    for (const LevelCase& c : cases) {
        SCOPED_TRACE("level " + std::to_string(c.level));
        DrawReplay replay(1000u + static_cast<unsigned>(c.level));
        replay.start();
        const ExpectedMonster expected =
            expectMonster(c.level, weapons, armors, [&replay] { return replay.draw(); });
        ASSERT_EQ(expected.armorIndex, c.armorIndex)
            << "the sample prices must let the monster buy its items";
        ASSERT_EQ(expected.weaponIndex, c.weaponIndex);
        console.take();
        const Character monster = createOpponent(c.level, armors, weapons);
        EXPECT_EQ(console.take(), expected.text);
        EXPECT_EQ(std::rand(), replay.draw()) << "one hit-point draw per level-up and no other";
        expectBuiltAs(monster, expected, weapons, armors);
        EXPECT_DOUBLE_EQ(
            monster.gold,
            1200.0 - (c.level == 1 ? 0.0 : armors.prices[c.armorIndex] + weapons.prices[c.weaponIndex]));
        EXPECT_EQ(monster.experience, 0);
    }
}

// Entry 0 of each list is free; the entries a level-2, -3 and -4 monster
// wants are priced to test the purse: armor first, then the weapon from
// what is left.
std::string purseWeapons() {
    std::string text =
        "Stick;1;4;20;2;0\nExact Purse;1;6;20;2;1200\nToo Dear;1;8;19;2;600\nCheap Pick;1;4;20;2;100\n";
    for (int n = 5; n <= 15; ++n) {
        text += "Blade" + std::to_string(n) + ";1;6;20;2;" + std::to_string(n) + "\n";
    }
    return text;
}

std::string purseArmors() {
    std::string text = "Skin;0;8;0\nGold Plate;6;1;1300\nSilk Mail;4;3;700\nSkin;2;2;5\n";
    for (int n = 5; n <= 13; ++n) {
        text += "Coat" + std::to_string(n) + ";1;4;" + std::to_string(n) + "\n";
    }
    return text;
}

TEST(Opponent, LevelOneWritesNoLevelUpAndBuysNothingWithItsPurse) {
    const TempDataFile weaponFile(purseWeapons());
    const TempDataFile armorFile(purseArmors());
    ConsoleCapture console;
    const WeaponCatalog weapons(weaponFile.path());
    const ArmorCatalog armors(armorFile.path());
    console.take();
    std::srand(5);
    const Character monster = createOpponent(1, armors, weapons);
    EXPECT_EQ(console.take(),
              "Character Created\nSetting character armor to Skin\n"
              "Setting character weapon to Stick\nName Set to: Monster\n"
              "Stick 1d4 Critical Roll: 20 Critical Hit Multiplier: x2\n"
              "Skin AC: 0 Max Dexterity Bonus: +8");
    EXPECT_DOUBLE_EQ(monster.gold, 1200.0);
    EXPECT_EQ(monster.maxHitPoints, 9);
    EXPECT_EQ(monster.strength, 8);
}

struct PurseCase {
    int level;
    const char* armorMessage;
    const char* weaponMessage;
    const char* armorName;
    const char* weaponName;
    double gold;
};

TEST(Opponent, PurchasesTheGoldCannotCoverAreRefusedAndTheEntryZeroItemStays) {
    const PurseCase cases[] = {
        // Armor above 1200: refused, the whole purse goes to a weapon of exactly 1200.
        {2, "You can't afford that, poor ass!\n", "Setting character weapon to Exact Purse\n", "Skin",
         "Exact Purse", 0.0},
        // 700 for the armor leaves 500, short of the 600 weapon.
        {3, "Setting character armor to Silk Mail\n", "You can't afford that, poor ass!\n", "Silk Mail",
         "Stick", 500.0},
        // An armor named like the one worn is refused by name and costs nothing.
        {4, "Armor already equipped!\n", "Setting character weapon to Cheap Pick\n", "Skin", "Cheap Pick",
         1100.0},
    };
    const TempDataFile weaponFile(purseWeapons());
    const TempDataFile armorFile(purseArmors());
    ConsoleCapture console;
    const WeaponCatalog weapons(weaponFile.path());
    const ArmorCatalog armors(armorFile.path());
    ASSERT_TRUE(weapons.loaded() && armors.loaded());
    for (const PurseCase& c : cases) {
        SCOPED_TRACE("level " + std::to_string(c.level));
        DrawReplay replay(77);
        replay.start();
        const ExpectedMonster expected =
            expectMonster(c.level, weapons, armors, [&replay] { return replay.draw(); });
        console.take();
        const Character monster = createOpponent(c.level, armors, weapons);
        const std::string text = console.take();
        EXPECT_EQ(text, expected.text);
        EXPECT_NE(text.find(std::string(c.armorMessage) + c.weaponMessage), std::string::npos) << text;
        EXPECT_EQ(monster.armor.name, c.armorName);
        EXPECT_EQ(monster.weapon.name, c.weaponName);
        EXPECT_DOUBLE_EQ(monster.gold, c.gold);
        expectBuiltAs(monster, expected, weapons, armors);
    }
}

}  // namespace
