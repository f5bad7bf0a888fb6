// Writes the built-in sample price lists into a folder for list authors:
// both files or none, and never over a file that is there already.
#include "game/sample_lists.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <utility>
#include <vector>

#include "equipment/catalogs.h"

namespace fs = std::filesystem;

namespace {

std::string inFolder(const std::string& folder, const char* name) {
    return (fs::path(folder) / name).string();
}

// The system's reason for the last failure, or a plain one when it gave none.
std::string systemReason(int error) { return error != 0 ? std::strerror(error) : "unknown error"; }

// Whether something, even a dangling link, already has the name.
bool taken(const std::string& path) {
    std::error_code ignored;
    return fs::symlink_status(path, ignored).type() != fs::file_type::not_found;
}

// Writes the bytes into a new file; returns the system's reason on failure.
std::optional<std::string> writeFile(const std::string& path, std::string_view bytes) {
    errno = 0;
    std::ofstream file(path, std::ios::binary);
    if (file) {
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        file.flush();
    }
    if (file) {
        return std::nullopt;
    }
    return systemReason(errno);
}

// The folder as a shell takes it: in double quotes when it holds more than
// letters, digits and the usual signs of a path.
std::string quotedForShells(const std::string& folder) {
    const bool plain = folder.find_first_not_of(
                           "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                           "0123456789_+-.,/:\\@%") == std::string::npos;
    return plain ? folder : "\"" + folder + "\"";
}

}  // namespace

std::optional<std::string> writeSampleLists(const std::string& folder) {
    const std::vector<std::pair<std::string, std::string_view>> files{
        {inFolder(folder, WeaponCatalog::StandardFileName), SampleWeaponList},
        {inFolder(folder, ArmorCatalog::StandardFileName), SampleArmorList}};
    std::error_code error;
    if (fs::exists(folder, error) && !fs::is_directory(folder, error)) {
        return folder + " is not a folder: nothing written";
    }
    std::vector<std::string> existing;
    for (const auto& file : files) {
        if (taken(file.first)) {
            existing.push_back(file.first);
        }
    }
    if (!existing.empty()) {
        return (existing.size() == 1 ? existing[0] + " already exists"
                                     : existing[0] + " and " + existing[1] + " already exist") +
               ", and --sample-lists never replaces a file: nothing written";
    }
    fs::create_directories(folder, error);
    if (error) {
        return "cannot make the folder " + folder + ": " + error.message() + ": nothing written";
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (const std::optional<std::string> reason = writeFile(files[i].first, files[i].second)) {
            // Both or none: what was written so far goes again.
            for (std::size_t written = 0; written <= i; ++written) {
                fs::remove(files[written].first, error);
            }
            return "cannot write " + files[i].first + ": " + *reason + ": nothing written";
        }
    }
    return std::nullopt;
}

std::string sampleListsWritten(const std::string& folder) {
    return "Wrote the sample price lists " + inFolder(folder, WeaponCatalog::StandardFileName) + " and " +
           inFolder(folder, ArmorCatalog::StandardFileName) +
           ".\nOnce edited, check them with: brawlarium --check-data --data " + quotedForShells(folder) +
           "\n";
}
