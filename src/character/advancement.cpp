// How a character advances: victory rewards by level difference, the
// experience table and the level step.
#include <cstdlib>
#include <iostream>

#include "character/character.h"
#include "character/experience_table.h"

ExperienceTable::ExperienceTable() {
    thresholds[0] = 0;
    thresholds[1] = 0;
    for (int level = 2; level <= levelCount; ++level) {
        thresholds[level] = thresholds[level - 1] + (level - 1) * 1000;
    }
}

namespace {
struct VictoryReward {
    int experience;
    double gold;
    const char* message;
};

// Indexed by the level difference, clamped to 0..5.
constexpr VictoryReward Rewards[] = {
    {300, 25, " received 300 experience and 25 gold for the victory!\n"},
    {150, 12, " received 150 experience and 12 gold for the victory!\n"},
    {75, 6, " received 75 experience and 6 gold for the victory!\n"},
    {35, 3, " received 35 experience and 3 gold for the victory!\n"},
    {15, 1, " received 15 experience and 1 gold for the victory!\n"},
    {5, 0.5, " received 5 experience and .5 gold for the victory!\n"},
};
}  // namespace

void Character::awardVictory(int opponentLevel) {
    // Widened so that no pair of levels can overflow the difference.
    const long long difference = static_cast<long long>(level) - opponentLevel;
    const long long row = difference < 0 ? 0 : (difference > 5 ? 5 : difference);
    const VictoryReward& reward = Rewards[row];
    std::cout << name << reward.message;
    experience += reward.experience;
    gold += reward.gold;
}

void Character::checkLevelUp(const ExperienceTable& table) {
    while (level < table.levelCount && experience >= table.thresholds[level + 1]) {
        levelUp();
        showLevelUp();
    }
}

void Character::levelUp() { levelUpWithDraw(std::rand()); }

void Character::levelUpWithDraw(int draw) {
    ++level;
    ++strength;
    ++constitution;
    ++dexterity;
    computeModifiers();
    maxHitPoints += (draw % 10) + constitutionModifier + 1;
    hitPoints = maxHitPoints;
}

void Character::showLevelUp() const {
    std::cout << "Congratulations, you have reached level " << level << std::endl;
    std::cout << "New Strength: " << strength << " New Dexterity: " << dexterity
              << " New Constitution: " << constitution << " New Maximum HP: " << maxHitPoints << std::endl;
}
