// The character record: creation defaults, rolling, the statistics screen,
// hit points and the item displays.
#include "character/character.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <iostream>

void Weapon::display() const {
    std::cout << name << " " << diceCount << "d" << dieSize << " Critical Roll: ";
    if (criticalThreshold == 20) {
        std::cout << "20";
    } else {
        std::cout << criticalThreshold << "-20";
    }
    std::cout << " Critical Hit Multiplier: x" << criticalMultiplier << std::endl;
}

void Armor::display() const {
    std::cout << name << " AC: " << armorBonus << " Max Dexterity Bonus: +" << maxDexterityBonus;
}

bool characterExists = false;

extern "C" int brawlariumCharacterExists() { return characterExists ? 1 : 0; }

Character::Character() {
    setCreationDefaults();
    std::cout << "Character Created\n";
}

void Character::setCreationDefaults() {
    name.clear();
    strength = 8;
    dexterity = 8;
    constitution = 8;
    level = 1;
    experience = 0;
    gold = 0.0;
    computeModifiers();
    maxHitPoints = 10 + constitutionModifier;
    hitPoints = maxHitPoints;
    highestLevelBeaten = 0;
}

std::string Character::getName() const { return name.empty() ? "Not Named" : name; }

int Character::setName(std::string newName) {
    name = std::move(newName);
    std::cout << "Name Set to: " << name << std::endl;
    return 1;
}

void Character::rollStats() {
    std::cout << "Maximum Roll of 12 for all stats\n";
    strength = std::rand() % 5 + 8;
    constitution = std::rand() % 5 + 8;
    dexterity = std::rand() % 5 + 8;
    computeModifiers();
    maxHitPoints = 10 + constitutionModifier;
    hitPoints = maxHitPoints;
    std::cout << "Strength: " << strength << std::endl;
    std::cout << "Constitution: " << constitution << std::endl;
    std::cout << "Dexterity: " << dexterity << std::endl;
}

void Character::displayStats() const {
    std::cout << "Name: " << name << std::endl;
    std::cout << "Level: " << level << std::endl;
    std::cout << "Strength: " << strength << std::endl;
    std::cout << "Dexterity: " << dexterity << std::endl;
    std::cout << "Constitution: " << constitution << std::endl;
    std::cout << "HP: " << hitPoints << "/" << maxHitPoints << std::endl;
    std::cout << "Experience: " << experience << std::endl;
    std::cout << "Gold: " << gold << std::endl;
    std::cout << "\nWeapon Used:\n";
    weapon.display();
    std::cout << "Armor Used:\n";
    armor.display();
    std::cout << std::endl;
}

void Character::computeModifiers() {
    strengthModifier = strength / 2 - 5;
    dexterityModifier = dexterity / 2 - 5;
    constitutionModifier = constitution / 2 - 5;
}

int Character::getLevel() const { return level; }

bool Character::isDead() const {
    if (hitPoints > 0) {
        return false;
    }
    std::cout << name << " Died.\n";
    return true;
}

void Character::changeHitPoints(int amount) {
    // Clamped at 0 below; above, only the 32-bit range limits it.
    hitPoints =
        static_cast<int>(std::clamp<long long>(static_cast<long long>(hitPoints) + amount, 0, INT_MAX));
    std::cout << name << " has " << hitPoints << "HP remaining!\n";
}

void Character::restoreHitPoints() { hitPoints = maxHitPoints; }

void Character::reset() { setCreationDefaults(); }

double Character::getGold() const { return gold; }

int Character::getHitPoints() const { return hitPoints; }

void Character::addGold(double amount) { gold += amount; }
