// Finds the price lists: the files named, else the named folder, else the
// working directory, the platform's data folders, the data folder beside the
// program's own, and the folder the lists were installed to.
#include "game/data_lookup.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "console/console.h"

#ifndef BRAWLARIUM_INSTALLED_DATA_DIR
#error "BRAWLARIUM_INSTALLED_DATA_DIR must be defined by the build"
#endif
#ifndef BRAWLARIUM_SAMPLE_LISTS_BUILT_IN
#error "BRAWLARIUM_SAMPLE_LISTS_BUILT_IN must be defined by the build"
#endif

namespace {

std::string inFolder(const std::string& folder, const char* fileName) {
    return folder.empty() ? fileName : (std::filesystem::path(folder) / fileName).string();
}

// The standard names of the lists the command line does not name.
std::vector<const char*> listsNeeded(const NamedPriceLists& named) {
    std::vector<const char*> needed;
    if (!named.weaponFile) {
        needed.push_back(WeaponListName);
    }
    if (!named.armorFile) {
        needed.push_back(ArmorListName);
    }
    return needed;
}

// The files named, and the others from the folder.
PriceListFiles listsIn(const std::string& folder, const NamedPriceLists& named) {
    return {named.weaponFile.value_or(inFolder(folder, WeaponListName)),
            named.armorFile.value_or(inFolder(folder, ArmorListName))};
}

bool holdsAny(const std::string& folder, const std::vector<const char*>& names) {
    std::error_code ignored;
    return std::any_of(names.begin(), names.end(), [&folder, &ignored](const char* name) {
        return std::filesystem::exists(inFolder(folder, name), ignored);
    });
}

std::string describeFolder(const std::string& folder) {
    if (!folder.empty()) {
        return folder;
    }
    std::error_code error;
    const auto here = std::filesystem::current_path(error);
    return error ? std::string("the working directory") : "the working directory (" + here.string() + ")";
}

// The data folder of an installed tree from the program's real path:
// ../share/games/brawlarium from the program's folder.
std::string besideProgram(const std::string& executable) {
    return (std::filesystem::path(executable).parent_path().parent_path() / "share" / "games" / "brawlarium")
        .lexically_normal()
        .string();
}

bool holdsBoth(const std::string& folder) {
    std::error_code ignored;
    return std::filesystem::exists(inFolder(folder, WeaponListName), ignored) &&
           std::filesystem::exists(inFolder(folder, ArmorListName), ignored);
}

}  // namespace

std::vector<std::string> priceListFolders(const std::string& executable) {
    std::vector<std::string> folders{""};
    for (const std::string& folder : platformDataFolders()) {
        folders.push_back(folder);
    }
    const std::string installed = BRAWLARIUM_INSTALLED_DATA_DIR;
    if (!executable.empty()) {
        const std::string programsOwn = besideProgram(executable);
        // Installed where it was configured for, both name the same folder.
        if (programsOwn != installed) {
            folders.push_back(programsOwn);
        }
    }
    folders.push_back(installed);
    return folders;
}

std::optional<PriceListFiles> findPriceLists(const NamedPriceLists& named,
                                             const std::vector<std::string>& folders) {
    const std::vector<const char*> needed = listsNeeded(named);
    if (needed.empty() || named.folder) {
        return listsIn(named.folder.value_or(""), named);
    }
    for (const std::string& folder : folders) {
        if (holdsAny(folder, needed)) {
            return listsIn(folder, named);
        }
    }
    return std::nullopt;
}

std::string notFoundMessage(const NamedPriceLists& named, const std::vector<std::string>& folders) {
    std::string message = "cannot find ";
    const std::vector<const char*> needed = listsNeeded(named);
    for (std::size_t i = 0; i < needed.size(); ++i) {
        message += (i == 0 ? "" : " or ") + std::string(needed[i]);
    }
    message += "; searched ";
    for (std::size_t i = 0; i < folders.size(); ++i) {
        message += (i == 0 ? "" : ", ") + describeFolder(folders[i]);
    }
    return message;
}

bool sampleListsBuiltIn() { return BRAWLARIUM_SAMPLE_LISTS_BUILT_IN != 0; }

bool isBuiltInSampleList(const std::string& file) {
    return sampleListsBuiltIn() &&
           std::filesystem::path(file).parent_path() == std::filesystem::path(BRAWLARIUM_INSTALLED_DATA_DIR);
}

std::string sampleListsWhereabouts(const std::string& executable) {
    const std::string copy = " (brawlarium --sample-lists DIR writes a copy)";
    if (sampleListsBuiltIn()) {
        return "the sample lists are built into the game" + copy;
    }
    std::vector<std::string> candidates;
    if (!executable.empty()) {
        candidates.push_back(besideProgram(executable));
    }
    candidates.emplace_back(BRAWLARIUM_INSTALLED_DATA_DIR);
    const auto installed = std::find_if(candidates.begin(), candidates.end(), holdsBoth);
    if (installed != candidates.end()) {
        return "the sample lists are in " + *installed + copy;
    }
    return "brawlarium --sample-lists DIR writes the sample lists into DIR";
}

std::optional<std::string> loneListMessage(const NamedPriceLists& named, const PriceListFiles& files,
                                           const std::string& whereabouts) {
    const std::vector<const char*> needed = listsNeeded(named);
    if (named.folder || needed.size() < 2) {
        return std::nullopt;
    }
    std::error_code ignored;
    const bool weapons = std::filesystem::exists(files.weaponFile, ignored);
    const bool armors = std::filesystem::exists(files.armorFile, ignored);
    if (weapons == armors) {
        return std::nullopt;
    }
    const std::string found = weapons ? files.weaponFile : files.armorFile;
    const std::string folder = std::filesystem::path(found).parent_path().string();
    return "both price lists must be in one folder, and " + describeFolder(folder) + " holds " +
           (weapons ? WeaponListName : ArmorListName) + " but no " +
           (weapons ? ArmorListName : WeaponListName) + "; " + whereabouts;
}
