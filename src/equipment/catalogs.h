// The two price lists, loaded once at start-up from semicolon-separated
// text files: their listings, equipping an entry, and the loaders' checks.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "equipment/data_file.h"

class Character;

// A price list's file the first time the game names it: the path as given,
// followed by what the file is used as when its own name is not the
// standard one: "bad-weaponlist.txt (used as the weapon list)".
std::string introduceListFile(const std::string& file, const char* standardName, const char* use);

class WeaponCatalog {
public:
    static constexpr int Size = 15;
    static constexpr const char* StandardFileName = "weaponlist.txt";
    // "weaponlist.txt", or "bad.txt (used as the weapon list)".
    static std::string introduce(const std::string& file) {
        return introduceListFile(file, StandardFileName, "weapon list");
    }
    std::array<std::string, Size> names;
    std::array<int, Size> diceCounts{};
    std::array<int, Size> dieSizes{};
    std::array<int, Size> criticalThresholds{};
    std::array<int, Size> criticalMultipliers{};
    std::array<double, Size> prices{};

    // Writes "Loading Weapon List" and reads the file; see loaded().
    explicit WeaponCatalog(const std::string& fileName, LinesRead extent = LinesRead::Needed);

    bool loaded() const { return faults.empty(); }
    // The first fault, the one the game refuses to start with.
    const LoadError& loadError() const;
    // Every fault found, in the order of the file (at most MaxLoadFaults).
    const std::vector<LoadError>& loadFaults() const { return faults; }
    // What the game reads differently from what was probably meant, as
    // warnings: a byte-order mark, a number field with more than its number
    // or none at all, and (LinesRead::All) lines after the last one read.
    const std::vector<LoadError>& loadWarnings() const { return warnings; }
    // Whether the entry's line was read without a fault: the check warns
    // about every such line, beside the faults of the others.
    bool lineRead(int index) const { return linesRead[static_cast<std::size_t>(index)]; }

    void list() const;
    int equip(int index, Character& character) const;

private:
    std::vector<LoadError> faults;
    std::vector<LoadError> warnings;
    std::array<bool, Size> linesRead{};
};

class ArmorCatalog {
public:
    static constexpr int Size = 13;
    static constexpr const char* StandardFileName = "armorlist.txt";
    // "armorlist.txt", or "bad.txt (used as the armor list)".
    static std::string introduce(const std::string& file) {
        return introduceListFile(file, StandardFileName, "armor list");
    }
    std::array<std::string, Size> names;
    std::array<int, Size> armorBonuses{};
    std::array<int, Size> maxDexterityBonuses{};
    std::array<double, Size> prices{};

    // Writes "Loading Armor List" and reads the file; see loaded().
    explicit ArmorCatalog(const std::string& fileName, LinesRead extent = LinesRead::Needed);

    bool loaded() const { return faults.empty(); }
    // The first fault, the one the game refuses to start with.
    const LoadError& loadError() const;
    // Every fault found, in the order of the file (at most MaxLoadFaults).
    const std::vector<LoadError>& loadFaults() const { return faults; }
    // What the game reads differently from what was probably meant, as
    // warnings: a byte-order mark, a number field with more than its number
    // or none at all, and (LinesRead::All) lines after the last one read.
    const std::vector<LoadError>& loadWarnings() const { return warnings; }
    // Whether the entry's line was read without a fault: the check warns
    // about every such line, beside the faults of the others.
    bool lineRead(int index) const { return linesRead[static_cast<std::size_t>(index)]; }

    void list() const;
    int equip(int index, Character& character) const;

private:
    std::vector<LoadError> faults;
    std::vector<LoadError> warnings;
    std::array<bool, Size> linesRead{};
};
