// Reads the game's few options with the standard library: no option is
// required, and every refusal names the argument at fault.
#include "game/command_line.h"

#include <charconv>
#include <limits>

#ifndef BRAWLARIUM_VERSION
#error "BRAWLARIUM_VERSION must be defined by the build"
#endif

static_assert(LargestSeed == std::numeric_limits<unsigned>::max(), "a seed is any unsigned");

namespace {

// A whole number in plain decimal digits that fits an unsigned: a seed for
// the random generator, or a pause.
std::optional<unsigned> readWholeNumber(std::string_view text) {
    unsigned value = 0;
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

// Splits "--name=value" into its name and value; other arguments have none.
std::pair<std::string_view, std::optional<std::string_view>> splitValue(std::string_view argument) {
    const auto equals = argument.find('=');
    if (argument.substr(0, 2) != "--" || equals == std::string_view::npos) {
        return {argument, std::nullopt};
    }
    return {argument.substr(0, equals), argument.substr(equals + 1)};
}

std::string quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

// Takes one option, with its value when it has one, into the options;
// returns why it was refused, or nothing.
std::string takeOption(std::string_view name, std::string_view value, CommandLine& options) {
    if (name == "--help" || name == "-h") {
        options.showHelp = true;
    } else if (name == "--version" || name == "-V") {
        options.showVersion = true;
    } else if (name == "--check-data") {
        options.checkData = true;
    } else if (name == "--data") {
        if (value.empty()) {
            return "option '--data' needs a folder";
        }
        options.dataFolder = std::string(value);
    } else if (name == "--weapon-list" || name == "--armor-list") {
        if (value.empty()) {
            return "option " + quoted(name) + " needs a file";
        }
        (name == "--weapon-list" ? options.weaponList : options.armorList) = std::string(value);
    } else if (name == "--seed") {
        options.seed = readWholeNumber(value);
        if (!options.seed) {
            return "invalid seed " + quoted(value) + ": a whole number from 0 to " +
                   std::to_string(LargestSeed) + " is needed";
        }
    } else if (name == "--pause") {
        options.pauseMilliseconds = readWholeNumber(value);
        if (!options.pauseMilliseconds || *options.pauseMilliseconds > LongestPause) {
            return "invalid pause " + quoted(value) + ": a whole number of milliseconds from 0 to " +
                   std::to_string(LongestPause) + " is needed";
        }
    } else if (name == "--save") {
        if (value.empty()) {
            return "option '--save' needs a file";
        }
        options.saveFile = std::string(value);
    } else if (name == "--batch") {
        options.batch = true;
    } else if (name.substr(0, 1) == "-") {
        return "unknown option " + quoted(name);
    } else {
        return "unexpected argument " + quoted(name);
    }
    return "";
}

}  // namespace

ParsedCommandLine parseCommandLine(const std::vector<std::string_view>& arguments) {
    ParsedCommandLine parsed;
    for (std::size_t i = 0; i < arguments.size() && parsed.error.empty(); ++i) {
        const auto [name, attached] = splitValue(arguments[i]);
        const bool takesValue = name == "--data" || name == "--weapon-list" || name == "--armor-list" ||
                                name == "--seed" || name == "--pause" || name == "--save";
        std::string_view value;
        if (!takesValue && attached) {
            parsed.error = "option " + quoted(name) + " takes no value";
        } else if (takesValue && !attached && i + 1 == arguments.size()) {
            parsed.error = "option " + quoted(name) + " needs a value";
        } else {
            if (takesValue) {
                value = attached ? *attached : arguments[++i];
            }
            parsed.error = takeOption(name, value, parsed.options);
        }
    }
    if (parsed.error.empty() && parsed.options.saveFile && parsed.options.checkData) {
        parsed.error = "options '--save' and '--check-data' do not go together: --check-data plays no game";
    }
    return parsed;
}

std::string usageText() {
    return "Usage: brawlarium [OPTION]...\n"
           "A text-mode arena role-playing game: make a character, buy a weapon and an\n"
           "armor, and fight generated monsters round by round, in colour.\n"
           "\n"
           "Options:\n"
           "  --batch       for scripts and bots: no pauses unless --pause sets one, and\n"
           "                every \"Press any key\" ends at once, terminal or not; the\n"
           "                output stays the same\n"
           "  --check-data  play nothing: check the price lists and report every fault,\n"
           "                every hazard and the monsters they make, level by level\n"
           "  --data DIR    read weaponlist.txt and armorlist.txt from DIR\n"
           "  --weapon-list FILE, --armor-list FILE\n"
           "                read that list from FILE, whatever its name; the other list\n"
           "                comes from --data or the folders below\n"
           "  --pause MS    pause MS milliseconds (0 to 60000, default 2000) between\n"
           "                the rounds of a fight\n"
           "  --save FILE   keep the game in FILE, key by key, and go on with the game\n"
           "                FILE holds where it was left (quitting keeps the hero); a\n"
           "                file of other lists or another platform is refused and\n"
           "                left as it is. --seed seeds a new file and must match an\n"
           "                old one\n"
           "  --seed N      seed the random draws with N (0 to 4294967295) instead of the\n"
           "                time, to replay a game; a seed replays on the same platform\n"
           "                (Linux, Windows or WebAssembly)\n"
           "  -h, --help    show this help and exit\n"
           "  -V, --version show the version and exit\n"
           "\n"
           "Without --data, the price lists come from the first of these folders that\n"
           "holds either file, so local lists override installed ones:\n"
           "  1. the working directory\n"
           "  2. $XDG_DATA_HOME/brawlarium (by default ~/.local/share/brawlarium)\n"
           "  3. DIR/brawlarium for each DIR of $XDG_DATA_DIRS\n"
           "     (by default /usr/local/share:/usr/share)\n"
           "  4. ../share/games/brawlarium from the folder of the game's executable,\n"
           "     for an installed tree moved or installed with another prefix\n"
           "  5. " BRAWLARIUM_INSTALLED_DATA_DIR
           ", where the sample lists are installed\n"
           "On Windows, the folder of brawlarium.exe takes the place of 2 and 3.\n"
           "\n"
           "Environment: NO_COLOR (non-empty: no colours), TERM (dumb: no colours and\n"
           "no title), XDG_DATA_HOME, XDG_DATA_DIRS, HOME.\n"
           "\n"
           "Exit status: 0 after quitting or at the end of input; 1 when the price lists\n"
           "cannot be found or loaded, the save file is refused, or the output cannot\n"
           "be written; 2 for a bad command line. With --check-data: 0 when the lists\n"
           "pass, 1 when the game would refuse them, 3 when it would play them but the\n"
           "report warns.\n";
}

std::string versionText() { return "brawlarium " BRAWLARIUM_VERSION "\n"; }
