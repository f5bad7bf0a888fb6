// The command line: the options the game takes, how they are read, and the
// texts of --help and --version.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The largest seed and the longest pause the options take. The browser page
// checks a replay link against them (cmake/web_module_facts.js.in).
inline constexpr unsigned LargestSeed = 4294967295U;
inline constexpr unsigned LongestPause = 60000;

struct CommandLine {
    bool showHelp = false;
    bool showVersion = false;
    // Check the price lists and report on them instead of playing.
    bool checkData = false;
    // Read the price lists from this folder instead of looking them up.
    std::optional<std::string> dataFolder;
    // Read one list from this file, whatever its name; the other list comes
    // from dataFolder or the lookup.
    std::optional<std::string> weaponList;
    std::optional<std::string> armorList;
    // Seed the random sequence with this instead of the time.
    std::optional<unsigned> seed;
    // The pause between fight rounds, in milliseconds (0 to 60000).
    std::optional<unsigned> pauseMilliseconds;
    // For scripts and bots: no pauses (unless pauseMilliseconds is given),
    // and key waits that end at once.
    bool batch = false;
    // Keep the game in this file and continue the one it holds.
    std::optional<std::string> saveFile;
};

// The options, or why they were refused (one line, without the program's
// name): error is empty when the command line was understood.
struct ParsedCommandLine {
    CommandLine options;
    std::string error;
};

// Reads the arguments that follow the program's name. Long options take
// their value as the next argument or after "=" (--seed=42).
ParsedCommandLine parseCommandLine(const std::vector<std::string_view>& arguments);

// The text of --help, ending in a line end.
std::string usageText();

// The text of --version: "brawlarium VERSION" and a line end.
std::string versionText();
