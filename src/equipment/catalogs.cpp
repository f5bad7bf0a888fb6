// The weapon and armor price lists: loading the data files, the listings,
// equipping, and the purchases paid from a character's gold.
#include "equipment/catalogs.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <string_view>
#include <vector>

#include "character/character.h"
#include "console/numbers.h"

std::string LoadError::message() const {
    std::string text = file;
    if (line > 0) {
        text += ":" + std::to_string(line);
    }
    return text + ": " + reason;
}

namespace {

constexpr std::size_t MaxLineLength = 299;

// Splits a line on ';' the way strtok does: runs of separators count as one,
// and separators at the start or the end make no empty field.
std::vector<std::string_view> splitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (start < line.size()) {
        const std::size_t end = line.find(';', start);
        const std::size_t stop = end == std::string_view::npos ? line.size() : end;
        if (stop > start) {
            fields.push_back(line.substr(start, stop - start));
        }
        start = stop + 1;
    }
    return fields;
}

// Reads the first `count` lines of a data file and hands the fields of each
// to `take`. Returns every fault found, in the order of the file: a line at
// fault does not stop the reading, so that whoever writes the lists sees all
// of them at once; a missing line ends it, since every later one is missing
// too. The fields handed over always number at least `fieldCount`.
template <typename TakeFields>
std::vector<LoadError> readDataFile(const std::string& fileName, int count, std::size_t fieldCount,
                                    TakeFields take) {
    std::error_code ignored;
    if (std::filesystem::is_directory(fileName, ignored)) {
        return {{fileName, 0, "is a directory, not a file"}};
    }
    std::ifstream file_open(fileName);
    if (!file_open) {
        return {{fileName, 0, "cannot open the file for reading"}};
    }
    std::vector<LoadError> faults;
    std::string TextInformation;
    for (int index = 0; index < count && faults.size() < MaxLoadFaults; ++index) {
        const int lineNumber = index + 1;
        if (!std::getline(file_open, TextInformation)) {
            faults.push_back(
                {fileName, lineNumber, "missing line: " + std::to_string(count) + " lines are needed"});
            break;
        }
        // A file written on Windows keeps its carriage returns here; they are
        // not part of the line.
        if (!TextInformation.empty() && TextInformation.back() == '\r') {
            TextInformation.pop_back();
        }
        // The text ends at a NUL byte, as it would for a C string.
        std::string_view line(TextInformation.c_str());
        if (line.size() > MaxLineLength) {
            faults.push_back({fileName, lineNumber,
                              "the line is longer than " + std::to_string(MaxLineLength) + " characters"});
            continue;
        }
        const std::vector<std::string_view> fields = splitFields(line);
        if (fields.size() < fieldCount) {
            faults.push_back({fileName, lineNumber,
                              "the line has " + std::to_string(fields.size()) + " fields, " +
                                  std::to_string(fieldCount) + " are needed"});
            continue;
        }
        LoadError fault = take(index, fields);
        if (!fault.reason.empty()) {
            fault.file = fileName;
            fault.line = lineNumber;
            faults.push_back(fault);
        }
    }
    return faults;
}

const LoadError NoFault{};

}  // namespace

WeaponCatalog::WeaponCatalog(const std::string& fileName) {
    std::cout << "Loading Weapon List\n";
    faults = readDataFile(fileName, Size, 6, [this](int i, const std::vector<std::string_view>& f) {
        names[i] = std::string(f[0]);
        diceCounts[i] = readInteger(f[1]);
        dieSizes[i] = readInteger(f[2]);
        criticalThresholds[i] = readInteger(f[3]);
        criticalMultipliers[i] = readInteger(f[4]);
        prices[i] = readReal(f[5]);
        if (dieSizes[i] < 1) {
            // The damage roll draws modulo the die size.
            return LoadError{"", 0,
                             "the die size is " + std::to_string(dieSizes[i]) + ", it must be 1 or more"};
        }
        return LoadError{};
    });
}

ArmorCatalog::ArmorCatalog(const std::string& fileName) {
    std::cout << "Loading Armor List\n";
    faults = readDataFile(fileName, Size, 4, [this](int i, const std::vector<std::string_view>& f) {
        names[i] = std::string(f[0]);
        armorBonuses[i] = readInteger(f[1]);
        maxDexterityBonuses[i] = readInteger(f[2]);
        prices[i] = readReal(f[3]);
        return LoadError{};
    });
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
