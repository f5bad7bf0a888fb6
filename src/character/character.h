// The record of one combatant, shared by the player's character and the
// monster: equipment, abilities and their modifiers, hit points, experience,
// gold, and the operations that show and change them.
#pragma once

#include <string>

class WeaponCatalog;
class ArmorCatalog;
class ExperienceTable;

// The equipped weapon; its values are copied in from the weapon catalog.
class Weapon {
public:
    std::string name;
    int diceCount = 0;
    int dieSize = 0;
    int criticalThreshold = 0;
    int criticalMultiplier = 0;
    double price = 0.0;

    // "Name XdY Critical Roll: T-20 Critical Hit Multiplier: xM" and a line end.
    void display() const;
};

// The equipped armor; its values are copied in from the armor catalog.
class Armor {
public:
    std::string name;
    int armorBonus = 0;
    int maxDexterityBonus = 0;
    double price = 0.0;

    // "Name AC: B Max Dexterity Bonus: +D", the line left open for the caller.
    void display() const;
};

// A named character exists: set by naming, cleared by the player's death
// (deleting a character does not clear it).
extern bool characterExists;

// characterExists for a host of the WebAssembly build, which calls it by this
// name to ask before it replaces a game that has a character.
extern "C" int brawlariumCharacterExists();

class Character {
public:
    Weapon weapon;
    Armor armor;
    int highestLevelBeaten = 0;
    bool attacksFirst = false;
    bool criticalHit = false;
    std::string name;
    int strength = 8;
    int dexterity = 8;
    int constitution = 8;
    int level = 1;
    int constitutionModifier = -1;
    int strengthModifier = -1;
    int dexterityModifier = -1;
    int hitPoints = 9;
    int maxHitPoints = 9;
    int experience = 0;
    double gold = 0.0;

    // Gives the creation defaults and writes "Character Created".
    Character();
    ~Character() = default;
    // A character is never copied; a new monster may be moved out of the
    // function that builds it.
    Character(const Character&) = delete;
    Character& operator=(const Character&) = delete;
    Character(Character&&) = default;
    Character& operator=(Character&&) = delete;

    // The name, or "Not Named" while it is empty.
    std::string getName() const;
    int setName(std::string newName);
    void rollStats();
    void displayStats() const;
    void computeModifiers();
    int getLevel() const;
    bool isDead() const;
    void changeHitPoints(int amount);
    void restoreHitPoints();
    void reset();
    double getGold() const;
    int getHitPoints() const;
    void addGold(double amount);

    // The character creation menu's screen and parser, called on the
    // player's record; they touch none of its fields.
    void displayCreationMenu() const;
    int parseCreationChoice(std::string answer) const;

    // Advancement. levelUp draws the hit-point die; levelUpWithDraw takes
    // the drawn value instead, so that the extremes can be worked out.
    void levelUp();
    void levelUpWithDraw(int draw);
    void showLevelUp() const;
    void awardVictory(int opponentLevel);
    void checkLevelUp(const ExperienceTable& table);

    // Purchases paid from gold; 1 when bought, 0 when refused.
    int buyWeapon(int index, const WeaponCatalog& catalog);
    int buyArmor(int index, const ArmorCatalog& catalog);

    // Combat rolls.
    int rollInitiative() const;
    int rollAttack();
    int getArmorClass() const;
    int rollDamage() const;
    // What rollAttack adds to the natural d20 roll.
    int attackBonus() const;
    // The damage of a hit whose dice showed diceTotal in all, as rollDamage
    // works it out (without writing anything).
    int damageFor(long long diceTotal, bool critical) const;

private:
    // The creation values shared by the constructor and reset.
    void setCreationDefaults();
};
