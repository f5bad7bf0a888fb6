// From the command line to the game: options first, then the price lists'
// folder, then the game loop. Refusals go to standard error, one line each.
#include "game/brawlarium.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string_view>
#include <vector>

#include "combat/price_list_check.h"
#include "console/console.h"
#include "game/command_line.h"
#include "game/data_lookup.h"
#include "game/game_loop.h"

namespace {

constexpr int BadCommandLine = 2;
constexpr int NoPriceLists = 1;
constexpr int CannotWrite = 1;

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
    const std::vector<std::string> folders = priceListFolders(executablePath(argc > 0 ? argv[0] : nullptr));
    const NamedPriceLists named{options.weaponList, options.armorList, options.dataFolder};
    const auto lists = findPriceLists(named, folders);
    if (!lists) {
        std::cerr << "brawlarium: " << notFoundMessage(named, folders) << std::endl;
        return NoPriceLists;
    }
    if (options.checkData) {
        std::ostringstream report;
        const int status = checkPriceLists(lists->weaponFile, lists->armorFile, report);
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
