// From the command line to the game: options first, then the price lists'
// folder, then the game loop. Refusals go to standard error, one line each.
#include "game/brawlarium.h"

#include <iostream>
#include <string_view>
#include <vector>

#include "combat/price_list_check.h"
#include "game/command_line.h"
#include "game/data_lookup.h"
#include "game/game_loop.h"

namespace {

constexpr int BadCommandLine = 2;
constexpr int NoPriceLists = 1;

int refuseCommandLine(const std::string& error) {
    std::cerr << "brawlarium: " << error << "\nTry 'brawlarium --help'." << std::endl;
    return BadCommandLine;
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
        std::cout << (options.showHelp ? usageText() : versionText()) << std::flush;
        return 0;
    }
    const std::vector<std::string> folders = priceListFolders();
    const auto lists = findPriceLists(options.dataFolder, folders);
    if (!lists) {
        std::cerr << "brawlarium: " << notFoundMessage(folders) << std::endl;
        return NoPriceLists;
    }
    if (options.checkData) {
        const int status = checkPriceLists(lists->weaponFile, lists->armorFile, std::cout);
        if (!std::cout.flush()) {
            std::cerr << "brawlarium: the report could not be written" << std::endl;
            return NoPriceLists;
        }
        return status;
    }
    return GameLoop(GameSetup{lists->weaponFile, lists->armorFile, options.seed});
}
