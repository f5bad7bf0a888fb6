// The character record: creation defaults, naming, rolling, modifiers, hit
// points, death, reset and the one-line item displays.
#include "character/character.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <string>

#include "support/capture.h"

namespace {

// The line of displayStats that starts with the given label, with its line end.
std::string lineStartingWith(const std::string& text, const std::string& label) {
    const std::size_t start = text.find("\n" + label);
    if (start == std::string::npos) {
        return "";
    }
    const std::size_t end = text.find('\n', start + 1);
    return text.substr(start + 1, end - start);
}

TEST(CharacterTest, StatsScreenShowsEveryFieldInItsOwnPlace) {
    ConsoleCapture console;
    Character hero;
    hero.name = "Zed";
    hero.level = 7;
    hero.strength = 14;
    hero.dexterity = 11;
    hero.constitution = 13;
    hero.hitPoints = 30;
    hero.maxHitPoints = 42;
    hero.experience = 21500;
    hero.gold = 37.5;
    hero.weapon = Weapon{"Longsword", 1, 8, 19, 2, 150.0};
    hero.armor = Armor{"Chain Shirt", 4, 4, 60.0};
    console.take();
    hero.displayStats();
    EXPECT_EQ(console.take(),
              "Name: Zed\nLevel: 7\nStrength: 14\nDexterity: 11\nConstitution: 13\nHP: 30/42\n"
              "Experience: 21500\nGold: 37.5\n\nWeapon Used:\n"
              "Longsword 1d8 Critical Roll: 19-20 Critical Hit Multiplier: x2\n"
              "Armor Used:\nChain Shirt AC: 4 Max Dexterity Bonus: +4\n");
}

TEST(CharacterTest, GoldUsesTheDefaultFloatingPointFormat) {
    const struct {
        double gold;
        const char* shown;
    } cases[] = {
        {0.0, "Gold: 0\n"},
        {0.5, "Gold: 0.5\n"},
        {37.5, "Gold: 37.5\n"},
        {12.0, "Gold: 12\n"},
        {1234.5, "Gold: 1234.5\n"},
        {1200.25, "Gold: 1200.25\n"},
        {1234567.0, "Gold: 1.23457e+06\n"},
    };
    for (const auto& c : cases) {
        ConsoleCapture console;
        Character hero;
        hero.addGold(c.gold);
        EXPECT_EQ(hero.getGold(), c.gold);
        console.take();
        hero.displayStats();
        EXPECT_EQ(lineStartingWith(console.take(), "Gold: "), c.shown) << c.gold;
    }
}

TEST(CharacterTest, SetNameStoresTheWordUnchanged) {
    const char* names[] = {"Bob", "bob", "9lives", "\xc3\xa9lise", ""};
    for (const char* newName : names) {
        ConsoleCapture console;
        Character hero;
        hero.name = "Old";
        console.take();
        EXPECT_EQ(hero.setName(newName), 1);
        EXPECT_EQ(console.take(), std::string("Name Set to: ") + newName + "\n");
        EXPECT_EQ(hero.name, newName);
        EXPECT_EQ(hero.getName(), newName[0] == '\0' ? "Not Named" : newName);
    }
}

// Every seed's three draws, in the order strength, constitution, dexterity,
// and the hit points that follow from the constitution. Enough seeds are
// tried that every constitution from 8 to 12 comes up.
TEST(CharacterTest, RollStatsUsesThreeDrawsInOrder) {
    std::set<int> constitutionsSeen;
    for (unsigned seed = 1; seed <= 60; ++seed) {
        ConsoleCapture console;
        Character hero;
        hero.name = "Kept";
        hero.gold = 12.5;
        console.take();

        DrawReplay replay(seed);
        replay.start();
        hero.rollStats();
        const int strength = replay.draw() % 5 + 8;
        const int constitution = replay.draw() % 5 + 8;
        const int dexterity = replay.draw() % 5 + 8;
        const int hitPoints = 10 + constitution / 2 - 5;
        constitutionsSeen.insert(constitution);

        EXPECT_EQ(console.take(), "Maximum Roll of 12 for all stats\nStrength: " + std::to_string(strength) +
                                      "\nConstitution: " + std::to_string(constitution) +
                                      "\nDexterity: " + std::to_string(dexterity) + "\n")
            << "seed " << seed;
        EXPECT_EQ(hero.dexterityModifier, dexterity / 2 - 5);
        EXPECT_EQ(hero.constitutionModifier, constitution / 2 - 5);
        EXPECT_EQ(hero.maxHitPoints, hitPoints);
        EXPECT_EQ(hero.hitPoints, hitPoints);
        EXPECT_EQ(hero.name, "Kept");
        EXPECT_EQ(hero.gold, 12.5);
        // The fourth value is still the next one to be drawn.
        EXPECT_EQ(std::rand(), replay.draw());
    }
    EXPECT_EQ(constitutionsSeen, (std::set<int>{8, 9, 10, 11, 12}));
}

TEST(CharacterTest, ModifiersFollowEachOwnScore) {
    const struct {
        int strength, dexterity, constitution;
        int strengthModifier, dexterityModifier, constitutionModifier;
    } cases[] = {
        {8, 9, 10, -1, -1, 0}, {11, 12, 13, 0, 1, 1}, {14, 15, 8, 2, 2, -1},
        {12, 8, 15, 1, -1, 2}, {20, 21, 29, 5, 5, 9}, {9, 13, 11, -1, 1, 0},
    };
    for (const auto& c : cases) {
        ConsoleCapture console;
        Character hero;
        hero.strength = c.strength;
        hero.dexterity = c.dexterity;
        hero.constitution = c.constitution;
        hero.computeModifiers();
        EXPECT_EQ(hero.strengthModifier, c.strengthModifier) << c.strength;
        EXPECT_EQ(hero.dexterityModifier, c.dexterityModifier) << c.dexterity;
        EXPECT_EQ(hero.constitutionModifier, c.constitutionModifier) << c.constitution;
    }
}

TEST(CharacterTest, ChangeHitPointsClampsAtZeroOnlyAndReportsWithTheNameField) {
    const struct {
        const char* name;
        int start;
        int amount;
        int after;
        const char* line;
    } cases[] = {
        {"Bob", 5, -20, 0, "Bob has 0HP remaining!\n"},
        {"Bob", 5, -5, 0, "Bob has 0HP remaining!\n"},
        {"Bob", 5, -4, 1, "Bob has 1HP remaining!\n"},
        {"Monster", 9, 3, 12, "Monster has 12HP remaining!\n"},
        {"Bob", 0, 0, 0, "Bob has 0HP remaining!\n"},
        {"", 7, -2, 5, " has 5HP remaining!\n"},
        // Amounts at the ends of the range saturate instead of overflowing.
        {"Bob", 5, INT_MIN, 0, "Bob has 0HP remaining!\n"},
        {"Bob", INT_MAX - 5, 100, INT_MAX, "Bob has 2147483647HP remaining!\n"},
    };
    for (const auto& c : cases) {
        ConsoleCapture console;
        Character hero;
        hero.name = c.name;
        hero.hitPoints = c.start;
        console.take();
        hero.changeHitPoints(c.amount);
        EXPECT_EQ(hero.getHitPoints(), c.after);
        EXPECT_EQ(hero.maxHitPoints, 9);
        EXPECT_EQ(console.take(), c.line);
    }
}

TEST(CharacterTest, IsDeadOnlyAtZeroAndSaysSoEveryTime) {
    ConsoleCapture console;
    Character hero;
    hero.name = "Bob";
    hero.hitPoints = 1;
    console.take();
    EXPECT_FALSE(hero.isDead());
    EXPECT_EQ(console.take(), "");

    hero.changeHitPoints(-20);
    console.take();
    EXPECT_TRUE(hero.isDead());
    EXPECT_TRUE(hero.isDead());
    EXPECT_EQ(console.take(), "Bob Died.\nBob Died.\n");

    hero.name.clear();
    EXPECT_TRUE(hero.isDead());
    EXPECT_EQ(console.take(), " Died.\n");

    hero.restoreHitPoints();
    EXPECT_EQ(hero.getHitPoints(), 9);
    EXPECT_FALSE(hero.isDead());
}

// A new character and a reset one show the same creation values; reset
// leaves the equipment and the fight flags alone.
TEST(CharacterTest, NewAndResetCharactersHaveTheCreationValues) {
    const std::string creationStats =
        "Name: \nLevel: 1\nStrength: 8\nDexterity: 8\nConstitution: 8\nHP: 9/9\nExperience: 0\nGold: 0\n"
        "\nWeapon Used:\nGreatsword 2d6 Critical Roll: 19-20 Critical Hit Multiplier: x2\n"
        "Armor Used:\nFull Plate AC: 8 Max Dexterity Bonus: +1\n";
    ConsoleCapture console;
    Character hero;
    EXPECT_EQ(console.take(), "Character Created\n");
    EXPECT_EQ(hero.getName(), "Not Named");
    hero.weapon = Weapon{"Greatsword", 2, 6, 19, 2, 400.0};
    hero.armor = Armor{"Full Plate", 8, 1, 380.0};
    hero.displayStats();
    EXPECT_EQ(console.take(), creationStats);

    hero.name = "Bob";
    hero.strength = 15;
    hero.dexterity = 14;
    hero.constitution = 16;
    hero.computeModifiers();
    hero.level = 9;
    hero.hitPoints = 3;
    hero.maxHitPoints = 70;
    hero.experience = 40000;
    hero.gold = 37.5;
    hero.highestLevelBeaten = 8;
    hero.attacksFirst = true;
    hero.criticalHit = true;
    hero.reset();
    EXPECT_EQ(console.take(), "");
    EXPECT_EQ(hero.strengthModifier, -1);
    EXPECT_EQ(hero.dexterityModifier, -1);
    EXPECT_EQ(hero.constitutionModifier, -1);
    EXPECT_EQ(hero.highestLevelBeaten, 0);
    EXPECT_TRUE(hero.attacksFirst);
    EXPECT_TRUE(hero.criticalHit);
    hero.displayStats();
    EXPECT_EQ(console.take(), creationStats);
}

TEST(CharacterTest, WeaponDisplayShowsTheCriticalRange) {
    const struct {
        Weapon weapon;
        const char* line;
    } cases[] = {
        {{"Mace", 1, 8, 20, 2, 80.0}, "Mace 1d8 Critical Roll: 20 Critical Hit Multiplier: x2\n"},
        {{"Long Sword ", 1, 8, 19, 2, 15.0},
         "Long Sword  1d8 Critical Roll: 19-20 Critical Hit Multiplier: x2\n"},
        {{"Odd", 2, 10, 0, 3, 1.0}, "Odd 2d10 Critical Roll: 0-20 Critical Hit Multiplier: x3\n"},
        {{"Wide", 1, 4, 21, 4, 1.0}, "Wide 1d4 Critical Roll: 21-20 Critical Hit Multiplier: x4\n"},
    };
    for (const auto& c : cases) {
        ConsoleCapture console;
        c.weapon.display();
        EXPECT_EQ(console.take(), c.line);
    }
}

TEST(CharacterTest, ArmorDisplayLeavesTheLineOpen) {
    const struct {
        Armor armor;
        const char* text;
    } cases[] = {
        {{"Leather", 2, 3, 10.0}, "Leather AC: 2 Max Dexterity Bonus: +3"},
        {{"Cursed Mail", -1, -1, 0.0}, "Cursed Mail AC: -1 Max Dexterity Bonus: +-1"},
        {{"Full Plate", 8, 0, 380.0}, "Full Plate AC: 8 Max Dexterity Bonus: +0"},
    };
    for (const auto& c : cases) {
        ConsoleCapture console;
        c.armor.display();
        EXPECT_EQ(console.take(), c.text);
    }
}

}  // namespace
