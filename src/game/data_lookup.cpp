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

}  // namespace

std::vector<std::string> priceListFolders(const std::string& executable) {
    std::vector<std::string> folders{""};
    for (const std::string& folder : platformDataFolders()) {
        folders.push_back(folder);
    }
    const std::string installed = BRAWLARIUM_INSTALLED_DATA_DIR;
    if (!executable.empty()) {
        const std::string besideProgram =
            (std::filesystem::path(executable).parent_path().parent_path() / "share" / "games" / "brawlarium")
                .lexically_normal()
                .string();
        // Installed where it was configured for, both name the same folder.
        if (besideProgram != installed) {
            folders.push_back(besideProgram);
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
