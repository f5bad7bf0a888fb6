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

// Whether the sample lists are built into the game (the WebAssembly build),
// rather than installed beside it.
bool sampleListsBuiltIn();

// Whether the file is one of the sample lists built into the game.
bool isBuiltInSampleList(const std::string& file);

// Where the sample lists are, in words, and how to get a copy: "the sample
// lists are in FOLDER (brawlarium --sample-lists DIR writes a copy)". Natively
// FOLDER is the first of the program's own data folder and the installed one
// that holds both; `executable` is as for priceListFolders.
std::string sampleListsWhereabouts(const std::string& executable);

// When the lookup took a folder that holds one of the lists it needed but
// not the other: one line, without a line end, saying that both lists must
// be in one folder, and then `whereabouts`. Nothing otherwise: a named
// folder's or a named file's absence is the loader's to report.
std::optional<std::string> loneListMessage(const NamedPriceLists& named, const PriceListFiles& files,
                                           const std::string& whereabouts);
