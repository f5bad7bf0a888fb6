// The two price lists, loaded once at start-up from semicolon-separated
// text files: their listings, equipping an entry, and the loaders' checks.
#pragma once

#include <array>
#include <string>

class Character;

// Why a data file could not be loaded, ready to be written as one line:
// "weaponlist.txt:3: the line has 4 fields, 6 are needed".
struct LoadError {
    std::string file;
    int line = 0;  // 0 when the file as a whole is at fault
    std::string reason;

    std::string message() const;
};

class WeaponCatalog {
public:
    static constexpr int Size = 15;
    std::array<std::string, Size> names;
    std::array<int, Size> diceCounts{};
    std::array<int, Size> dieSizes{};
    std::array<int, Size> criticalThresholds{};
    std::array<int, Size> criticalMultipliers{};
    std::array<double, Size> prices{};

    // Writes "Loading Weapon List" and reads the file; see loaded().
    explicit WeaponCatalog(const std::string& fileName);

    bool loaded() const { return error.reason.empty(); }
    const LoadError& loadError() const { return error; }

    void list() const;
    int equip(int index, Character& character) const;

private:
    LoadError error;
};

class ArmorCatalog {
public:
    static constexpr int Size = 13;
    std::array<std::string, Size> names;
    std::array<int, Size> armorBonuses{};
    std::array<int, Size> maxDexterityBonuses{};
    std::array<double, Size> prices{};

    // Writes "Loading Armor List" and reads the file; see loaded().
    explicit ArmorCatalog(const std::string& fileName);

    bool loaded() const { return error.reason.empty(); }
    const LoadError& loadError() const { return error; }

    void list() const;
    int equip(int index, Character& character) const;

private:
    LoadError error;
};
