// The built game with its standard streams on pipes and no terminal at all:
// whole transcripts, the end of input at every kind of question, refused
// data files, and output that can no longer be written.
#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <random>
#include <string_view>
#include <tuple>
#include <vector>

#include "support/process.h"
#include "support/transcript.h"

namespace e2e {
namespace {

using namespace screen;

const std::string Ask = "Your Choice: ";
const std::string KeyWait = "Press any key to continue...\n";

// Answers that make and name a character "Bob" and go back to the main menu.
const std::string MakeBob = "a a bob r y ";

// What the game writes while Bob is made and named, up to the main menu.
std::string madeBob() {
    return "Character Creation Selected\n"
           "Armor already equipped!\nAlready equipped with that weapon!\n" +
           cleared() + creationMenu() + Ask + "Set Name Selected\n" + cleared() +
           "Character's Name is: Not Named\nChange Name to: Name Set to: Bob\n" + KeyWait + cleared() +
           creationMenu() + Ask + returnQuestion() + "\n" + cleared() + cleared();
}

PipedRun play(const std::string& input) {
    PipedOptions options;
    options.input = input;
    return runPiped(options);
}

void expectCleanExit(const PipedRun& run) {
    EXPECT_TRUE(run.outcome.exited && run.outcome.exitCode == 0) << run.outcome.describe();
    EXPECT_EQ(run.err, "");
}

struct ExactSession {
    const char* name;
    std::string input;
    std::string expected;
};

class ExactTranscript : public ::testing::TestWithParam<ExactSession> {};

TEST_P(ExactTranscript, WritesExactlyThis) {
    const PipedRun run = play(GetParam().input);
    expectCleanExit(run);
    EXPECT_EQ(firstDifference(run.out, GetParam().expected), "");
}

void PrintTo(const ExactSession& session, std::ostream* out) { *out << session.name; }

const std::string Start = startup() + cleared() + mainMenu() + Ask;

INSTANTIATE_TEST_SUITE_P(
    Piped, ExactTranscript,
    ::testing::Values(
        ExactSession{"QuitAtOnce", "q\n", Start + "Quitting?? Shlub...\n"},
        ExactSession{"QuitInUpperCaseAfterBlankLines", "\n\n   \n\tQ\n", Start + "Quitting?? Shlub...\n"},
        ExactSession{"InvalidAnswersAskAgainWithoutTheMenu", "x qq q. Q",
                     Start + "Invalid Choice!\n" + Ask + "Invalid Choice!\n" + Ask + "Invalid Choice!\n" +
                         Ask + "Quitting?? Shlub...\n"},
        ExactSession{"StatsWithoutCharacter", "c q",
                     Start + "View Stats Selected \n" + cleared() + "No Character Exists!\n" + KeyWait +
                         cleared() + mainMenu() + Ask + "Quitting?? Shlub...\n"},
        ExactSession{"StatsOfUnrolledNamedCharacter", MakeBob + "c q",
                     Start + madeBob() + mainMenu() + Ask + "View Stats Selected \n" + cleared() +
                         stats("Bob", 8, 8, 8, 9, 0, "0", BareKnuckles, Rags) + KeyWait + cleared() +
                         mainMenu() + Ask + "Quitting?? Shlub...\n"},
        ExactSession{"DeleteDeclinedKeepsTheCharacter", MakeBob + "a n c q",
                     Start + madeBob() + mainMenu() + Ask +
                         "Character Already Exists, Do you wish to Delete (Y/N)?  "
                         "Character remains intact, returning to main menu \n" +
                         Ask + "View Stats Selected \n" + cleared() +
                         stats("Bob", 8, 8, 8, 9, 0, "0", BareKnuckles, Rags) + KeyWait + cleared() +
                         mainMenu() + Ask + "Quitting?? Shlub...\n"},
        // Deleting does not clear the character: the empty name shows.
        ExactSession{"DeletedAndNotRenamed", MakeBob + "a Y r y c q",
                     Start + madeBob() + mainMenu() + Ask +
                         "Character Already Exists, Do you wish to Delete (Y/N)?  Deleting Character... \n"
                         "Character Creation Selected\n"
                         "Armor already equipped!\nAlready equipped with that weapon!\n" +
                         cleared() + creationMenu() + Ask + returnQuestion() + "\n" + cleared() + cleared() +
                         mainMenu() + Ask + "View Stats Selected \n" + cleared() +
                         stats("", 8, 8, 8, 9, 0, "0", BareKnuckles, Rags) + KeyWait + cleared() +
                         mainMenu() + Ask + "Quitting?? Shlub...\n"},
        ExactSession{
            "StayingInTheCreationMenu", "a r n r y q",
            Start +
                "Character Creation Selected\nArmor already equipped!\nAlready equipped with that weapon!\n" +
                cleared() + creationMenu() + Ask + returnQuestion() +
                "\nStaying in the character creation menu.\n" + Ask + returnQuestion() + "\n" + cleared() +
                cleared() + mainMenu() + Ask + "Quitting?? Shlub...\n"},
        ExactSession{"ShopAndFightNeedACharacter", "b d q",
                     Start + "Purchase Equipment selected \n" + cleared() +
                         "Are you buying equipment for a ghost? Go make a character!\n" + KeyWait +
                         cleared() + mainMenu() + Ask + "Brawlarium!! Prepare for Battle!\n" + cleared() +
                         "You don't have a character dude! Go make one.\n" + KeyWait + cleared() +
                         mainMenu() + Ask + "Quitting?? Shlub...\n"},
        ExactSession{"CombatMenuReturn", MakeBob + "d 2 0 rr R q",
                     Start + madeBob() + mainMenu() + Ask + "Brawlarium!! Prepare for Battle!\n" + cleared() +
                         combatMenu(1) + Ask + "Invalid Choice!\n" + Ask + "Invalid Choice!\n" + Ask +
                         "Invalid Choice!\n" + Ask + "Returning to Main Menu\n" + cleared() + mainMenu() +
                         Ask + "Quitting?? Shlub...\n"},
        ExactSession{"ShopRefusalsWithNoGold", MakeBob + "b a 2 b 1 x r",
                     Start + madeBob() + mainMenu() + Ask + "Purchase Equipment selected \n" + cleared() +
                         equipmentMenu() + Ask + "Purchase Weapon Selected\nBuy Weapon\n" + cleared() +
                         "------LISTING WEAPONS-------\n"
                         "[1] Bare Knuckles\t1d3 (20/x2)\t0g\n"
                         "[2] Club\t\t1d6 (20/x2)\t5g\n"
                         "[3] Dagger\t\t1d4 (19-20/x2)\t12.5g\n"
                         "[4] Short Sword\t\t1d6 (19-20/x2)\t30g\n"
                         "[5] Hand Axe\t\t1d6 (20/x3)\t55g\n"
                         "[6] Mace\t\t1d8 (20/x2)\t80g\n"
                         "[7] Spear\t\t1d8 (20/x3)\t110g\n"
                         "[8] Longsword\t\t1d8 (19-20/x2)\t150g\n"
                         "[9] Battle Axe\t\t1d10 (20/x3)\t200g\n"
                         "[10] Warhammer\t\t1d12 (20/x3)\t260g\n"
                         "[11] Flail of Thorns\t2d6 (20/x2)\t330g\n"
                         "[12] Greatsword\t\t2d6 (19-20/x2)\t400g\n"
                         "[13] Halberd\t\t1d12 (19-20/x3)\t480g\n"
                         "[14] Dragon Cleaver\t2d8 (19-20/x3)\t560g\n"
                         "[15] Starfall Blade\t2d10 (18-20/x3)\t650g\n"
                         "[R] Return to the equipment menu.\n"
                         "---END WEAPON LIST--------\n"
                         "You are currently using Bare Knuckles\n"
                         "You have 0 gold to spend.\n"
                         "What weapon would you like to buy? You can't afford that, poor ass!\n"
                         "Your equipped weapon is...\n" +
                         BareKnuckles + KeyWait + cleared() + equipmentMenu() + Ask +
                         "Purchase Armor selected \nBuy Armor\n" + cleared() +
                         "------LISTING ARMOR-------\n"
                         "[1] Rags\t\tAC: +0\tMax Dex: +8\t0g\n"
                         "[2] Padded Tunic\tAC: +1\tMax Dex: +8\t2.5g\n"
                         "[3] Leather Vest\tAC: +2\tMax Dex: +6\t10g\n"
                         "[4] Studded Coat\tAC: +3\tMax Dex: +5\t20g\n"
                         "[5] Hide Armor\t\tAC: +3\tMax Dex: +4\t35g\n"
                         "[6] Chain Shirt\t\tAC: +4\tMax Dex: +4\t60g\n"
                         "[7] Scale Mail\t\tAC: +4\tMax Dex: +3\t90g\n"
                         "[8] Breastplate\t\tAC: +5\tMax Dex: +3\t130g\n"
                         "[9] Banded Mail\t\tAC: +5\tMax Dex: +2\t180g\n"
                         "[10] Splint Mail\tAC: +6\tMax Dex: +1\t240g\n"
                         "[11] Half Plate\t\tAC: +6\tMax Dex: +2\t300g\n"
                         "[12] Full Plate\t\tAC: +8\tMax Dex: +1\t380g\n"
                         "[13] Mythril Plate\tAC: +9\tMax Dex: +1\t450g\n"
                         "[R] Return to the equipment menu.\n"
                         "---END ARMOR LIST--------\n"
                         "You are currently using Rags\n"
                         "You have 0 gold to spend.\n"
                         "What armor would you like to buy? Armor already equipped!\n"
                         "Your equipped armor is...\n" +
                         Rags + "\n" + KeyWait + cleared() + equipmentMenu() + Ask + "Invalid Choice!\n" +
                         Ask + "Returning to Main Menu\n" + cleared() + mainMenu() + Ask + "\n"}),
    [](const ::testing::TestParamInfo<ExactSession>& info) { return std::string(info.param.name); });

// The sample files shipped in data/ load, and their first entries are worn.
TEST(PipedSession, QuitAtOnceWithTheSampleData) {
    auto firstName = [](const char* file) {
        const std::string text = readFile(sampleDataDirectory() + "/" + file);
        return text.substr(0, text.find(';'));
    };
    PipedOptions options;
    options.workingDirectory = sampleDataDirectory();
    options.input = "q\n";
    const PipedRun run = runPiped(options);
    expectCleanExit(run);
    EXPECT_EQ(firstDifference(run.out,
                              "Menu created\nEquipment Menu Created\nCombat Menu Created\nCharacter Created\n"
                              "Loading Weapon List\nLoading Armor List\nSetting character weapon to " +
                                  firstName("weaponlist.txt") + "\nSetting character armor to " +
                                  firstName("armorlist.txt") + "\n" + cleared() + mainMenu() + Ask +
                                  "Quitting?? Shlub...\n"),
              "");
}

// Started from an empty folder: the lists of --data, of the XDG folders or
// of nowhere, a refused command line, and output that cannot be written,
// each with its streams and status.
TEST(PipedSession, CommandLineOutcomes) {
    const TempDirectory empty;
    const TempDirectory xdg;
    std::filesystem::create_directory(xdg.file("brawlarium"));
    for (const char* name : {"weaponlist.txt", "armorlist.txt"}) {
        xdg.write(std::string("brawlarium/") + name, readFile(testDataDirectory() + "/" + name));
    }
    // Lists without end: one endless line, and endless lines after the
    // first 13, which the check counts up to a bound.
    const TempDirectory endless;
    std::filesystem::create_symlink("/dev/zero", endless.file("weaponlist.txt"));
    const TempDirectory random;
    random.write("weaponlist.txt", readFile(testDataDirectory() + "/weaponlist.txt"));
    std::filesystem::create_symlink("/dev/urandom", random.file("armorlist.txt"));
    const std::string quits = "Quitting?? Shlub...\n";
    const struct {
        std::string command;
        std::map<std::string, std::string> environment;
        int status;
        std::string outEnd;
        std::string err;
    } cases[] = {
        {"\"$GAME\" --data " + testDataDirectory(), {{"HOME", empty.path()}}, 0, quits, ""},
        {"\"$GAME\"", {{"HOME", empty.path()}, {"XDG_DATA_DIRS", "/nowhere:" + xdg.path()}}, 0, quits, ""},
        {"\"$GAME\" --data=" + empty.path(),
         {},
         1,
         "Loading Weapon List\n",
         empty.path() + "/weaponlist.txt: cannot open the file for reading: No such file or directory\n"},
        // Both streams on one pipe: the error comes after what was written before it.
        {"\"$GAME\" --data=" + empty.path() + " 2>&1",
         {},
         1,
         "Loading Weapon List\n" + empty.path() +
             "/weaponlist.txt: cannot open the file for reading: No such file or directory\n",
         ""},
        {"\"$GAME\"",
         {{"HOME", empty.path()}, {"XDG_DATA_DIRS", "/nowhere"}},
         1,
         "",
         "brawlarium: cannot find weaponlist.txt or armorlist.txt; searched the working directory (" +
             empty.path() + "), " + empty.path() + "/.local/share/brawlarium, /nowhere/brawlarium, "},
        // One list named by its file, the other from the usual folders,
        // from --data, or not found.
        {"\"$GAME\" --armor-list " + testDataDirectory() + "/armorlist.txt",
         {{"HOME", empty.path()}, {"XDG_DATA_DIRS", xdg.path()}},
         0,
         quits,
         ""},
        {"\"$GAME\" --data " + testDataDirectory() + " --weapon-list=" + testDataDirectory() +
             "/weaponlist.txt",
         {},
         0,
         quits,
         ""},
        {"\"$GAME\" --weapon-list my-weapons.txt",
         {{"HOME", empty.path()}, {"XDG_DATA_DIRS", "/nowhere"}},
         1,
         "",
         "brawlarium: cannot find armorlist.txt; searched the working directory (" + empty.path() + "), "},
        {"\"$GAME\" --data " + endless.path(),
         {},
         1,
         "Loading Weapon List\n",
         endless.file("weaponlist.txt") + ":1: the line runs past 65536 characters without a line end: the "
                                          "rest of the file is not read\n"},
        {"\"$GAME\" --check-data --data " + random.path() + " | grep -c 'and more after line 13'",
         {},
         0,
         "1\n",
         ""},
        {"\"$GAME\" --data",
         {},
         2,
         "",
         "brawlarium: option '--data' needs a value\nTry 'brawlarium --help'.\n"},
        {"\"$GAME\" --help >/dev/full",
         {},
         1,
         "",
         "brawlarium: cannot write the output: No space left on device\n"},
        {"\"$GAME\" --check-data --data " + testDataDirectory() + " >/dev/full",
         {},
         1,
         "",
         "brawlarium: cannot write the output: No space left on device\n"},
    };
    for (const auto& c : cases) {
        PipedOptions options;
        options.workingDirectory = empty.path();
        options.shellCommand = c.command;
        options.environment = c.environment;
        options.input = "q\n";
        const PipedRun run = runPiped(options);
        EXPECT_TRUE(run.outcome.exited && run.outcome.exitCode == c.status)
            << c.command << run.outcome.describe();
        EXPECT_EQ(run.out.substr(run.out.size() - std::min(run.out.size(), c.outEnd.size())), c.outEnd)
            << c.command;
        EXPECT_EQ(run.out.empty(), c.outEnd.empty()) << c.command << run.out;
        EXPECT_EQ(run.err.substr(0, c.err.size()), c.err) << c.command;
    }
}

// --sample-lists writes this build's sample lists, both or none, never over
// a file; --help and a check of the lists built into the WebAssembly build
// say where the sample lists are and how to get a copy.
TEST(PipedSession, SampleListsAreWrittenNeverOverAFile) {
    const bool web = gameBinary() != nativeGameBinary();
    const std::string weapons = readFile(sampleDataDirectory() + "/weaponlist.txt");
    const std::string armors = readFile(sampleDataDirectory() + "/armorlist.txt");
    const struct {
        std::map<std::string, std::string> before;  // file: contents, "/" for a folder
        int status;
        std::string out;
        std::string err;
        std::map<std::string, std::string> after;  // what the folder then holds
    } cases[] = {
        {{},
         0,
         "Wrote the sample price lists my lists/weaponlist.txt and my lists/armorlist.txt.\n"
         "Once edited, check them with: brawlarium --check-data --data \"my lists\"\n",
         "",
         {{"weaponlist.txt", weapons}, {"armorlist.txt", armors}}},
        {{{"armorlist.txt", "mine"}},
         1,
         "",
         "brawlarium: my lists/armorlist.txt already exists, and --sample-lists never replaces a file: "
         "nothing "
         "written\n",
         {{"armorlist.txt", "mine"}}},
        {{{"weaponlist.txt", "/"}, {"armorlist.txt", "mine"}},
         1,
         "",
         "brawlarium: my lists/weaponlist.txt and my lists/armorlist.txt already exist, and --sample-lists "
         "never replaces a file: nothing written\n",
         {{"weaponlist.txt", "/"}, {"armorlist.txt", "mine"}}},
    };
    for (const auto& c : cases) {
        const TempDirectory work;
        // The folder is made when it is missing.
        if (!c.before.empty()) {
            std::filesystem::create_directory(work.file("my lists"));
        }
        for (const auto& [name, contents] : c.before) {
            contents == "/" ? void(std::filesystem::create_directory(work.file("my lists/" + name)))
                            : work.write("my lists/" + name, contents);
        }
        PipedOptions options;
        options.workingDirectory = work.path();
        options.arguments = {"--sample-lists", "my lists"};
        const PipedRun run = runPiped(options);
        EXPECT_TRUE(run.outcome.exited && run.outcome.exitCode == c.status)
            << c.err << run.outcome.describe();
        EXPECT_EQ(run.out, c.out);
        EXPECT_EQ(run.err, c.err);
        std::map<std::string, std::string> after;
        for (const auto& entry : std::filesystem::directory_iterator(work.file("my lists"))) {
            after[entry.path().filename().string()] =
                entry.is_directory() ? "/" : readFile(entry.path().string());
        }
        EXPECT_EQ(after, c.after) << c.err;
    }

    // Where the sample lists are: installed natively, built in otherwise.
    const TempDirectory empty;
    PipedOptions options;
    options.workingDirectory = empty.path();
    options.environment = {{"HOME", empty.path()}, {"XDG_DATA_DIRS", "/nowhere"}};
    options.arguments = {"--help"};
    const std::string help = runPiped(options).out;
    EXPECT_EQ(help.find("/share/games/brawlarium, where the sample lists are installed") == std::string::npos,
              web)
        << help;
    EXPECT_EQ(help.find("else the sample lists built into the game, of which\n"
                        "     brawlarium --sample-lists DIR writes a copy into DIR") != std::string::npos,
              web)
        << help;
    if (web) {
        options.arguments = {"--check-data"};
        const PipedRun check = runPiped(options);
        EXPECT_EQ(
            check.out.substr(0, check.out.find('\n')),
            "Checking the sample lists built into the game (brawlarium --sample-lists DIR writes a copy)");
        EXPECT_TRUE(check.outcome.exited && check.outcome.exitCode == 0) << check.outcome.describe();
    }
}

// Create, name in lower case, roll twice, return, view the statistics,
// delete and create again: the rolled scores are open, everything else exact.
TEST(PipedSession, CreateRollTwiceViewDeleteAndCreateAgain) {
    const PipedRun run = play("a a bob b y n r y c a y a zed r y c q\n");
    expectCleanExit(run);

    Pattern expected;
    expected.text(
        Start + "Character Creation Selected\nArmor already equipped!\nAlready equipped with that weapon!\n" +
        cleared() + creationMenu() + Ask + "Set Name Selected\n" + cleared() +
        "Character's Name is: Not Named\nChange Name to: Name Set to: Bob\n" + KeyWait + cleared() +
        creationMenu() + Ask + "Roll for Stats selected \n" + cleared());
    for (const char* roll : {"1", "2"}) {
        const std::string n = roll;
        expected.text("Maximum Roll of 12 for all stats\nStrength: ")
            .number("strength" + n, 8, 12)
            .text("\nConstitution: ")
            .number("constitution" + n, 8, 12)
            .text("\nDexterity: ")
            .number("dexterity" + n, 8, 12)
            .text("\nRoll Again (Y/N)? ");
    }
    expected
        .text(cleared() + creationMenu() + Ask + returnQuestion() + "\n" + cleared() + cleared() +
              mainMenu() + Ask + "View Stats Selected \n" + cleared() + "Name: Bob\nLevel: 1\nStrength: ")
        .number("strength", 8, 12)
        .text("\nDexterity: ")
        .number("dexterity", 8, 12)
        .text("\nConstitution: ")
        .number("constitution", 8, 12)
        .text("\nHP: ")
        .number("hp", 9, 11)
        .text("/")
        .number("maxHp", 9, 11)
        .text(std::string("\nExperience: 0\nGold: 0\n\nWeapon Used:\n") + BareKnuckles + "Armor Used:\n" +
              Rags + "\n" + KeyWait + cleared() + mainMenu() + Ask +
              "Character Already Exists, Do you wish to Delete (Y/N)?  Deleting Character... \n"
              "Character Creation Selected\nArmor already equipped!\nAlready equipped with that weapon!\n" +
              cleared() + creationMenu() + Ask + "Set Name Selected\n" + cleared() +
              "Character's Name is: Not Named\nChange Name to: Name Set to: Zed\n" + KeyWait + cleared() +
              creationMenu() + Ask + returnQuestion() + "\n" + cleared() + cleared() + mainMenu() + Ask +
              "View Stats Selected \n" + cleared() + stats("Zed", 8, 8, 8, 9, 0, "0", BareKnuckles, Rags) +
              KeyWait + cleared() + mainMenu() + Ask + "Quitting?? Shlub...\n");

    const Pattern::Match match = expected.match(run.out);
    ASSERT_TRUE(match.ok) << match.why;
    // The second roll stands, and the hit points follow its constitution.
    EXPECT_EQ(match["strength"], match["strength2"]);
    EXPECT_EQ(match["dexterity"], match["dexterity2"]);
    EXPECT_EQ(match["constitution"], match["constitution2"]);
    EXPECT_EQ(match["hp"], 10 + match["constitution2"] / 2 - 5);
    EXPECT_EQ(match["maxHp"], match["hp"]);
}

// Input that ends at a question: the prompt's line is ended and the game
// quits, with nothing else written.
struct EndOfInput {
    const char* name;
    std::string input;
    std::string lastWords;  // what the output ends with, before the final line end
};

void PrintTo(const EndOfInput& end, std::ostream* out) { *out << end.name; }

class EndOfInputAt : public ::testing::TestWithParam<EndOfInput> {};

TEST_P(EndOfInputAt, EndsThePromptLineAndQuits) {
    const PipedRun run = play(GetParam().input);
    expectCleanExit(run);
    const std::string ending = GetParam().lastWords + "\n";
    ASSERT_GE(run.out.size(), ending.size());
    EXPECT_EQ(run.out.substr(run.out.size() - ending.size()), ending)
        << "the output ends:\n"
        << run.out.substr(run.out.size() - std::min<std::size_t>(run.out.size(), 400));
    EXPECT_EQ(run.out.rfind(startup(), 0), 0u) << "the game did not start normally";
}

INSTANTIATE_TEST_SUITE_P(
    Piped, EndOfInputAt,
    ::testing::Values(EndOfInput{"MainMenu", "", mainMenu() + Ask},
                      EndOfInput{"MainMenuWithoutFinalLineEnd", "\n\n", mainMenu() + Ask},
                      EndOfInput{"MainMenuAfterInvalidAnswer", "x", "Invalid Choice!\n" + Ask},
                      EndOfInput{"CreationMenu", "a", creationMenu() + Ask},
                      EndOfInput{"ChangeName", "a a", "Character's Name is: Not Named\nChange Name to: "},
                      EndOfInput{"RollAgain", "a b", "\nRoll Again (Y/N)? "},
                      EndOfInput{"RollingAgain", "a b y", "\nRoll Again (Y/N)? "},
                      EndOfInput{"ReturnConfirmation", "a r", returnQuestion()},
                      EndOfInput{"DeleteConfirmation", MakeBob + "a",
                                 "Character Already Exists, Do you wish to Delete (Y/N)?  "},
                      EndOfInput{"EquipmentMenu", MakeBob + "b", equipmentMenu() + Ask},
                      EndOfInput{"BuyWeapon", MakeBob + "b a",
                                 "You have 0 gold to spend.\nWhat weapon would you like to buy? "},
                      EndOfInput{"BuyArmor", MakeBob + "b b",
                                 "You have 0 gold to spend.\nWhat armor would you like to buy? "},
                      EndOfInput{"CombatMenu", MakeBob + "d", combatMenu(1) + Ask},
                      EndOfInput{"CombatMenuAfterInvalidLevel", MakeBob + "d 5", "Invalid Choice!\n" + Ask}),
    [](const ::testing::TestParamInfo<EndOfInput>& info) { return std::string(info.param.name); });

// The tests' price lists, line by line, for making broken copies.
std::vector<std::string> testLines(const char* file) {
    return linesOf(std::string(file) == "weaponlist.txt" ? TestWeapons : TestArmors);
}

std::string joined(const std::vector<std::string>& lines, const char* lineEnd = "\n") {
    std::string text;
    for (const std::string& line : lines) {
        text += line + lineEnd;
    }
    return text;
}

// A data file: the tests' list with changes, none at all, or a directory
// in its place.
struct DataFile {
    std::optional<std::string> contents;
    bool directory = false;
    static DataFile standard(const char* file) { return {joined(testLines(file))}; }
    static DataFile missing() { return {std::nullopt}; }
    static DataFile aDirectory() { return {std::nullopt, true}; }
    static DataFile withLine(const char* file, std::size_t number, const std::string& line) {
        std::vector<std::string> lines = testLines(file);
        lines.at(number - 1) = line;
        return {joined(lines)};
    }
    static DataFile firstLines(const char* file, std::size_t count) {
        std::vector<std::string> lines = testLines(file);
        lines.resize(count);
        return {joined(lines)};
    }
};

struct BadData {
    const char* name;
    DataFile weapons;
    DataFile armors;
    std::string message;  // the one line on standard error
    // The files' names; another than the standard one is given with
    // --weapon-list or --armor-list.
    std::string weaponName = "weaponlist.txt";
    std::string armorName = "armorlist.txt";
};

void PrintTo(const BadData& data, std::ostream* out) { *out << data.name; }

class RefusedDataFiles : public ::testing::TestWithParam<BadData> {};

// Where the game under test says the sample lists are: built into the
// WebAssembly build; natively, installed when they are.
std::string sampleListsWhereabouts() {
    const std::string copy = " (brawlarium --sample-lists DIR writes a copy)";
    if (gameBinary() != nativeGameBinary()) {
        return "the sample lists are built into the game" + copy;
    }
    const std::string installed = BRAWLARIUM_INSTALLED_DATA_DIR;
    if (std::filesystem::exists(installed + "/weaponlist.txt") &&
        std::filesystem::exists(installed + "/armorlist.txt")) {
        return "the sample lists are in " + installed + copy;
    }
    return "brawlarium --sample-lists DIR writes the sample lists into DIR";
}

TEST_P(RefusedDataFiles, OneLineOnStandardErrorAndExitStatusOne) {
    const BadData& data = GetParam();
    const TempDirectory directory;
    PipedOptions options;
    for (const auto& [name, file, standardName, option] :
         {std::tuple{data.weaponName, data.weapons, "weaponlist.txt", "--weapon-list"},
          std::tuple{data.armorName, data.armors, "armorlist.txt", "--armor-list"}}) {
        if (file.contents) {
            directory.write(name, *file.contents);
        } else if (file.directory) {
            std::filesystem::create_directory(directory.file(name));
        }
        if (name != standardName) {
            options.arguments.insert(options.arguments.end(), {option, name});
        }
    }
    options.workingDirectory = directory.path();
    options.input = "q\n";
    const PipedRun run = runPiped(options);
    EXPECT_TRUE(run.outcome.exited && run.outcome.exitCode == 1) << run.outcome.describe();
    std::string message = data.message;
    for (const auto& [name, text] : {std::pair{std::string("{here}"), directory.path()},
                                     std::pair{std::string("{samples}"), sampleListsWhereabouts()}}) {
        if (const auto at = message.find(name); at != std::string::npos) {
            message.replace(at, name.size(), text);
        }
    }
    EXPECT_EQ(run.err, message + "\n");
    EXPECT_EQ(run.out.find("Main Menu"), std::string::npos) << "the game went on:\n" << run.out;
}

const std::string LongName(300 - std::string(";1;8;20;2;80").size(), 'x');

INSTANTIATE_TEST_SUITE_P(
    Piped, RefusedDataFiles,
    ::testing::Values(
        // One list alone in the folder found: both must be in one folder.
        BadData{"NoWeaponFile", DataFile::missing(), DataFile::standard("armorlist.txt"),
                "brawlarium: both price lists must be in one folder, and the working directory ({here}) "
                "holds armorlist.txt but no weaponlist.txt; {samples}"},
        BadData{"NoArmorFile", DataFile::standard("weaponlist.txt"), DataFile::missing(),
                "brawlarium: both price lists must be in one folder, and the working directory ({here}) "
                "holds weaponlist.txt but no armorlist.txt; {samples}"},
        BadData{"ArmorFileIsADirectory", DataFile::standard("weaponlist.txt"), DataFile::aDirectory(),
                "armorlist.txt: cannot open the file for reading: Is a directory"},
        BadData{"FourteenWeapons", DataFile::firstLines("weaponlist.txt", 14),
                DataFile::standard("armorlist.txt"), "weaponlist.txt:15: missing line: 15 lines are needed"},
        BadData{"EmptyWeaponFile", DataFile{std::string()}, DataFile::standard("armorlist.txt"),
                "weaponlist.txt:1: missing line: 15 lines are needed"},
        BadData{"TwelveArmors", DataFile::standard("weaponlist.txt"),
                DataFile::firstLines("armorlist.txt", 12),
                "armorlist.txt:13: missing line: 13 lines are needed"},
        BadData{"WeaponWithFiveFields", DataFile::withLine("weaponlist.txt", 4, "Short Sword;1;6;19;2"),
                DataFile::standard("armorlist.txt"), "weaponlist.txt:4: the line has 5 fields, 6 are needed"},
        BadData{"EmptyWeaponLine", DataFile::withLine("weaponlist.txt", 9, ""),
                DataFile::standard("armorlist.txt"), "weaponlist.txt:9: the line has 0 fields, 6 are needed"},
        BadData{"ArmorWithThreeFields", DataFile::standard("weaponlist.txt"),
                DataFile::withLine("armorlist.txt", 2, "Padded Tunic;1;8"),
                "armorlist.txt:2: the line has 3 fields, 4 are needed"},
        BadData{
            "WeaponLineOf300Characters", DataFile::withLine("weaponlist.txt", 7, LongName + ";1;8;20;2;80"),
            DataFile::standard("armorlist.txt"), "weaponlist.txt:7: the line is longer than 299 characters"},
        BadData{"ArmorLineOf300Characters", DataFile::standard("weaponlist.txt"),
                DataFile::withLine("armorlist.txt", 13, std::string(300 - 9, 'm') + ";9;1;450;"),
                "armorlist.txt:13: the line is longer than 299 characters"},
        BadData{"DieSizeZero", DataFile::withLine("weaponlist.txt", 3, "Dagger;1;0;19;2;12.5"),
                DataFile::standard("armorlist.txt"),
                "weaponlist.txt:3: the die size is 0, it must be 1 or more"},
        BadData{"NegativeDieSize", DataFile::withLine("weaponlist.txt", 15, "Starfall Blade;2;-4;18;3;650"),
                DataFile::standard("armorlist.txt"),
                "weaponlist.txt:15: the die size is -4, it must be 1 or more"},
        // The weapon file is read first; its fault is the one reported.
        BadData{"BothBroken", DataFile::firstLines("weaponlist.txt", 3), DataFile::aDirectory(),
                "weaponlist.txt:4: missing line: 15 lines are needed"},
        // Files of other names, given on the command line: named as given,
        // with what they were used as.
        BadData{"NamedWeaponFileWithALongLine",
                DataFile::withLine("weaponlist.txt", 7, LongName + ";1;8;20;2;80"),
                DataFile::standard("armorlist.txt"),
                "bad-weaponlist.txt (used as the weapon list):7: the line is longer than 299 characters",
                "bad-weaponlist.txt"},
        BadData{"NamedArmorFileMissing", DataFile::standard("weaponlist.txt"), DataFile::missing(),
                "my armor.txt (used as the armor list): cannot open the file for reading: No such file or "
                "directory",
                "weaponlist.txt", "my armor.txt"},
        BadData{"NamedWeaponListIsTheArmorList", DataFile::standard("armorlist.txt"),
                DataFile::standard("armorlist.txt"),
                "armorlist.txt (used as the weapon list):1: the line has 4 fields, 6 are needed",
                "armorlist.txt"}),
    [](const ::testing::TestParamInfo<BadData>& info) { return std::string(info.param.name); });

// What the loader must still accept: a 299-character line, Windows line
// ends, runs of separators and extra fields and lines.
struct GoodData {
    const char* name;
    std::string weapons;
    std::string armors;
};

void PrintTo(const GoodData& data, std::ostream* out) { *out << data.name; }

class AcceptedDataFiles : public ::testing::TestWithParam<GoodData> {};

TEST_P(AcceptedDataFiles, GameStarts) {
    const TempDirectory directory;
    directory.write("weaponlist.txt", GetParam().weapons);
    directory.write("armorlist.txt", GetParam().armors);
    PipedOptions options;
    options.workingDirectory = directory.path();
    options.input = "q\n";
    const PipedRun run = runPiped(options);
    expectCleanExit(run);
    EXPECT_NE(run.out.find(mainMenu() + Ask + "Quitting?? Shlub...\n"), std::string::npos) << run.out;
}

std::vector<std::string> withExtraLine(std::vector<std::string> lines, const std::string& extra) {
    lines.push_back(extra);
    return lines;
}

INSTANTIATE_TEST_SUITE_P(
    Piped, AcceptedDataFiles,
    ::testing::Values(
        GoodData{"LineOf299Characters",
                 *DataFile::withLine("weaponlist.txt", 7, LongName.substr(1) + ";1;8;20;2;80").contents,
                 joined(testLines("armorlist.txt"))},
        GoodData{"WindowsLineEnds", joined(testLines("weaponlist.txt"), "\r\n"),
                 joined(testLines("armorlist.txt"), "\r\n")},
        GoodData{"SeparatorRunsExtraFieldsAndLines",
                 *DataFile::withLine("weaponlist.txt", 2, ";;Club;;1;6;;20;2;5;extra;").contents,
                 joined(withExtraLine(testLines("armorlist.txt"), "not;an;armor"))}),
    [](const ::testing::TestParamInfo<GoodData>& info) { return std::string(info.param.name); });

// Output nobody reads any more, with input that never runs out: the game
// must end at once instead of looping; quietly when the reader went away,
// with one line on standard error and exit status 1 when the output is lost
// for another reason.
struct LostOutput {
    const char* name;
    bool fullDevice;
    bool sigpipeIgnored;
    std::string error;  // what standard error says
};

void PrintTo(const LostOutput& lost, std::ostream* out) { *out << lost.name; }

class OutputLost : public ::testing::TestWithParam<LostOutput> {};

TEST_P(OutputLost, GameEndsAtOnce) {
    PipedOptions options;
    options.input = "c\n";  // the statistics screen, over and over
    options.repeatInput = true;
    options.outputToFullDevice = GetParam().fullDevice;
    options.closeOutputAfterLines = GetParam().fullDevice ? 0 : 5;
    options.sigpipeIgnored = GetParam().sigpipeIgnored;
    options.timeout = milliseconds{10000};
    const PipedRun run = runPiped(options);
    ASSERT_FALSE(run.outcome.timedOut) << "the game kept running";
    EXPECT_LT(run.elapsed.count(), 5000);
    EXPECT_EQ(run.err, GetParam().error);
    if (!GetParam().error.empty()) {
        EXPECT_TRUE(run.outcome.exited && run.outcome.exitCode == 1) << run.outcome.describe();
    } else if (!GetParam().sigpipeIgnored) {
        // As under `| head -n 5`: the write to the closed pipe ends it.
        EXPECT_TRUE(run.outcome.signal == SIGPIPE || (run.outcome.exited && run.outcome.exitCode == 0))
            << run.outcome.describe();
    } else {
        EXPECT_TRUE(run.outcome.exited && run.outcome.exitCode == 0) << run.outcome.describe();
    }
    if (!GetParam().fullDevice) {
        EXPECT_EQ(run.out.rfind("Menu created\nEquipment Menu Created\n", 0), 0u) << run.out;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Piped, OutputLost,
    ::testing::Values(LostOutput{"ClosedPipe", false, false, ""},
                      LostOutput{"ClosedPipeWithSigpipeIgnored", false, true, ""},
                      LostOutput{"FullDisk", true, false,
                                 "brawlarium: cannot write the output: No space left on device\n"}),
    [](const ::testing::TestParamInfo<LostOutput>& info) { return std::string(info.param.name); });

// The save file: a long seeded game cut at several random points, by the
// end of input or by quitting, and continued each time from its save file,
// ends exactly as the same game played straight through: the statistics
// screens and everything else after the screen the player left. The points
// are drawn afresh from the clock; BRAWLARIUM_CUT_SEED, which every failure
// names, draws those of a failed run again.
TEST(PipedSession, SavedGameCutAndContinuedEndsAsPlayedStraightThrough) {
    const std::size_t blocks = 8;
    const std::vector<std::string> answers = longGameAnswers(blocks);
    const std::vector<std::string> seeded = {"--seed", "2024", "--batch"};
    PipedOptions straight;
    straight.arguments = seeded;
    straight.input = answerLines(answers, 0, answers.size()) + "c\nq\n";
    const PipedRun whole = runPiped(straight);
    expectCleanExit(whole);

    const char* const chosenSeed = std::getenv("BRAWLARIUM_CUT_SEED");
    auto cutSeed = static_cast<std::uint32_t>(std::chrono::system_clock::now().time_since_epoch().count());
    if (chosenSeed != nullptr && chosenSeed[0] != '\0') {
        const std::string_view text(chosenSeed);
        ASSERT_EQ(std::from_chars(text.data(), text.data() + text.size(), cutSeed).ptr,
                  text.data() + text.size())
            << "BRAWLARIUM_CUT_SEED is not a number: " << text;
    }
    SCOPED_TRACE("cut points drawn with BRAWLARIUM_CUT_SEED=" + std::to_string(cutSeed));
    std::mt19937 draw(cutSeed);
    // Answers given before each cut, and whether it is cut by the quit choice
    // (at the main menu, where a block ends) instead of the end of input.
    std::map<std::size_t, bool> cuts;
    while (cuts.size() < 6) {
        const bool quit = std::bernoulli_distribution()(draw);
        const std::size_t upTo =
            quit ? AnswersPerBlock * std::uniform_int_distribution<std::size_t>(1, blocks - 1)(draw)
                 : std::uniform_int_distribution<std::size_t>(1, answers.size() - 1)(draw);
        cuts.emplace(upTo, quit);
    }
    const TempDirectory folder;
    std::size_t given = 0;
    for (const auto& [upTo, quit] : cuts) {
        PipedOptions part;
        part.arguments = seeded;
        part.arguments.insert(part.arguments.end(), {"--save", folder.file("game")});
        part.input = answerLines(answers, given, upTo) + (quit ? "q\n" : "");
        const PipedRun run = runPiped(part);
        expectCleanExit(run);
        EXPECT_EQ(run.out.substr(run.out.size() - 20) == "Quitting?? Shlub...\n", quit) << upTo;
        given = upTo;
    }
    PipedOptions rest;
    rest.arguments = {"--save", folder.file("game"), "--batch"};
    rest.input = answerLines(answers, given, answers.size()) + "c\nq\n";
    const PipedRun last = runPiped(rest);
    expectCleanExit(last);
    EXPECT_EQ(continuedDifference(last.out, whole.out), "");
    EXPECT_NE(last.out.find("View Stats Selected"), std::string::npos);
}

// Save files that cannot continue here are refused with what differs, before
// anything is played, and left as they were (also while another game plays
// one, which goes on unharmed); a file that cannot be written
// is said once and the game goes on as without one.
TEST(PipedSession, SaveFilesRefusedOrUnwritable) {
    const TempDirectory folder;
    const std::string made = folder.file("made");
    PipedOptions making;
    making.arguments = {"--save", made, "--seed", "7"};
    making.input = MakeBob + "c q\n";
    expectCleanExit(runPiped(making));
    const std::string saved = readFile(made);
    ASSERT_EQ(saved.rfind("brawlarium save 1\ngenerator ", 0), 0u) << saved;
    ASSERT_EQ(saved.substr(saved.find("keys\n")), "keys\na\na\nbob\n\nr\ny\nc\n\n") << "the quit is not kept";
    const std::string header = saved.substr(0, saved.find("keys\n") + 5);
    const std::string generator = saved.substr(28, saved.find('\n', 28) - 28);
    const auto replaced = [&saved](const std::string& from, const std::string& to) {
        std::string text = saved;
        return text.replace(text.find(from), from.size(), to);
    };
    const TempDirectory otherLists;
    otherLists.write("weaponlist.txt", readFile(testDataDirectory() + "/weaponlist.txt") + "\n");
    otherLists.write("armorlist.txt", readFile(testDataDirectory() + "/armorlist.txt"));
    const std::string refused =
        "brawlarium: cannot continue the game saved in '" + folder.file("file") + "': ";
    const std::string untouched = "; the file is left as it is\n";
    const struct {
        const char* name;
        std::string contents;
        std::vector<std::string> arguments;
        std::string error;
        bool anotherGamePlaysIt = false;  // a first game holds the file at its main menu meanwhile
    } cases[] = {
        {"OtherLists",
         saved,
         {"--data", otherLists.path()},
         refused + "it was saved with another weapon list"},
        {"OtherBuild",
         replaced("generator " + generator, "generator other"),
         {},
         refused + "it was saved by a build whose random generator is 'other', not '" + generator +
             "' as in this one: its seed plays another game here"},
        {"UnknownVersion",
         replaced("save 1", "save 2"),
         {},
         refused + "it is in save format '2', this game reads version 1"},
        {"DamagedHeader",
         replaced("seed ", "seed x"),
         {},
         refused + "line 3: 'seed' and a whole number from 0 to 4294967295 are needed"},
        {"NotASaveFile",
         "Menu created\n",
         {},
         refused + "it is not a save file: its first line is not 'brawlarium save 1'"},
        {"KeysCutShort",
         saved + "bo",
         {},
         refused + "line 15: the last key has no line end: the keys are cut short"},
        {"KeyPressForAnAnswer",
         header + "c\nq\n",
         {},
         refused +
             "its keys no longer fit the game: line 8 is an answer where the game waits for a key press"},
        {"AnswerForAKeyPress",
         header + "\n",
         {},
         refused + "its keys no longer fit the game: line 7 is a key press where the game asks a question"},
        {"LastKeyQuits",
         saved + "q\n",
         {},
         refused + "its keys no longer fit the game: its last key ends the game"},
        {"OtherSeed", saved, {"--seed", "8"}, refused + "it plays seed 7, not 8 as --seed asks"},
        {"TooManyKeys",
         header + std::string((1U << 20U) + 1, '\n'),
         {},
         refused + "it holds more than 1048576 bytes of keys"},
        {"AnotherGamePlaysIt", saved, {}, refused + "another game is playing it", true},
    };
    for (const auto& c : cases) {
        if (c.anotherGamePlaysIt && gameBinary() != nativeGameBinary()) {
            continue;  // Node locks no files: the page keeps one game per tab itself
        }
        folder.write("file", c.contents);
        PipedOptions options;
        options.arguments = {"--save", folder.file("file")};
        options.arguments.insert(options.arguments.end(), c.arguments.begin(), c.arguments.end());
        options.input = "c\nq\n";
        std::unique_ptr<Session> first;
        if (c.anotherGamePlaysIt) {
            first = Session::overPipes(options);
            ASSERT_TRUE(first->waitFor(Ask)) << first->tail();
        }
        const PipedRun run = runPiped(options);
        EXPECT_TRUE(run.outcome.exited && run.outcome.exitCode == 1) << c.name << run.outcome.describe();
        EXPECT_EQ(run.err, c.error + untouched) << c.name;
        EXPECT_EQ(run.out, "") << c.name;
        if (first) {
            first->send("q\n");
            const Outcome firstEnd = first->finish();
            EXPECT_TRUE(firstEnd.exited && firstEnd.exitCode == 0) << firstEnd.describe();
            EXPECT_NE(first->output().find("Quitting?? Shlub...\n"), std::string::npos) << first->tail();
        }
        EXPECT_TRUE(readFile(folder.file("file")) == c.contents) << c.name;
    }

    PipedOptions plain;
    plain.input = MakeBob;
    for (int i = 0; i < 200; ++i) {
        plain.input += "c ";
    }
    plain.input += "q\n";
    const PipedRun expected = runPiped(plain);
    const struct {
        const char* name;
        std::string command;
        std::string error;
    } unwritable[] = {
        {"NoSuchFolder", "\"$GAME\" --save " + folder.file("none/game"),
         folder.file("none/game") + "': No such file or directory"},
        // A disk that fills up after the header: what was written in part is taken back.
        {"FullDisk", "ulimit -f 1; trap '' XFSZ; \"$GAME\" --save " + folder.file("full"),
         folder.file("full") + "': File too large"},
    };
    for (const auto& c : unwritable) {
        PipedOptions options;
        options.shellCommand = c.command;
        options.input = plain.input;
        const PipedRun run = runPiped(options);
        EXPECT_TRUE(run.outcome.exited && run.outcome.exitCode == 0) << c.name << run.outcome.describe();
        EXPECT_EQ(run.err, "brawlarium: cannot save the game in '" + c.error + "; the game goes on unsaved\n")
            << c.name;
        EXPECT_EQ(run.out, expected.out) << c.name;
    }
}

// The WebAssembly build (here under Node, as the npm command runs it) draws
// other numbers for a seed than the native game: its save file is refused
// natively and continues under Node, as in the page.
TEST(PipedSession, SaveFileOfTheWebAssemblyBuildContinuesOnlyThere) {
    if (webRunner().empty()) {
        GTEST_SKIP() << "this build has no WebAssembly runner to compare with";
    }
    const TempDirectory folder;
    PipedOptions node;
    node.game = webRunner();
    node.arguments = {"--save", folder.file("game")};
    node.input = MakeBob + "c\n";
    expectCleanExit(runPiped(node));
    const std::string saved = readFile(folder.file("game"));
    EXPECT_NE(saved.find("\ngenerator musl\n"), std::string::npos) << saved;

    PipedOptions native = node;
    native.game = nativeGameBinary();
    const PipedRun refused = runPiped(native);
    EXPECT_TRUE(refused.outcome.exited && refused.outcome.exitCode == 1) << refused.outcome.describe();
    EXPECT_NE(refused.err.find("random generator is 'musl', not 'glibc'"), std::string::npos) << refused.err;
    EXPECT_EQ(readFile(folder.file("game")), saved);

    node.input = "c\nq\n";
    const PipedRun continued = runPiped(node);
    expectCleanExit(continued);
    const std::string bobsStats = stats("Bob", 8, 8, 8, 9, 0, "0", BareKnuckles, Rags) + KeyWait;
    EXPECT_EQ(firstDifference(continued.out, cleared() + mainMenu() + Ask + "View Stats Selected \n" +
                                                 cleared() + bobsStats + cleared() + mainMenu() + Ask +
                                                 "Quitting?? Shlub...\n"),
              "");
}

// scripts/play.sh on a tree of its own, with a one-file program in place of
// the game: quiet while the build succeeds, the compiler's words and what to
// do when it fails.
struct PlayBuild {
    const char* name;
    const char* source;
    int exitCode;
    std::string out;    // after the line that announces the build
    const char* error;  // a piece of standard error; empty: none at all
};

void PrintTo(const PlayBuild& build, std::ostream* out) { *out << build.name; }

class PlayScript : public ::testing::TestWithParam<PlayBuild> {};

TEST_P(PlayScript, ShowsTheBuildOnlyWhenItFails) {
    const TempDirectory root;
    std::filesystem::create_directories(root.file("scripts"));
    std::filesystem::create_directories(root.file("data"));
    for (const char* script : {"play.sh", "deps.sh"}) {
        root.write(std::string("scripts/") + script,
                   readFile(sampleDataDirectory() + "/../scripts/" + script));
    }
    root.write("CMakeLists.txt",
               "cmake_minimum_required(VERSION 3.16)\nproject(play LANGUAGES CXX)\n"
               "add_executable(brawlarium main.cpp)\n");
    root.write("main.cpp", GetParam().source);
    PipedOptions options;
    options.shellCommand = "bash \"$ROOT/scripts/play.sh\"";
    options.environment = {{"ROOT", root.path()}};
    options.timeout = milliseconds{120000};
    const PipedRun run = runPiped(options);
    EXPECT_TRUE(run.outcome.exited && run.outcome.exitCode == GetParam().exitCode) << run.outcome.describe();
    ASSERT_EQ(run.out.rfind("Building Brawlarium", 0), 0u) << run.out;
    EXPECT_EQ(run.out.substr(run.out.find('\n') + 1), GetParam().out);
    const std::string error = GetParam().error;
    if (error.empty()) {
        EXPECT_EQ(run.err, "");
    } else {
        EXPECT_NE(run.err.find(error), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("\nThe build failed: fix the first error shown above, then run bash "
                               "scripts/play.sh again.\n"),
                  std::string::npos)
            << run.err;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Piped, PlayScript,
    ::testing::Values(PlayBuild{"Builds", "#include <cstdio>\nint main() { std::puts(\"started\"); }\n", 0,
                                "started\n", ""},
                      PlayBuild{"CompileError", "int main() { return undeclared_name; }\n", 1, "",
                                "undeclared_name"}),
    [](const ::testing::TestParamInfo<PlayBuild>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace e2e
