// From the command line to the game: options first, then the price lists'
// folder, then the game loop. Refusals go to standard error, one line each.
#include "game/brawlarium.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <iostream>
#include <optional>
#include <sstream>
#include <string_view>
#include <vector>

#include "combat/price_list_check.h"
#include "console/console.h"
#include "equipment/catalogs.h"
#include "game/command_line.h"
#include "game/data_lookup.h"
#include "game/game_loop.h"
#include "game/sample_lists.h"

namespace {

constexpr int BadCommandLine = 2;
constexpr int NoPriceLists = 1;
constexpr int CannotWrite = 1;
constexpr int CannotWriteSamples = 1;

int refuseCommandLine(const std::string& error) {
    std::cerr << "brawlarium: " << error << "\nTry 'brawlarium --help'." << std::endl;
    return BadCommandLine;
}

// Writes the text of --help, --version or --check-data. Returns false after
// saying why on standard error when it could not be written: output lost
// to a full disk must not pass for success.
bool writeOut(const std::string& text) {
    errno = 0;
    std::cout << text << std::flush;
    if (std::cout) {
        return true;
    }
    const int error = errno;
    std::cerr << "brawlarium: cannot write the output: "
              << (error != 0 ? std::strerror(error) : "unknown error") << std::endl;
    return false;
}

// The lists as the check's heading names them: the files as given, each
// with what it is used as when its name is not the list's own, and the
// built-in sample lists as such, with how to get a copy.
std::string namedInReport(const PriceListFiles& lists) {
    const bool weaponsBuiltIn = isBuiltInSampleList(lists.weaponFile);
    const bool armorsBuiltIn = isBuiltInSampleList(lists.armorFile);
    const std::string copy = " (brawlarium --sample-lists DIR writes a copy)";
    if (weaponsBuiltIn && armorsBuiltIn) {
        return "the sample lists built into the game" + copy;
    }
    const std::string weapons = weaponsBuiltIn ? std::string("the built-in sample weaponlist.txt")
                                               : WeaponCatalog::introduce(lists.weaponFile);
    const std::string armors = armorsBuiltIn ? std::string("the built-in sample armorlist.txt")
                                             : ArmorCatalog::introduce(lists.armorFile);
    return weapons + " and " + armors + (weaponsBuiltIn || armorsBuiltIn ? copy : "");
}

}  // namespace

int runBrawlarium(int argc, const char* const* argv) {
    const std::vector<std::string_view> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    const ParsedCommandLine parsed = parseCommandLine(arguments);
    if (!parsed.error.empty()) {
        return refuseCommandLine(parsed.error);
    }
    const CommandLine& options = parsed.options;
    if (options.showHelp || options.showVersion) {
        return writeOut(options.showHelp ? usageText() : versionText()) ? 0 : CannotWrite;
    }
    if (options.sampleListsFolder) {
        if (const std::optional<std::string> error = writeSampleLists(*options.sampleListsFolder)) {
            std::cerr << "brawlarium: " << *error << std::endl;
            return CannotWriteSamples;
        }
        return writeOut(sampleListsWritten(*options.sampleListsFolder)) ? 0 : CannotWrite;
    }
    const std::string executable = executablePath(argc > 0 ? argv[0] : nullptr);
    const std::vector<std::string> folders = priceListFolders(executable);
    const NamedPriceLists named{options.weaponList, options.armorList, options.dataFolder};
    const auto lists = findPriceLists(named, folders);
    if (!lists) {
        std::cerr << "brawlarium: " << notFoundMessage(named, folders) << std::endl;
        return NoPriceLists;
    }
    if (const auto lone = loneListMessage(named, *lists, sampleListsWhereabouts(executable))) {
        std::cerr << "brawlarium: " << *lone << std::endl;
        return NoPriceLists;
    }
    if (options.checkData) {
        std::ostringstream report;
        const int status =
            checkPriceLists(lists->weaponFile, lists->armorFile, report, namedInReport(*lists));
        return writeOut(report.str()) ? status : CannotWrite;
    }
    GameSetup setup{lists->weaponFile, lists->armorFile, options.seed};
    setup.batch = options.batch;
    setup.saveFile = options.saveFile.value_or("");
    // A pause asked for by name wins over --batch's default of none.
    if (options.pauseMilliseconds) {
        setup.pauseBetweenRounds = std::chrono::milliseconds(*options.pauseMilliseconds);
    } else if (options.batch) {
        setup.pauseBetweenRounds = std::chrono::milliseconds(0);
    }
    return GameLoop(setup);
}
