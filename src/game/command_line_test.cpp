// The option parser: every option in both spellings, and every way a command
// line is refused.
#include "game/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(CommandLineTest, ReadsEveryOptionInBothSpellings) {
    const struct {
        std::vector<std::string_view> arguments;
        bool help;
        bool version;
        std::optional<std::string> data;
        std::optional<unsigned> seed;
        bool checkData = false;
        std::optional<unsigned> pause = std::nullopt;
        bool batch = false;
        std::optional<std::string> weaponList = std::nullopt;
        std::optional<std::string> armorList = std::nullopt;
        std::optional<std::string> save = std::nullopt;
    } cases[] = {
        {{}, false, false, std::nullopt, std::nullopt},
        {{"--help"}, true, false, std::nullopt, std::nullopt},
        {{"-h"}, true, false, std::nullopt, std::nullopt},
        {{"--version"}, false, true, std::nullopt, std::nullopt},
        {{"-V"}, false, true, std::nullopt, std::nullopt},
        {{"--data", "some dir"}, false, false, "some dir", std::nullopt},
        {{"--data=/usr/share"}, false, false, "/usr/share", std::nullopt},
        {{"--seed", "0"}, false, false, std::nullopt, 0U},
        {{"--seed=4294967295", "--data", "d"}, false, false, "d", 4294967295U},
        {{"--seed", "1", "--seed", "2"}, false, false, std::nullopt, 2U},
        {{"--check-data"}, false, false, std::nullopt, std::nullopt, true},
        {{"--data", "d", "--check-data"}, false, false, "d", std::nullopt, true},
        {{"--batch"}, false, false, std::nullopt, std::nullopt, false, std::nullopt, true},
        {{"--pause", "0"}, false, false, std::nullopt, std::nullopt, false, 0U},
        {{"--pause=60000", "--batch", "--seed=3"}, false, false, std::nullopt, 3U, false, 60000U, true},
        {{"--weapon-list", "my weapons.txt"}, false, false, {}, {}, false, {}, false, "my weapons.txt"},
        {{"--armor-list=a", "--check-data", "--data", "d"}, false, false, "d", {}, true, {}, false, {}, "a"},
        {{"--armor-list", "-", "--weapon-list=w"}, false, false, {}, {}, false, {}, false, "w", "-"},
        {{"--save", "game", "--batch", "--seed=3", "--data", "d"},
         false,
         false,
         "d",
         3U,
         false,
         {},
         true,
         {},
         {},
         "game"},
        {{"--save=my game"}, false, false, {}, {}, false, {}, false, {}, {}, "my game"},
    };
    for (const auto& c : cases) {
        const ParsedCommandLine parsed = parseCommandLine(c.arguments);
        const std::string shown = ::testing::PrintToString(c.arguments);
        EXPECT_EQ(parsed.error, "") << shown;
        EXPECT_EQ(parsed.options.showHelp, c.help) << shown;
        EXPECT_EQ(parsed.options.showVersion, c.version) << shown;
        EXPECT_EQ(parsed.options.dataFolder, c.data) << shown;
        EXPECT_EQ(parsed.options.seed, c.seed) << shown;
        EXPECT_EQ(parsed.options.checkData, c.checkData) << shown;
        EXPECT_EQ(parsed.options.pauseMilliseconds, c.pause) << shown;
        EXPECT_EQ(parsed.options.batch, c.batch) << shown;
        EXPECT_EQ(parsed.options.weaponList, c.weaponList) << shown;
        EXPECT_EQ(parsed.options.armorList, c.armorList) << shown;
        EXPECT_EQ(parsed.options.saveFile, c.save) << shown;
    }
}

TEST(CommandLineTest, RefusesWhatItDoesNotKnowNamingTheArgument) {
    const std::string badSeed = "': a whole number from 0 to 4294967295 is needed";
    const std::string badPause = "': a whole number of milliseconds from 0 to 60000 is needed";
    const struct {
        std::vector<std::string_view> arguments;
        std::string error;
    } cases[] = {
        {{"--seed", "abc"}, "invalid seed 'abc" + badSeed},
        {{"--seed", "99999999999"}, "invalid seed '99999999999" + badSeed},
        {{"--seed", "4294967296"}, "invalid seed '4294967296" + badSeed},
        {{"--seed", "-1"}, "invalid seed '-1" + badSeed},
        {{"--seed", "12x"}, "invalid seed '12x" + badSeed},
        {{"--seed", "+5"}, "invalid seed '+5" + badSeed},
        {{"--seed="}, "invalid seed '" + badSeed},
        {{"--seed"}, "option '--seed' needs a value"},
        {{"--pause", "60001"}, "invalid pause '60001" + badPause},
        {{"--pause=-1"}, "invalid pause '-1" + badPause},
        {{"--pause", "1.5"}, "invalid pause '1.5" + badPause},
        {{"--pause"}, "option '--pause' needs a value"},
        {{"--batch=1"}, "option '--batch' takes no value"},
        {{"--data"}, "option '--data' needs a value"},
        {{"--data="}, "option '--data' needs a folder"},
        {{"--weapon-list"}, "option '--weapon-list' needs a value"},
        {{"--armor-list="}, "option '--armor-list' needs a file"},
        {{"--help=yes"}, "option '--help' takes no value"},
        {{"--check-data=all"}, "option '--check-data' takes no value"},
        {{"--save"}, "option '--save' needs a value"},
        {{"--save="}, "option '--save' needs a file"},
        {{"--save", "f", "--check-data"},
         "options '--save' and '--check-data' do not go together: --check-data plays no game"},
        {{"--frobnicate"}, "unknown option '--frobnicate'"},
        {{"-x"}, "unknown option '-x'"},
        {{"-"}, "unknown option '-'"},
        {{"weaponlist.txt"}, "unexpected argument 'weaponlist.txt'"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parseCommandLine(c.arguments).error, c.error) << ::testing::PrintToString(c.arguments);
    }
}

TEST(CommandLineTest, HelpNamesEveryOptionWithinEightyColumns) {
    const std::string help = usageText();
    for (const char* option :
         {"--batch", "--check-data", "--data DIR", "--weapon-list FILE", "--armor-list FILE", "--pause MS",
          "--save FILE", "--seed N", "-h, --help", "-V, --version", "XDG_DATA_HOME"}) {
        EXPECT_NE(help.find(option), std::string::npos) << option;
    }
    std::size_t start = 0;
    for (std::size_t end = help.find('\n'); end != std::string::npos; end = help.find('\n', start)) {
        EXPECT_LE(end - start, 79U) << help.substr(start, end - start);
        start = end + 1;
    }
    EXPECT_EQ(versionText().rfind("brawlarium ", 0), 0U);
    EXPECT_NE(help.find("\n\nWithout --data, the price lists come from the first of these folders that\n"
                        "holds either file, so local lists override installed ones:\n"
                        "  1. the working directory\n"
                        "  2. $XDG_DATA_HOME/brawlarium (by default ~/.local/share/brawlarium)\n"
                        "  3. DIR/brawlarium for each DIR of $XDG_DATA_DIRS\n"
                        "     (by default /usr/local/share:/usr/share)\n"
                        "  4. ../share/games/brawlarium from the folder of the game's executable,\n"
                        "     for an installed tree moved or installed with another prefix\n"
                        "  5. " BRAWLARIUM_INSTALLED_DATA_DIR ", where the sample lists are installed\n"
                        "On Windows, the folder of brawlarium.exe takes the place of 2 and 3.\n\n"),
              std::string::npos)
        << help;
}

}  // namespace
