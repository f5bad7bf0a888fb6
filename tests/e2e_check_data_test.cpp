// `brawlarium --check-data` over the sample lists and over fixture lists in
// tests/price_lists/<case>/, each holding one fault or hazard in the files
// that differ from the sample: the report's fault and warning lines, a row
// of its monster table and the exit status, in-process and through the game.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "combat/price_list_check.h"
#include "support/process.h"

namespace e2e {
namespace {

struct CheckCase {
    const char* fixture;  // "" for the sample lists alone
    int status;
    // The lines after the heading and before the table; "W" and "A" stand
    // for the paths of the weapon and the armor list.
    std::vector<std::string> lines;
    std::string tableRow;  // a row the monster table must hold, if any
    // The weapon list's file name; another than its own is given with
    // --weapon-list, beside --data for the armor list.
    std::string weaponName = "weaponlist.txt";
};

void PrintTo(const CheckCase& c, std::ostream* out) { *out << (c.fixture[0] != '\0' ? c.fixture : "sample"); }

class CheckData : public ::testing::TestWithParam<CheckCase> {};

// The report's lines from the second up to the first blank one.
std::vector<std::string> findings(const std::string& report) {
    std::istringstream in(report);
    std::vector<std::string> lines;
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line) && !line.empty()) {
        lines.push_back(line);
    }
    return lines;
}

TEST_P(CheckData, ReportsEachFaultAndHazardOnce) {
    const CheckCase& c = GetParam();
    const TempDirectory folder;
    const std::string fixtures = std::string(BRAWLARIUM_PRICE_LIST_FIXTURES) + "/" + c.fixture;
    for (const auto& [name, written] : {std::pair{"weaponlist.txt", c.weaponName},
                                        std::pair{"armorlist.txt", std::string("armorlist.txt")}}) {
        const std::string own = fixtures + "/" + name;
        folder.write(written,
                     readFile(std::filesystem::exists(own) ? own : sampleDataDirectory() + "/" + name));
    }
    const std::string weapons = folder.file(c.weaponName);
    const std::string armors = folder.file("armorlist.txt");
    const bool renamed = c.weaponName != "weaponlist.txt";
    std::vector<std::string> expected;
    for (std::string line : c.lines) {
        const std::string path = line[0] == 'W' ? weapons : armors;
        expected.push_back(line[0] == 'W' || line[0] == 'A' ? path + line.substr(1) : line);
    }

    std::ostringstream report;
    EXPECT_EQ(checkPriceLists(weapons, armors, report), c.status);
    EXPECT_EQ(report.str().substr(0, report.str().find('\n')),
              "Checking " + weapons + (renamed ? " (used as the weapon list)" : "") + " and " + armors);
    EXPECT_EQ(findings(report.str()), expected);
    EXPECT_NE(report.str().find("\n" + c.tableRow + "\n"), std::string::npos) << report.str();

    PipedOptions options;
    options.arguments = {"--check-data", "--data", folder.path()};
    if (renamed) {
        options.arguments.insert(options.arguments.end(), {"--weapon-list", weapons});
    }
    const PipedRun run = runPiped(options);
    EXPECT_TRUE(run.outcome.exited && run.outcome.exitCode == c.status) << run.outcome.describe();
    EXPECT_EQ(run.out, report.str());
    EXPECT_EQ(run.err, "");
}

INSTANTIATE_TEST_SUITE_P(
    PriceLists, CheckData,
    ::testing::Values(
        // Level 20 is the table's last row.
        CheckCase{"", 0, {}, "20     Mythril Plate  20  Starfall Blade   +28     10 to 84  99 to 270\n"},
        CheckCase{
            "unpriced_start_item",
            3,
            {"A:1: warning: Rags, the starting armor, costs 5 gold: the starting purchases of the player and "
             "of every monster fail"},
            "1      (none)         9   Bare Knuckles    +0      1 to 10   9"},
        CheckCase{
            "level_7_armor_too_dear",
            3,
            {"A:7: warning: monsters of level 7 cannot pay 1300 gold for Scale Mail out of 1200 and fight in "
             "Rags instead"},
            "7      Rags           12  Spear            +9      3 to 30   18 to 72"},
        CheckCase{
            "last_weapon_dear_after_armor",
            3,
            {"W:15: warning: monsters of level 15 and above cannot pay 800 gold for Starfall Blade out of "
             "the 750 left after their armor and fight with Bare Knuckles instead"},
            "16     Mythril Plate  20  Bare Knuckles    +22     8 to 24   65 to 200"},
        CheckCase{
            "duplicate_names",
            3,
            {"A:5: warning: Leather Vest is also the name of line 3: equipping one is refused while the "
             "other is worn"},
            "The game plays these lists, with 1 warning."},
        CheckCase{
            "endless_fight",
            3,
            // Every monster of level 13 to 30, and no other, is out of reach.
            {"A:13: warning: endless fight: a level 1 player (strength 8, dexterity 8) in Force Field with "
             "Bare Knuckles against a level 13 monster (Force Field, Halberd): the player never reaches "
             "armor class 70 (best attack 20), the monster never reaches armor class 69 (best attack 38); "
             "134999 more such fights in Force Field"},
            "13     Force Field   70  Halberd          +18     6 to 51   45 to 153"},
        // Its best hit does 1 point of damage, which ends a fight.
        CheckCase{
            "one_point_weapon", 0, {}, "1      Rags           9   Twig             +0      0 to 1    9"},
        CheckCase{
            "huge_dice_count",
            3,
            {"W:4: warning: Short Sword rolls 5000000 dice: one damage roll would draw more than a million "
             "numbers"},
            "4      Studded Coat   13  Short Sword      +4      5000000 to 60000000  11 to 38"},
        // More than the game reads: after a number, or after the price.
        CheckCase{"number_fields_with_more",
                  3,
                  {"W:2: warning: the price \"l5\" holds no number and is read as 0",
                   "W:5: warning: 2 fields after the price are ignored: \"heavy;extra\"",
                   "W:6: warning: the die size \"8O\" is read as 8: \"O\" after the number is ignored",
                   "W:10: warning: the die size \"12abc\" is read as 12: \"abc\" after the number is ignored",
                   "A:5: warning: the price \"35gp\" is read as 35: \"gp\" after the number is ignored",
                   "A:6: warning: 1 field after the price is ignored: \" light \""},
                  "7      Scale Mail     16  Spear            +9      3 to 30   18 to 72"},
        CheckCase{"negative_price",
                  3,
                  {"A:4: warning: the price of Studded Coat is -20: buying it hands out 20 gold"},
                  "4      Studded Coat   13  Short Sword      +4      1 to 12   11 to 38"},
        CheckCase{"ignored_lines",
                  3,
                  {"A:15: warning: 2 lines after line 13 are ignored: the game reads only the first 13"},
                  "13     Mythril Plate  20  Halberd          +18     6 to 51   45 to 153"},
        CheckCase{"byte_order_mark",
                  3,
                  {"W:1: warning: the file starts with a UTF-8 byte-order mark: the game reads it as part of "
                   "the first name"},
                  "2      Padded Tunic   10  Club             +1      0 to 10   9 to 18"},
        CheckCase{"utf8_names", 0, {}, "1      Rags             9   Bare Knuckles    +0      1 to 10   9"},
        CheckCase{"three_bad_lines",
                  1,
                  {"W:2: the line has 5 fields, 6 are needed", "W:5: the die size is 0, it must be 1 or more",
                   "W:9: the line has 3 fields, 6 are needed"},
                  "The game refuses these lists: 3 faults."},
        // Faults beside the warnings about the lines that read, in one pass,
        // and the likely slips: other separators, thousands separators.
        // NOLINTBEGIN(bugprone-suspicious-missing-comma): long messages are split over two lines
        CheckCase{"slips_beside_faults",
                  1,
                  {"W:2: the line has 1 field, 6 are needed: fields are separated by ';', not by tabs",
                   "W:6: the line has 5 fields, 6 are needed: fields are separated by ';', not by ','",
                   "W:9: warning: the price \"1.200\" is read as 1.2, not as 1200: numbers take no thousands "
                   "separator",
                   "W:10: warning: the price \"1,260\" is read as 1, not as 1260: numbers take no thousands "
                   "separator",
                   "A:12: warning: the price \"1.000,50\" is read as 1, not as 1000.50: numbers take no "
                   "thousands separator",
                   "W:8: warning: Short Sword is also the name of line 4: equipping one is refused while the "
                   "other is worn"},
                  "The game refuses these lists: 2 faults, 4 warnings."},
        // NOLINTEND(bugprone-suspicious-missing-comma)
        // The same under another name: the heading says what it is used as.
        CheckCase{"three_bad_lines",
                  1,
                  {"W:2: the line has 5 fields, 6 are needed", "W:5: the die size is 0, it must be 1 or more",
                   "W:9: the line has 3 fields, 6 are needed"},
                  "The game refuses these lists: 3 faults.",
                  "bad-weaponlist.txt"}));

}  // namespace
}  // namespace e2e
