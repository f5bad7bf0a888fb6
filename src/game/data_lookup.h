// Where the two price lists are read from: files or a folder named on the
// command line, or the first of the usual places that holds a list needed.
#pragma once

#include <optional>
#include <string>
#include <vector>

inline constexpr const char* WeaponListName = "weaponlist.txt";
inline constexpr const char* ArmorListName = "armorlist.txt";

// The paths the loaders are given. Lists found in the working directory keep
// their bare names, so the game's messages about them read as they always did.
struct PriceListFiles {
    std::string weaponFile;
    std::string armorFile;
};

// What the command line names: a list's own file, of any name, and the
// folder the lists not named so come from.
struct NamedPriceLists {
    std::optional<std::string> weaponFile;
    std::optional<std::string> armorFile;
    std::optional<std::string> folder;
};

// The folders searched when no folder is named, in order; an empty string
// stands for the working directory. `executable` is the running program's
// real path (empty when unknown): a tree installed or moved anywhere keeps
// its lists in ../share/games/brawlarium from the program's folder.
std::vector<std::string> priceListFolders(const std::string& executable);

// The files named, as given; each list not named comes from the named
// folder when there is one (missing files there are the loaders' to
// report), otherwise from the first folder in the given order that holds
// either of the lists still needed, all of them taken from it. Nothing when
// none does.
std::optional<PriceListFiles> findPriceLists(const NamedPriceLists& named,
                                             const std::vector<std::string>& folders);

// One line, without a line end, that says the lists still needed were not
// found and names every folder searched.
std::string notFoundMessage(const NamedPriceLists& named, const std::vector<std::string>& folders);
