// Reference models for the combat tests: where the price lists live, data
// files written for one test, and the monster a fight should build, worked
// out from the draws of a replayed random sequence.
#pragma once

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>

#include "equipment/catalogs.h"

// A file of the data directory (BRAWLARIUM_DATA_DIR, else the working one).
inline std::string combatDataFile(const std::string& name) {
    const char* directory = std::getenv("BRAWLARIUM_DATA_DIR");
    if (directory == nullptr || directory[0] == '\0') {
        return name;
    }
    return (std::filesystem::path(directory) / name).string();
}

// A price-list file with the given contents in the temporary directory,
// removed when the object goes. The name is random so that test runs from
// several build directories never share one.
class TempDataFile {
public:
    explicit TempDataFile(const std::string& contents) {
        std::random_device entropy;
        const std::string tag = std::to_string(entropy()) + "_" + std::to_string(entropy());
        path_ = (std::filesystem::temp_directory_path() / ("brawlarium_combat_" + tag + ".txt")).string();
        std::ofstream out(path_, std::ios::binary);
        out << contents;
    }
    ~TempDataFile() { std::remove(path_.c_str()); }
    TempDataFile(const TempDataFile&) = delete;
    TempDataFile& operator=(const TempDataFile&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string path_;
};

inline int modifierOf(int score) { return score / 2 - 5; }

// "Name XdY Critical Roll: T-20 Critical Hit Multiplier: xM" with its line end.
inline std::string weaponDisplayLine(const WeaponCatalog& weapons, int i) {
    std::ostringstream line;
    line << weapons.names[i] << " " << weapons.diceCounts[i] << "d" << weapons.dieSizes[i]
         << " Critical Roll: ";
    if (weapons.criticalThresholds[i] == 20) {
        line << "20";
    } else {
        line << weapons.criticalThresholds[i] << "-20";
    }
    line << " Critical Hit Multiplier: x" << weapons.criticalMultipliers[i] << "\n";
    return line.str();
}

// "Name AC: B Max Dexterity Bonus: +D", the line left open.
inline std::string armorDisplayText(const ArmorCatalog& armors, int i) {
    std::ostringstream line;
    line << armors.names[i] << " AC: " << armors.armorBonuses[i] << " Max Dexterity Bonus: +"
         << armors.maxDexterityBonuses[i];
    return line.str();
}

// The two lines announcing a level.
inline std::string levelUpLines(int level, int strength, int dexterity, int constitution, int maxHitPoints) {
    std::ostringstream text;
    text << "Congratulations, you have reached level " << level << "\n"
         << "New Strength: " << strength << " New Dexterity: " << dexterity
         << " New Constitution: " << constitution << " New Maximum HP: " << maxHitPoints << "\n";
    return text.str();
}

// What a monster of a given level should be after it is built, and every
// byte its building writes. Index 0 of each list is expected to be free.
struct ExpectedMonster {
    int level = 1;
    int ability = 8;  // strength, dexterity and constitution alike
    int maxHitPoints = 9;
    int armorIndex = 0;
    int weaponIndex = 0;
    double gold = 0.0;
    std::string text;
};

inline ExpectedMonster expectMonster(int level, const WeaponCatalog& weapons, const ArmorCatalog& armors,
                                     const std::function<int()>& draw) {
    ExpectedMonster monster;
    monster.level = level;
    monster.ability = 7 + level;
    monster.text = "Character Created\n";
    monster.text += "Setting character armor to " + armors.names[0] + "\n";
    monster.text += "Setting character weapon to " + weapons.names[0] + "\n";
    monster.text += "Name Set to: Monster\n";
    for (int reached = 2; reached <= level; ++reached) {
        const int score = 7 + reached;
        monster.maxHitPoints += draw() % 10 + modifierOf(score) + 1;
        monster.text += levelUpLines(reached, score, score, score, monster.maxHitPoints);
    }
    monster.gold = 1200.0;
    if (level != 1) {
        const int armorIndex = std::min(level - 1, 12);
        if (monster.gold < armors.prices[armorIndex]) {
            monster.text += "You can't afford that, poor ass!\n";
        } else if (armors.names[armorIndex] == armors.names[monster.armorIndex]) {
            monster.text += "Armor already equipped!\n";
        } else {
            monster.text += "Setting character armor to " + armors.names[armorIndex] + "\n";
            monster.gold -= armors.prices[armorIndex];
            monster.armorIndex = armorIndex;
        }
        const int weaponIndex = std::min(level - 1, 14);
        if (monster.gold < weapons.prices[weaponIndex]) {
            monster.text += "You can't afford that, poor ass!\n";
        } else if (weapons.names[weaponIndex] == weapons.names[monster.weaponIndex]) {
            monster.text += "Already equipped with that weapon!\n";
        } else {
            monster.text += "Setting character weapon to " + weapons.names[weaponIndex] + "\n";
            monster.gold -= weapons.prices[weaponIndex];
            monster.weaponIndex = weaponIndex;
        }
    }
    monster.text += weaponDisplayLine(weapons, monster.weaponIndex);
    monster.text += armorDisplayText(armors, monster.armorIndex);
    return monster;
}
