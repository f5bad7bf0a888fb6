// The weapon and armor price lists: their layouts for the data-file reader,
// the listings, equipping, and the purchases paid from a character's gold.
#include "equipment/catalogs.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <optional>
#include <utility>

#include "character/character.h"

std::string introduceListFile(const std::string& file, const char* standardName, const char* use) {
    if (std::filesystem::path(file).filename() == standardName) {
        return file;
    }
    return file + " (used as the " + use + ")";
}

namespace {

const LoadError NoFault{};

}  // namespace

WeaponCatalog::WeaponCatalog(const std::string& fileName, LinesRead extent) {
    std::cout << "Loading Weapon List\n";
    DataFileReading reading = readDataFile(fileName, {Size, 6, "price"}, extent,
                                           [this](int i, const FieldReader& f) -> std::optional<std::string> {
                                               names[i] = std::string(f.text(0));
                                               diceCounts[i] = f.integer(1, "dice count");
                                               dieSizes[i] = f.integer(2, "die size");
                                               criticalThresholds[i] = f.integer(3, "critical threshold");
                                               criticalMultipliers[i] = f.integer(4, "critical multiplier");
                                               prices[i] = f.real(5, "price");
                                               if (dieSizes[i] < 1) {
                                                   // The damage roll draws modulo the die size.
                                                   return "the die size is " + std::to_string(dieSizes[i]) +
                                                          ", it must be 1 or more";
                                               }
                                               return std::nullopt;
                                           });
    faults = std::move(reading.faults);
    warnings = std::move(reading.warnings);
    std::copy(reading.linesRead.begin(), reading.linesRead.end(), linesRead.begin());
}

ArmorCatalog::ArmorCatalog(const std::string& fileName, LinesRead extent) {
    std::cout << "Loading Armor List\n";
    DataFileReading reading = readDataFile(fileName, {Size, 4, "price"}, extent,
                                           [this](int i, const FieldReader& f) -> std::optional<std::string> {
                                               names[i] = std::string(f.text(0));
                                               armorBonuses[i] = f.integer(1, "armor bonus");
                                               maxDexterityBonuses[i] = f.integer(2, "max dexterity bonus");
                                               prices[i] = f.real(3, "price");
                                               return std::nullopt;
                                           });
    faults = std::move(reading.faults);
    warnings = std::move(reading.warnings);
    std::copy(reading.linesRead.begin(), reading.linesRead.end(), linesRead.begin());
}

const LoadError& WeaponCatalog::loadError() const { return faults.empty() ? NoFault : faults.front(); }

const LoadError& ArmorCatalog::loadError() const { return faults.empty() ? NoFault : faults.front(); }

void WeaponCatalog::list() const {
    std::cout << "------LISTING WEAPONS-------\n";
    for (int i = 0; i < Size; ++i) {
        std::cout << "[" << i + 1 << "] " << names[i];
        if (names[i].size() < 12) {
            std::cout << "\t";
        }
        std::cout << "\t" << diceCounts[i] << "d" << dieSizes[i] << " (";
        if (criticalThresholds[i] == 20) {
            std::cout << "20/x";
        } else {
            std::cout << criticalThresholds[i] << "-20/x";
        }
        std::cout << criticalMultipliers[i] << ")\t" << prices[i] << "g" << std::endl;
    }
    std::cout << "[R] Return to the equipment menu.\n";
    std::cout << "---END WEAPON LIST--------\n";
}

void ArmorCatalog::list() const {
    std::cout << "------LISTING ARMOR-------\n";
    for (int i = 0; i < Size; ++i) {
        const int row = i + 1;
        std::cout << "[" << row << "] " << names[i];
        // Two-digit row numbers take one more column, so their names get the
        // extra tab one character sooner.
        const std::size_t tabBelow = row <= 9 ? 12 : 11;
        if (names[i].size() < tabBelow) {
            std::cout << "\t";
        }
        std::cout << "\tAC: +" << armorBonuses[i] << "\t";
        std::cout << "Max Dex: +" << maxDexterityBonuses[i] << "\t";
        std::cout << prices[i] << "g" << std::endl;
    }
    std::cout << "[R] Return to the equipment menu.\n";
    std::cout << "---END ARMOR LIST--------\n";
}

int WeaponCatalog::equip(int index, Character& character) const {
    Weapon& weapon = character.weapon;
    if (names[index] == weapon.name) {
        std::cout << "Already equipped with that weapon!\n";
        return 0;
    }
    weapon.name = names[index];
    std::cout << "Setting character weapon to " << weapon.name << std::endl;
    weapon.diceCount = diceCounts[index];
    weapon.dieSize = dieSizes[index];
    weapon.criticalThreshold = criticalThresholds[index];
    weapon.criticalMultiplier = criticalMultipliers[index];
    weapon.price = prices[index];
    return 1;
}

int ArmorCatalog::equip(int index, Character& character) const {
    Armor& armor = character.armor;
    if (names[index] == armor.name) {
        std::cout << "Armor already equipped!\n";
        return 0;
    }
    armor.name = names[index];
    std::cout << "Setting character armor to " << armor.name << std::endl;
    armor.armorBonus = armorBonuses[index];
    armor.maxDexterityBonus = maxDexterityBonuses[index];
    armor.price = prices[index];
    return 1;
}

namespace {
// Pays for an entry and puts it on: the gold test comes first, so an item
// that is worn and too dear only gets the can't-afford message.
template <typename Catalog>
int buy(Character& character, int index, const Catalog& catalog) {
    const double price = catalog.prices[index];
    if (!(character.gold >= price)) {
        std::cout << "You can't afford that, poor ass!\n";
        return 0;
    }
    if (catalog.equip(index, character) == 0) {
        return 0;
    }
    character.gold -= price;
    return 1;
}
}  // namespace

int Character::buyWeapon(int index, const WeaponCatalog& catalog) { return buy(*this, index, catalog); }

int Character::buyArmor(int index, const ArmorCatalog& catalog) { return buy(*this, index, catalog); }
