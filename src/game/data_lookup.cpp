// Finds the price lists: the named folder, else the working directory, the
// platform's data folders, the data folder beside the program's own, and the
// folder the lists were installed to.
#include "game/data_lookup.h"

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

PriceListFiles listsIn(const std::string& folder) {
    return {inFolder(folder, WeaponListName), inFolder(folder, ArmorListName)};
}

bool holdsEither(const std::string& folder) {
    std::error_code ignored;
    return std::filesystem::exists(inFolder(folder, WeaponListName), ignored) ||
           std::filesystem::exists(inFolder(folder, ArmorListName), ignored);
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

std::optional<PriceListFiles> findPriceLists(const std::optional<std::string>& namedFolder,
                                             const std::vector<std::string>& folders) {
    if (namedFolder) {
        return listsIn(*namedFolder);
    }
    for (const std::string& folder : folders) {
        if (holdsEither(folder)) {
            return listsIn(folder);
        }
    }
    return std::nullopt;
}

std::string notFoundMessage(const std::vector<std::string>& folders) {
    std::string message =
        std::string("cannot find ") + WeaponListName + " or " + ArmorListName + "; searched ";
    for (std::size_t i = 0; i < folders.size(); ++i) {
        message += (i == 0 ? "" : ", ") + describeFolder(folders[i]);
    }
    return message;
}
