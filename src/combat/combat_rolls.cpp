// The dice of a fight: initiative, the attack roll with its critical flag,
// armor class, and damage.
#include <algorithm>
#include <cstdlib>
#include <iostream>

#include "character/character.h"

namespace {
// One die of the given size: 1 to sides.
int rollDie(int sides) { return std::rand() % sides + 1; }
}  // namespace

int Character::rollInitiative() const { return rollDie(20) + dexterityModifier; }

int Character::rollAttack() {
    const int naturalRoll = rollDie(20);
    criticalHit = naturalRoll >= weapon.criticalThreshold;
    return level + strengthModifier + naturalRoll;
}

int Character::getArmorClass() const {
    return 10 + armor.armorBonus + std::min(dexterityModifier, armor.maxDexterityBonus);
}

int Character::rollDamage() const {
    int total = 0;
    for (int die = 0; die < weapon.diceCount; ++die) {
        total += rollDie(weapon.dieSize);
    }
    total += strengthModifier;
    if (criticalHit) {
        total *= weapon.criticalMultiplier;
    }
    std::cout << getName() << (criticalHit ? " deals a CRITICAL STRIKE with " : " deals a major blow with ")
              << weapon.name;
    std::cout << ",\nhitting for " << total << " damage!\n";
    return total;
}
