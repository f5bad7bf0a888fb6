// The dice of a fight, checked against the random sequence replayed from a
// known seed: each roll must use exactly its own draws, in order.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "character/character.h"
#include "support/capture.h"

namespace {

constexpr unsigned Seed = 20240611;

void setAbilities(Character& character, int strength, int dexterity) {
    character.strength = strength;
    character.dexterity = dexterity;
    character.computeModifiers();
}

TEST(CombatRolls, InitiativeIsOneD20PlusTheDexterityModifier) {
    ConsoleCapture console;
    Character character;
    for (const int dexterity : {8, 10, 12, 15, 21}) {
        SCOPED_TRACE(dexterity);
        setAbilities(character, 8, dexterity);
        DrawReplay replay(Seed + dexterity);
        replay.start();
        for (int roll = 0; roll < 40; ++roll) {
            EXPECT_EQ(character.rollInitiative(), replay.die(20) + dexterity / 2 - 5);
        }
        EXPECT_EQ(std::rand(), replay.draw()) << "initiative must take exactly one draw";
    }
    EXPECT_EQ(console.take(), "Character Created\n") << "rolls write nothing";
}

// The critical flag follows the natural roll against the threshold; every
// attack writes it, so a roll below the threshold clears an earlier one.
TEST(CombatRolls, AttackTotalAndCriticalFlagFollowTheNaturalRoll) {
    ConsoleCapture console;
    Character character;
    setAbilities(character, 14, 8);
    character.level = 3;
    for (const int threshold : {-4, 0, 1, 2, 15, 19, 20, 21, 30}) {
        SCOPED_TRACE(threshold);
        character.weapon.criticalThreshold = threshold;
        DrawReplay replay(Seed + 100 + threshold);
        replay.start();
        int naturalTwenties = 0;
        for (int roll = 0; roll < 400; ++roll) {
            const int natural = replay.die(20);
            naturalTwenties += natural == 20 ? 1 : 0;
            character.criticalHit = natural < threshold;  // the opposite of what must come out
            ASSERT_EQ(character.rollAttack(), 3 + 2 + natural);
            ASSERT_EQ(character.criticalHit, natural >= threshold) << "natural roll " << natural;
            if (threshold <= 1) {
                ASSERT_TRUE(character.criticalHit);
            }
            if (threshold > 20) {
                ASSERT_FALSE(character.criticalHit);
            }
        }
        EXPECT_GT(naturalTwenties, 0) << "the sample never reached a natural 20";
        EXPECT_EQ(std::rand(), replay.draw());
    }
    EXPECT_EQ(console.take(), "Character Created\n");
}

struct ArmorClassCase {
    int dexterity;
    int armorBonus;
    int maxDexterityBonus;
    int armorClass;
};

TEST(CombatRolls, ArmorClassCountsTheDexterityModifierUpToTheCap) {
    const ArmorClassCase cases[] = {
        {12, 2, 3, 13},   // modifier +1 under a cap of 3
        {14, 1, 1, 12},   // modifier +2 capped at 1
        {12, 0, 1, 11},   // modifier equal to the cap
        {20, 0, 8, 15},   // a high cap lets +5 through
        {8, 0, 0, 9},     // modifier -1 under a cap of 0 lowers the class
        {8, 5, 3, 14},    // a negative modifier is never raised to the cap
        {15, 4, -1, 13},  // a negative cap counts as it is
        {8, 3, -2, 11},   // the smaller of -1 and -2
    };
    ConsoleCapture console;
    Character character;
    for (const ArmorClassCase& c : cases) {
        SCOPED_TRACE(c.dexterity);
        setAbilities(character, 8, c.dexterity);
        character.armor.armorBonus = c.armorBonus;
        character.armor.maxDexterityBonus = c.maxDexterityBonus;
        DrawReplay replay(Seed);
        replay.start();
        EXPECT_EQ(character.getArmorClass(), c.armorClass);
        EXPECT_EQ(std::rand(), replay.draw()) << "armor class takes no draw";
    }
}

struct DamageCase {
    const char* name;
    int diceCount;
    int dieSize;
    int strength;
    bool critical;
    int multiplier;
};

// The expected damage is rebuilt from the replayed dice: each die 1 to
// dieSize, the strength modifier added, and only then the multiplier.
TEST(CombatRolls, DamageAddsTheModifierBeforeTheCriticalMultiplier) {
    const DamageCase cases[] = {
        {"Hero", 2, 6, 12, false, 3},  {"Hero", 2, 6, 12, true, 3}, {"Hero", 3, 4, 9, false, 2},
        {"Hero", 3, 4, 16, true, 4},   {"Hero", 1, 1, 8, true, 2},  // (1 - 1) x 2: zero is written as it is
        {"Hero", 1, 1, 8, false, 2},                                // 1 - 1
        {"Hero", 0, 8, 8, false, 3},                                // no dice: the modifier alone, -1
        {"Hero", 0, 8, 8, true, 3},                                 // -1 x 3
        {"Hero", 0, 8, 12, true, 3},                                // +1 x 3
        {"Hero", -2, 8, 14, false, 2}, {"", 1, 10, 10, false, 2},   // an empty name shows as "Not Named"
        {"", 2, 3, 10, true, 2},
    };
    ConsoleCapture console;
    Character character;
    character.weapon.name = "Morning Star";
    for (const DamageCase& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.diceCount) + "d" +
                     std::to_string(c.dieSize) + (c.critical ? " critical" : ""));
        character.name = c.name;
        setAbilities(character, c.strength, 8);
        character.weapon.diceCount = c.diceCount;
        character.weapon.dieSize = c.dieSize;
        character.weapon.criticalMultiplier = c.multiplier;
        character.criticalHit = c.critical;
        DrawReplay replay(Seed + 7);
        replay.start();
        int expected = 0;
        for (int die = 0; die < c.diceCount; ++die) {
            expected += replay.die(c.dieSize);
        }
        expected += c.strength / 2 - 5;
        if (c.critical) {
            expected *= c.multiplier;
        }
        console.take();
        EXPECT_EQ(character.rollDamage(), expected);
        const std::string shown = c.name[0] == '\0' ? "Not Named" : c.name;
        EXPECT_EQ(console.take(),
                  shown + (c.critical ? " deals a CRITICAL STRIKE with " : " deals a major blow with ") +
                      "Morning Star,\nhitting for " + std::to_string(expected) + " damage!\n");
        EXPECT_EQ(std::rand(), replay.draw()) << "damage takes one draw per die and no more";
        EXPECT_EQ(character.criticalHit, c.critical) << "damage must not change the flag";
    }
}

// Dice that show 3 and 5 with a +1 modifier: 9, or 27 on a critical x3.
TEST(CombatRolls, WorkedDamageExample) {
    unsigned seed = 1;
    for (;; ++seed) {
        std::srand(seed);
        const int first = std::rand() % 6 + 1;
        const int second = std::rand() % 6 + 1;
        if (first == 3 && second == 5) {
            break;
        }
        ASSERT_LT(seed, 100000u) << "no seed gives the dice 3 and 5";
    }
    ConsoleCapture console;
    Character character;
    setAbilities(character, 12, 8);
    character.weapon = Weapon{"Twin Blades", 2, 6, 20, 3, 0.0};
    for (const bool critical : {false, true}) {
        character.criticalHit = critical;
        std::srand(seed);
        EXPECT_EQ(character.rollDamage(), critical ? 27 : 9);
    }
}

}  // namespace
