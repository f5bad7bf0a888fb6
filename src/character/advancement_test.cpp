// Advancement: the experience table, victory rewards, level checks and the
// level step with its replayed draw.
#include <gtest/gtest.h>

#include <string>

#include "character/character.h"
#include "character/experience_table.h"
#include "support/capture.h"

namespace {

// What one level step does to a character, with the draw the game takes.
struct Expected {
    int level, strength, dexterity, constitution, maxHitPoints;

    void step(DrawReplay& replay) {
        ++level;
        ++strength;
        ++dexterity;
        ++constitution;
        maxHitPoints += replay.draw() % 10 + (constitution / 2 - 5) + 1;
    }
    std::string announcement() const {
        return "Congratulations, you have reached level " + std::to_string(level) +
               "\nNew Strength: " + std::to_string(strength) +
               " New Dexterity: " + std::to_string(dexterity) +
               " New Constitution: " + std::to_string(constitution) +
               " New Maximum HP: " + std::to_string(maxHitPoints) + "\n";
    }
};

void expectMatches(const Character& hero, const Expected& expected) {
    EXPECT_EQ(hero.level, expected.level);
    EXPECT_EQ(hero.strength, expected.strength);
    EXPECT_EQ(hero.dexterity, expected.dexterity);
    EXPECT_EQ(hero.constitution, expected.constitution);
    EXPECT_EQ(hero.maxHitPoints, expected.maxHitPoints);
    EXPECT_EQ(hero.hitPoints, expected.maxHitPoints);
    EXPECT_EQ(hero.constitutionModifier, expected.constitution / 2 - 5);
    EXPECT_EQ(hero.strengthModifier, expected.strength / 2 - 5);
    EXPECT_EQ(hero.dexterityModifier, expected.dexterity / 2 - 5);
}

TEST(ExperienceTableTest, HoldsTheCumulativeThresholds) {
    const ExperienceTable table;
    EXPECT_EQ(table.levelCount, 20);
    const int thresholds[21] = {0,     0,      1000,   3000,   6000,   10000,  15000,
                                21000, 28000,  36000,  45000,  55000,  66000,  78000,
                                91000, 105000, 120000, 136000, 153000, 171000, 190000};
    for (int level = 0; level <= 20; ++level) {
        EXPECT_EQ(table.thresholds[level], thresholds[level]) << "level " << level;
    }
}

TEST(AdvancementTest, VictoryPaysByLevelDifference) {
    const struct {
        int difference;
        int experience;
        double gold;
        const char* message;
    } rows[] = {
        {-3, 300, 25, " received 300 experience and 25 gold for the victory!\n"},
        {-1, 300, 25, " received 300 experience and 25 gold for the victory!\n"},
        {0, 300, 25, " received 300 experience and 25 gold for the victory!\n"},
        {1, 150, 12, " received 150 experience and 12 gold for the victory!\n"},
        {2, 75, 6, " received 75 experience and 6 gold for the victory!\n"},
        {3, 35, 3, " received 35 experience and 3 gold for the victory!\n"},
        {4, 15, 1, " received 15 experience and 1 gold for the victory!\n"},
        {5, 5, 0.5, " received 5 experience and .5 gold for the victory!\n"},
        {6, 5, 0.5, " received 5 experience and .5 gold for the victory!\n"},
        {12, 5, 0.5, " received 5 experience and .5 gold for the victory!\n"},
    };
    for (const auto& row : rows) {
        ConsoleCapture console;
        Character hero;
        hero.name = "Ann";
        hero.level = 13;
        hero.experience = 100;
        hero.gold = 2.5;
        console.take();
        hero.awardVictory(13 - row.difference);
        EXPECT_EQ(console.take(), std::string("Ann") + row.message) << "d = " << row.difference;
        EXPECT_EQ(hero.experience, 100 + row.experience) << "d = " << row.difference;
        EXPECT_EQ(hero.gold, 2.5 + row.gold) << "d = " << row.difference;
        EXPECT_EQ(hero.level, 13);
    }

    // The message starts with the name field itself; two half pieces make one.
    ConsoleCapture console;
    Character hero;
    hero.level = 6;
    console.take();
    hero.awardVictory(1);
    hero.awardVictory(-5);
    EXPECT_EQ(console.take(),
              " received 5 experience and .5 gold for the victory!\n"
              " received 5 experience and .5 gold for the victory!\n");
    EXPECT_EQ(hero.gold, 1.0);
    EXPECT_EQ(hero.experience, 10);
}

// Each row: a wounded character at a level with some experience;
// checkLevelUp must apply exactly the levels the table allows, each with one
// draw, the new constitution modifier, full hit points and its announcement.
TEST(AdvancementTest, CheckLevelUpAppliesEveryLevelReached) {
    const struct {
        int level;
        int experience;
        int constitution;
        int expectedLevel;
    } cases[] = {
        {1, 999, 8, 1},       {1, 1000, 8, 2},    {1, 2999, 12, 2},     {1, 3000, 11, 3},
        {1, 6000, 9, 4},      {3, 3300, 10, 3},   {3, 6100, 12, 4},     {19, 189999, 10, 19},
        {19, 190000, 10, 20}, {1, 190000, 8, 20}, {20, 500000, 10, 20}, {18, 2000000000, 9, 20},
    };
    const ExperienceTable table;
    for (const auto& c : cases) {
        ConsoleCapture console;
        Character hero;
        hero.level = c.level;
        hero.strength = 10;
        hero.dexterity = 9;
        hero.constitution = c.constitution;
        hero.computeModifiers();
        hero.maxHitPoints = 20;
        hero.hitPoints = 3;
        hero.experience = c.experience;
        console.take();

        DrawReplay replay(7u + static_cast<unsigned>(c.level));
        replay.start();
        Expected expected{c.level, 10, 9, c.constitution, 20};
        std::string announcements;
        while (expected.level < c.expectedLevel) {
            expected.step(replay);
            announcements += expected.announcement();
        }
        hero.checkLevelUp(table);
        EXPECT_EQ(console.take(), announcements) << c.level << " / " << c.experience;
        if (c.expectedLevel == c.level) {
            EXPECT_EQ(hero.hitPoints, 3);
            EXPECT_EQ(hero.maxHitPoints, 20);
        } else {
            expectMatches(hero, expected);
        }
        EXPECT_EQ(hero.experience, c.experience);
        EXPECT_EQ(std::rand(), replay.draw()) << "draws taken beyond the level steps";
    }
}

TEST(AdvancementTest, VictoryThenLevelCheckUsesTheLevelBeforeTheVictory) {
    const ExperienceTable table;
    ConsoleCapture console;
    Character hero;
    hero.name = "Ann";
    hero.level = 3;
    hero.experience = 5800;
    console.take();
    DrawReplay replay(99);
    replay.start();
    Expected expected{3, 8, 8, 8, 9};
    expected.step(replay);

    hero.awardVictory(3);
    hero.checkLevelUp(table);
    EXPECT_EQ(console.take(),
              "Ann received 300 experience and 25 gold for the victory!\n" + expected.announcement());
    EXPECT_EQ(hero.experience, 6100);
    EXPECT_EQ(hero.gold, 25.0);
    expectMatches(hero, expected);
}

}  // namespace
