// The dice of a fight: initiative, the attack roll with its critical flag,
// armor class, and damage.
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <iostream>

#include "character/character.h"

namespace {
// One die of the given size: 1 to sides.
int rollDie(int sides) { return std::rand() % sides + 1; }

// Extreme values from a data file must not overflow: totals beyond the
// 32-bit range stop at its edge, and never at its lowest value so that a
// total can always be negated.
int saturate(long long value) { return static_cast<int>(std::clamp<long long>(value, -INT_MAX, INT_MAX)); }
}  // namespace

int Character::rollInitiative() const { return rollDie(20) + dexterityModifier; }

int Character::rollAttack() {
    const int naturalRoll = rollDie(20);
    criticalHit = naturalRoll >= weapon.criticalThreshold;
    return attackBonus() + naturalRoll;
}

int Character::attackBonus() const { return level + strengthModifier; }

int Character::getArmorClass() const {
    return saturate(10LL + armor.armorBonus + std::min(dexterityModifier, armor.maxDexterityBonus));
}

int Character::rollDamage() const {
    long long dice = 0;
    for (int die = 0; die < weapon.diceCount; ++die) {
        dice += rollDie(weapon.dieSize);
    }
    const int total = damageFor(dice, criticalHit);
    std::cout << getName() << (criticalHit ? " deals a CRITICAL STRIKE with " : " deals a major blow with ")
              << weapon.name;
    std::cout << ",\nhitting for " << total << " damage!\n";
    return total;
}

int Character::damageFor(long long diceTotal, bool critical) const {
    // The modifier is added before a critical hit multiplies, so it is
    // multiplied along with the dice.
    int total = saturate(diceTotal + strengthModifier);
    if (critical) {
        total = saturate(static_cast<long long>(total) * weapon.criticalMultiplier);
    }
    return total;
}
