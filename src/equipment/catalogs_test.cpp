// The price lists: loading the data files (what loads and what is refused),
// the listings, equipping and buying.
#include "equipment/catalogs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "character/character.h"
#include "support/capture.h"
#include "support/data_files.h"

namespace {

// Fifteen weapons chosen for the listing's tab rule, critical ranges, prices
// and names that differ only by case or a trailing space.
const char* const ListingWeapons =
    "Fist;1;3;20;2;0\n"
    "Elevenchars;1;4;19;2;2.5\n"
    "Twelve chars;2;6;0;3;1200\n"
    "Elevenchar ;1;8;20;2;12.5\n"
    "Twelvechars ;1;8;20;2;15\n"
    "Club;1;6;20;2;5\n"
    "Club ;1;8;20;2;80\n"
    "CLUB;1;8;20;3;110\n"
    "Axe;-1;10;20;3;200\n"
    "Hammerheads;1;12;20;3;260\n"
    "Flail;2;6;20;2;330\n"
    "Elevenchars;2;6;19;2;400\n"
    "Thirteen char;1;12;19;3;480\n"
    "Cleaver;2;8;19;3;560\n"
    "Eleven char;2;10;18;3;650\n";

const char* const ListingArmors =
    "Rags;0;8;0\n"
    "Elevenchars;1;6;2.5\n"
    "Twelve chars;2;5;1200\n"
    "Cursed Mail;-1;-2;7\n"
    "Elevenchar ;3;4;10\n"
    "Vest;3;3;20\n"
    "Vest ;4;3;30\n"
    "VEST;4;2;40\n"
    "Mail;5;2;50\n"
    "Elevenchars;5;2;100\n"
    "Ten chars!;5;2;150\n"
    "Elevenchar ;6;1;200\n"
    "Full Plate;8;1;380\n";

// Replaces line `index` (0-based) of a text of lines.
std::string withLine(const std::string& lines, int index, const std::string& replacement) {
    std::size_t start = 0;
    for (int i = 0; i < index; ++i) {
        start = lines.find('\n', start) + 1;
    }
    const std::size_t end = lines.find('\n', start);
    return lines.substr(0, start) + replacement + lines.substr(end);
}

// The shipped lists: loaded whole, the first item of each free, prices rising,
// and a monster of level L can buy armor L-1 and then weapon L-1 from 1200 gold.
TEST(CatalogLoadTest, SampleFilesLoad) {
    ConsoleCapture console;
    const WeaponCatalog weapons(sampleDataFile("weaponlist.txt"));
    const ArmorCatalog armors(sampleDataFile("armorlist.txt"));
    EXPECT_EQ(console.take(), "Loading Weapon List\nLoading Armor List\n");
    ASSERT_TRUE(weapons.loaded()) << weapons.loadError().message();
    ASSERT_TRUE(armors.loaded()) << armors.loadError().message();
    EXPECT_EQ(weapons.prices[0], 0.0);
    EXPECT_EQ(armors.prices[0], 0.0);
    for (int i = 1; i < WeaponCatalog::Size; ++i) {
        EXPECT_GT(weapons.prices[i], weapons.prices[i - 1]) << weapons.names[i];
    }
    for (int i = 1; i < ArmorCatalog::Size; ++i) {
        EXPECT_GT(armors.prices[i], armors.prices[i - 1]) << armors.names[i];
    }
    for (int level = 1; level <= 20; ++level) {
        const int armor = std::min(level - 1, ArmorCatalog::Size - 1);
        const int weapon = std::min(level - 1, WeaponCatalog::Size - 1);
        EXPECT_LE(armors.prices[armor] + weapons.prices[weapon], 1200.0) << "level " << level;
    }
}

// One weapon line in a file of plain lines; the entry it becomes.
TEST(CatalogLoadTest, WeaponFieldsAreSplitAndReadLikeStrtokAtoiAtof) {
    const struct {
        const char* line;
        const char* name;
        int diceCount, dieSize, threshold, multiplier;
        double price;
    } cases[] = {
        {"Club;1;6;20;2;5", "Club", 1, 6, 20, 2, 5},
        {";;Club;1;6;20;2;5", "Club", 1, 6, 20, 2, 5},
        {"Club;;1;6;;;20;2;5;", "Club", 1, 6, 20, 2, 5},
        {"Club;1;6;20;2;5;extra;9;fields", "Club", 1, 6, 20, 2, 5},
        {"Long Sword ;1;8;19;2;15", "Long Sword ", 1, 8, 19, 2, 15},
        {" Axe  Head;1;6;20;3;10", " Axe  Head", 1, 6, 20, 3, 10},
        {"Dagger;1;4;19;2;12.5\r", "Dagger", 1, 4, 19, 2, 12.5},
        {"Dagger;1;4;19;2;12.5xyz", "Dagger", 1, 4, 19, 2, 12.5},
        {"Rock;abc;4;20;2;abc", "Rock", 0, 4, 20, 2, 0},
        {"Rock; 7x;4; +3;-2;1e2", "Rock", 7, 4, 3, -2, 100},
        {"Rock;1;4;20;2;-1.5", "Rock", 1, 4, 20, 2, -1.5},
        {"Rock;1;4;20;2;.5", "Rock", 1, 4, 20, 2, 0.5},
    };
    for (const auto& c : cases) {
        const ScratchFile file(withLine(plainWeaponLines(15), 4, c.line));
        ConsoleCapture console;
        const WeaponCatalog weapons(file.path());
        ASSERT_TRUE(weapons.loaded()) << c.line << ": " << weapons.loadError().message();
        EXPECT_EQ(weapons.names[4], c.name) << c.line;
        EXPECT_EQ(weapons.diceCounts[4], c.diceCount) << c.line;
        EXPECT_EQ(weapons.dieSizes[4], c.dieSize) << c.line;
        EXPECT_EQ(weapons.criticalThresholds[4], c.threshold) << c.line;
        EXPECT_EQ(weapons.criticalMultipliers[4], c.multiplier) << c.line;
        EXPECT_EQ(weapons.prices[4], c.price) << c.line;
        // The neighbours are untouched by whatever this line holds.
        EXPECT_EQ(weapons.names[3], "W4");
        EXPECT_EQ(weapons.names[5], "W6");
        EXPECT_EQ(weapons.prices[5], 6.0);
        EXPECT_EQ(console.take(), "Loading Weapon List\n");
    }
}

TEST(CatalogLoadTest, ArmorFieldsAreSplitAndReadLikeStrtokAtoiAtof) {
    const struct {
        const char* line;
        const char* name;
        int armorBonus, maxDexterity;
        double price;
    } cases[] = {
        {"Hide;3;4;35", "Hide", 3, 4, 35},
        {";Hide;;3;;;4;35;;", "Hide", 3, 4, 35},
        {"Hide Coat ;3;4;35;junk", "Hide Coat ", 3, 4, 35},
        {"Hide;-1;x;2.5\r", "Hide", -1, 0, 2.5},
    };
    for (const auto& c : cases) {
        const ScratchFile file(withLine(plainArmorLines(13), 12, c.line));
        ConsoleCapture console;
        const ArmorCatalog armors(file.path());
        ASSERT_TRUE(armors.loaded()) << c.line << ": " << armors.loadError().message();
        EXPECT_EQ(armors.names[12], c.name) << c.line;
        EXPECT_EQ(armors.armorBonuses[12], c.armorBonus) << c.line;
        EXPECT_EQ(armors.maxDexterityBonuses[12], c.maxDexterity) << c.line;
        EXPECT_EQ(armors.prices[12], c.price) << c.line;
    }
}

TEST(CatalogLoadTest, LineEndsExtraLinesAndTheLongestLine) {
    ConsoleCapture console;
    {
        // Windows line ends throughout, and more lines than needed.
        std::string text = plainWeaponLines(20);
        std::string crlf;
        for (char ch : text) {
            crlf += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
        }
        const ScratchFile file(crlf);
        const WeaponCatalog weapons(file.path());
        ASSERT_TRUE(weapons.loaded()) << weapons.loadError().message();
        EXPECT_EQ(weapons.names[0], "W1");
        EXPECT_EQ(weapons.names[14], "W15");
        EXPECT_EQ(weapons.prices[14], 15.0);
    }
    {
        // The last needed line without a line end.
        std::string text = plainArmorLines(13);
        text.pop_back();
        const ScratchFile file(text);
        const ArmorCatalog armors(file.path());
        ASSERT_TRUE(armors.loaded()) << armors.loadError().message();
        EXPECT_EQ(armors.names[12], "A13");
        EXPECT_EQ(armors.prices[12], 13.0);
    }
    {
        // 299 characters load; the name takes all but the 11 of the numbers.
        const std::string name(299 - 11, 'n');
        const ScratchFile file(withLine(plainWeaponLines(15), 14, name + ";1;6;20;2;5"));
        const WeaponCatalog weapons(file.path());
        ASSERT_TRUE(weapons.loaded()) << weapons.loadError().message();
        EXPECT_EQ(weapons.names[14], name);
        EXPECT_EQ(weapons.prices[14], 5.0);
    }
    {
        // The carriage return of a Windows line end is not part of the line.
        const std::string name(299 - 6, 'a');
        const ScratchFile file(withLine(plainArmorLines(13), 0, name + ";1;4;0\r"));
        const ArmorCatalog armors(file.path());
        ASSERT_TRUE(armors.loaded()) << armors.loadError().message();
        EXPECT_EQ(armors.names[0], name);
    }
}

// Every refusal names the file, the line and the fault.
TEST(CatalogLoadTest, BadWeaponFilesAreRefusedWithTheirReason) {
    const std::string longLine = std::string(300 - 11, 'n') + ";1;6;20;2;5";
    const struct {
        std::string contents;
        int line;
        std::string reason;
    } cases[] = {
        {"", 1, "missing line: 15 lines are needed"},
        {plainWeaponLines(14), 15, "missing line: 15 lines are needed"},
        {withLine(plainWeaponLines(15), 2, "Club;1;6;20;2"), 3, "the line has 5 fields, 6 are needed"},
        {withLine(plainWeaponLines(15), 2, "Club;1;6;20;2;"), 3, "the line has 5 fields, 6 are needed"},
        {withLine(plainWeaponLines(15), 2, "Club;1;6;;;2;5"), 3, "the line has 5 fields, 6 are needed"},
        {withLine(plainWeaponLines(15), 0, ""), 1, "the line has 0 fields, 6 are needed"},
        // Fields separated otherwise get a hint when that makes them up.
        {withLine(plainWeaponLines(15), 1, "Club\t1\t6\t20\t2\t5"), 2,
         "the line has 1 field, 6 are needed: fields are separated by ';', not by tabs"},
        {withLine(plainWeaponLines(15), 1, "Club;1;6,20;2;5"), 2,
         "the line has 5 fields, 6 are needed: fields are separated by ';', not by ','"},
        {withLine(plainWeaponLines(15), 1, "Club, Spiked;1;6\t20"), 2, "the line has 3 fields, 6 are needed"},
        {withLine(plainWeaponLines(15), 3, longLine), 4, "the line is longer than 299 characters"},
        // A line too long to take in ends the reading: it may never end.
        {std::string(70000, 'n') + "\n" + plainWeaponLines(15), 1,
         "the line runs past 65536 characters without a line end: the rest of the file is not read"},
        {withLine(plainWeaponLines(15), 5, "Club;1;0;20;2;5"), 6, "the die size is 0, it must be 1 or more"},
        {withLine(plainWeaponLines(15), 14, "Club;1;-3;20;2;5"), 15,
         "the die size is -3, it must be 1 or more"},
        {withLine(plainWeaponLines(15), 7, "Club;1;d6;20;2;5"), 8, "the die size is 0, it must be 1 or more"},
    };
    for (const auto& c : cases) {
        const ScratchFile file(c.contents);
        ConsoleCapture console;
        const WeaponCatalog weapons(file.path());
        EXPECT_EQ(console.take(), "Loading Weapon List\n");
        ASSERT_FALSE(weapons.loaded()) << c.reason;
        EXPECT_EQ(weapons.loadError().file, file.path());
        EXPECT_EQ(weapons.loadError().line, c.line) << c.reason;
        EXPECT_EQ(weapons.loadError().reason, c.reason);
        EXPECT_EQ(weapons.loadError().message(),
                  file.path() + ":" + std::to_string(c.line) + ": " + c.reason);
        EXPECT_EQ(weapons.loadFaults().size(), 1U) << c.reason;
    }
}

// A bad line does not stop the reading: every fault is listed in file order,
// and the first is still the one the game reports. A missing line ends it.
TEST(CatalogLoadTest, EveryFaultOfAFileIsCollected) {
    const ScratchFile file(withLine(withLine(plainWeaponLines(12), 1, "Club;1;6"), 4, "Axe;1;0;20;2;5"));
    ConsoleCapture console;
    const WeaponCatalog weapons(file.path());
    std::string all;
    for (const LoadError& fault : weapons.loadFaults()) {
        all += fault.message() + "\n";
    }
    const std::string at = file.path() + ":";
    EXPECT_EQ(all, at + "2: the line has 3 fields, 6 are needed\n" + at +
                       "5: the die size is 0, it must be 1 or more\n" + at +
                       "13: missing line: 15 lines are needed\n");
    EXPECT_EQ(weapons.loadError().line, 2);
}

TEST(CatalogLoadTest, BadArmorFilesAreRefusedWithTheirReason) {
    const struct {
        std::string contents;
        int line;
        std::string reason;
    } cases[] = {
        {plainArmorLines(12), 13, "missing line: 13 lines are needed"},
        {withLine(plainArmorLines(13), 9, "Vest;3;4"), 10, "the line has 3 fields, 4 are needed"},
        {withLine(plainArmorLines(13), 9, "Vest"), 10, "the line has 1 field, 4 are needed"},
        {withLine(plainArmorLines(13), 0, std::string(300 - 6, 'a') + ";1;4;0"), 1,
         "the line is longer than 299 characters"},
    };
    for (const auto& c : cases) {
        const ScratchFile file(c.contents);
        ConsoleCapture console;
        const ArmorCatalog armors(file.path());
        EXPECT_EQ(console.take(), "Loading Armor List\n");
        ASSERT_FALSE(armors.loaded()) << c.reason;
        EXPECT_EQ(armors.loadError().message(), file.path() + ":" + std::to_string(c.line) + ": " + c.reason);
    }
}

// For the check, the lines after those the game reads are counted within
// 1 MiB, so that a list without end still gets its report.
TEST(CatalogLoadTest, IgnoredLinesAreCountedWithinABound) {
    std::string mebibyte;
    for (int line = 0; line < 512 * 1024; ++line) {
        mebibyte += "x\n";
    }
    const std::string ignored = " after line 13 are ignored: the game reads only the first 13";
    const struct {
        std::string after;
        std::string warning;  // after the file's name
    } cases[] = {
        {"", ""},
        {"\n \t\r\n", ""},
        {"\n\nx;1;1;1\n", ":16: 1 line after line 13 is ignored: the game reads only the first 13"},
        {mebibyte, ":14: 524288 lines" + ignored},
        {mebibyte + "x", ":14: 524288 lines and more" + ignored},
        {std::string(mebibyte.size() + 1, 'x'), ":14: 1 line and more" + ignored},
    };
    for (const auto& c : cases) {
        const ScratchFile file(plainArmorLines(13) + c.after);
        ConsoleCapture console;
        const ArmorCatalog armors(file.path(), LinesRead::All);
        ASSERT_TRUE(armors.loaded()) << armors.loadError().message();
        std::string warnings;
        for (const LoadError& warning : armors.loadWarnings()) {
            warnings += warning.message();
        }
        EXPECT_EQ(warnings, c.warning.empty() ? "" : file.path() + c.warning) << c.warning;
    }
}

TEST(CatalogLoadTest, MissingFileIsRefusedWithoutALineNumber) {
    const std::string path = ScratchFile("").path() + ".absent";
    ConsoleCapture console;
    const WeaponCatalog weapons(path);
    ASSERT_FALSE(weapons.loaded());
    EXPECT_EQ(weapons.loadError().line, 0);
    EXPECT_EQ(weapons.loadError().message(),
              path + ": cannot open the file for reading: No such file or directory");
    const ArmorCatalog armors(path);
    ASSERT_FALSE(armors.loaded());
    EXPECT_EQ(armors.loadError().message(),
              path + ": cannot open the file for reading: No such file or directory");
    EXPECT_EQ(console.take(), "Loading Weapon List\nLoading Armor List\n");
}

TEST(CatalogLoadTest, DirectoryIsRefusedAsNotAFile) {
    const std::string path = ScratchFile("").path() + ".folder";
    ASSERT_TRUE(std::filesystem::create_directory(path));
    ConsoleCapture console;
    const WeaponCatalog weapons(path);
    EXPECT_EQ(weapons.loadError().message(), path + ": cannot open the file for reading: Is a directory");
    const ArmorCatalog armors(path);
    EXPECT_EQ(armors.loadError().message(), path + ": cannot open the file for reading: Is a directory");
    std::filesystem::remove(path);
}

class CatalogTest : public ::testing::Test {
protected:
    ScratchFile weaponFile{ListingWeapons};
    ScratchFile armorFile{ListingArmors};
    ConsoleCapture console;
    WeaponCatalog weapons{weaponFile.path()};
    ArmorCatalog armors{armorFile.path()};
    Character hero;

    void SetUp() override {
        ASSERT_TRUE(weapons.loaded()) << weapons.loadError().message();
        ASSERT_TRUE(armors.loaded()) << armors.loadError().message();
        console.take();
    }
};

TEST_F(CatalogTest, WeaponListing) {
    weapons.list();
    EXPECT_EQ(console.take(),
              "------LISTING WEAPONS-------\n"
              "[1] Fist\t\t1d3 (20/x2)\t0g\n"
              "[2] Elevenchars\t\t1d4 (19-20/x2)\t2.5g\n"
              "[3] Twelve chars\t2d6 (0-20/x3)\t1200g\n"
              "[4] Elevenchar \t\t1d8 (20/x2)\t12.5g\n"
              "[5] Twelvechars \t1d8 (20/x2)\t15g\n"
              "[6] Club\t\t1d6 (20/x2)\t5g\n"
              "[7] Club \t\t1d8 (20/x2)\t80g\n"
              "[8] CLUB\t\t1d8 (20/x3)\t110g\n"
              "[9] Axe\t\t-1d10 (20/x3)\t200g\n"
              "[10] Hammerheads\t\t1d12 (20/x3)\t260g\n"
              "[11] Flail\t\t2d6 (20/x2)\t330g\n"
              "[12] Elevenchars\t\t2d6 (19-20/x2)\t400g\n"
              "[13] Thirteen char\t1d12 (19-20/x3)\t480g\n"
              "[14] Cleaver\t\t2d8 (19-20/x3)\t560g\n"
              "[15] Eleven char\t\t2d10 (18-20/x3)\t650g\n"
              "[R] Return to the equipment menu.\n"
              "---END WEAPON LIST--------\n");
}

TEST_F(CatalogTest, ArmorListing) {
    armors.list();
    EXPECT_EQ(console.take(),
              "------LISTING ARMOR-------\n"
              "[1] Rags\t\tAC: +0\tMax Dex: +8\t0g\n"
              "[2] Elevenchars\t\tAC: +1\tMax Dex: +6\t2.5g\n"
              "[3] Twelve chars\tAC: +2\tMax Dex: +5\t1200g\n"
              "[4] Cursed Mail\t\tAC: +-1\tMax Dex: +-2\t7g\n"
              "[5] Elevenchar \t\tAC: +3\tMax Dex: +4\t10g\n"
              "[6] Vest\t\tAC: +3\tMax Dex: +3\t20g\n"
              "[7] Vest \t\tAC: +4\tMax Dex: +3\t30g\n"
              "[8] VEST\t\tAC: +4\tMax Dex: +2\t40g\n"
              "[9] Mail\t\tAC: +5\tMax Dex: +2\t50g\n"
              "[10] Elevenchars\tAC: +5\tMax Dex: +2\t100g\n"
              "[11] Ten chars!\t\tAC: +5\tMax Dex: +2\t150g\n"
              "[12] Elevenchar \tAC: +6\tMax Dex: +1\t200g\n"
              "[13] Full Plate\t\tAC: +8\tMax Dex: +1\t380g\n"
              "[R] Return to the equipment menu.\n"
              "---END ARMOR LIST--------\n");
}

TEST_F(CatalogTest, EquipCopiesTheEntryAndRefusesTheSameNameOnly) {
    hero.gold = 3;
    EXPECT_EQ(weapons.equip(1, hero), 1);
    EXPECT_EQ(console.take(), "Setting character weapon to Elevenchars\n");
    EXPECT_EQ(hero.weapon.diceCount, 1);
    EXPECT_EQ(hero.weapon.dieSize, 4);
    EXPECT_EQ(hero.weapon.criticalThreshold, 19);
    EXPECT_EQ(hero.weapon.criticalMultiplier, 2);
    EXPECT_EQ(hero.weapon.price, 2.5);
    EXPECT_EQ(hero.gold, 3.0);

    // The same name, even with other numbers, is refused and changes nothing.
    EXPECT_EQ(weapons.equip(1, hero), 0);
    EXPECT_EQ(weapons.equip(11, hero), 0);
    EXPECT_EQ(console.take(), "Already equipped with that weapon!\nAlready equipped with that weapon!\n");
    EXPECT_EQ(hero.weapon.diceCount, 1);
    EXPECT_EQ(hero.weapon.dieSize, 4);
    EXPECT_EQ(hero.weapon.price, 2.5);

    // Case and a trailing space make a different name.
    EXPECT_EQ(weapons.equip(5, hero), 1);
    EXPECT_EQ(weapons.equip(6, hero), 1);
    EXPECT_EQ(weapons.equip(7, hero), 1);
    EXPECT_EQ(console.take(),
              "Setting character weapon to Club\nSetting character weapon to Club \n"
              "Setting character weapon to CLUB\n");
    EXPECT_EQ(hero.weapon.name, "CLUB");
    EXPECT_EQ(hero.weapon.criticalMultiplier, 3);
    EXPECT_EQ(hero.weapon.price, 110.0);

    EXPECT_EQ(armors.equip(3, hero), 1);
    EXPECT_EQ(hero.armor.armorBonus, -1);
    EXPECT_EQ(hero.armor.maxDexterityBonus, -2);
    EXPECT_EQ(hero.armor.price, 7.0);
    EXPECT_EQ(armors.equip(5, hero), 1);
    EXPECT_EQ(armors.equip(6, hero), 1);
    EXPECT_EQ(armors.equip(6, hero), 0);
    EXPECT_EQ(console.take(),
              "Setting character armor to Cursed Mail\nSetting character armor to Vest\n"
              "Setting character armor to Vest \nArmor already equipped!\n");
    EXPECT_EQ(hero.armor.armorBonus, 4);
    EXPECT_EQ(hero.gold, 3.0);
}

TEST_F(CatalogTest, BuyingWeaponsAndArmor) {
    const char* const Poor = "You can't afford that, poor ass!\n";
    const char* const WornWeapon = "Already equipped with that weapon!\n";
    const char* const WornArmor = "Armor already equipped!\n";
    const struct {
        bool weapon;  // otherwise armor
        double gold;
        int wornIndex;  // -1: nothing worn
        int index;
        int result;
        double goldAfter;
        std::string written;
        const char* nameAfter;
    } cases[] = {
        {true, 2.5, -1, 1, 1, 0.0, "Setting character weapon to Elevenchars\n", "Elevenchars"},
        {true, 2.0, -1, 1, 0, 2.0, Poor, ""},
        {true, 1200, -1, 2, 1, 0.0, "Setting character weapon to Twelve chars\n", "Twelve chars"},
        {true, 1199.5, -1, 2, 0, 1199.5, Poor, ""},
        {true, 0, -1, 0, 1, 0.0, "Setting character weapon to Fist\n", "Fist"},
        {true, 0, 0, 0, 0, 0.0, WornWeapon, "Fist"},
        {true, 10, 1, 1, 0, 10.0, WornWeapon, "Elevenchars"},
        {true, 10, 1, 11, 0, 10.0, Poor, "Elevenchars"},
        {true, 1, 1, 1, 0, 1.0, Poor, "Elevenchars"},
        {true, 500, 2, 0, 1, 500.0, "Setting character weapon to Fist\n", "Fist"},
        {true, 500, 2, 5, 1, 495.0, "Setting character weapon to Club\n", "Club"},
        {false, 2.5, -1, 1, 1, 0.0, "Setting character armor to Elevenchars\n", "Elevenchars"},
        {false, 2.0, -1, 1, 0, 2.0, Poor, ""},
        {false, 0, 0, 0, 0, 0.0, WornArmor, "Rags"},
        {false, 150, 9, 9, 0, 150.0, WornArmor, "Elevenchars"},
        {false, 150, 9, 1, 0, 150.0, WornArmor, "Elevenchars"},
        {false, 50, 9, 9, 0, 50.0, Poor, "Elevenchars"},
        {false, 1210, -1, 2, 1, 10.0, "Setting character armor to Twelve chars\n", "Twelve chars"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.weapon ? "weapon " : "armor ") + std::to_string(c.index) + " for " +
                     std::to_string(c.gold));
        Character buyer;
        if (c.wornIndex >= 0 && c.weapon) {
            weapons.equip(c.wornIndex, buyer);
        } else if (c.wornIndex >= 0) {
            armors.equip(c.wornIndex, buyer);
        }
        buyer.gold = c.gold;
        console.take();
        EXPECT_EQ(c.weapon ? buyer.buyWeapon(c.index, weapons) : buyer.buyArmor(c.index, armors), c.result);
        EXPECT_EQ(buyer.gold, c.goldAfter);
        EXPECT_EQ(console.take(), c.written);
        EXPECT_EQ(c.weapon ? buyer.weapon.name : buyer.armor.name, c.nameAfter);
    }
}

}  // namespace
