// Where the two price lists are read from: a folder named on the command
// line, or the first of the usual places that holds either list.
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

// The folders searched when no folder is named, in order; an empty string
// stands for the working directory. `executable` is the running program's
// real path (empty when unknown): a tree installed or moved anywhere keeps
// its lists in ../share/games/brawlarium from the program's folder.
std::vector<std::string> priceListFolders(const std::string& executable);

// The lists of the named folder when there is one (missing files there are
// the loaders' to report); otherwise those of the first folder in the given
// order that holds either list, both taken from it. Nothing when none does.
std::optional<PriceListFiles> findPriceLists(const std::optional<std::string>& namedFolder,
                                             const std::vector<std::string>& folders);

// One line, without a line end, that says the lists were not found and
// names every folder searched.
std::string notFoundMessage(const std::vector<std::string>& folders);
