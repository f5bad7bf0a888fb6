// Whole games played in-process: the exact transcript of the main menu, the
// creation and statistics screens, the end of input at each kind of
// question, and the refusal to start on a bad data file.
#include "game/game_loop.h"

#include <gtest/gtest.h>

#include <string>

#include "character/character.h"
#include "console/console.h"
#include "console/question.h"
#include "support/capture.h"
#include "support/data_files.h"
#include "support/screens.h"

namespace {

const std::string Cleared = clearedScreen();

const std::string MainMenuScreen = std::string(screens::MainMenu) + "Your Choice: ";

const std::string CreationScreen = std::string(screens::CreationMenu) + "Your Choice: ";

using screens::DeleteQuestion;
using screens::ReturnQuestion;

const std::string Constructed =
    "Menu created\nEquipment Menu Created\nCombat Menu Created\nCharacter Created\n";

const std::string StartUp = Constructed +
                            "Loading Weapon List\nLoading Armor List\n"
                            "Setting character weapon to Stick\nSetting character armor to Cloth\n" +
                            Cleared;

// Entering creation from the main menu re-equips what is already worn.
const std::string FreshCreation =
    "Armor already equipped!\nAlready equipped with that weapon!\n" + Cleared + CreationScreen;

const std::string PressKey = "Press any key to continue...\n";

std::string statsOf(const std::string& name, int strength, int dexterity, int constitution) {
    const int hitPoints = 10 + constitution / 2 - 5;
    return "Name: " + name + "\nLevel: 1\nStrength: " + std::to_string(strength) +
           "\nDexterity: " + std::to_string(dexterity) + "\nConstitution: " + std::to_string(constitution) +
           "\nHP: " + std::to_string(hitPoints) + "/" + std::to_string(hitPoints) +
           "\nExperience: 0\nGold: 0\n\nWeapon Used:\n"
           "Stick 1d4 Critical Roll: 20 Critical Hit Multiplier: x2\n"
           "Armor Used:\nCloth AC: 0 Max Dexterity Bonus: +6\n";
}

std::string withFirstLine(const std::string& lines, const std::string& first) {
    return first + "\n" + lines.substr(lines.find('\n') + 1);
}

class GameLoopTest : public ::testing::Test {
protected:
    static constexpr unsigned Seed = 4242;
    ScratchFile weaponFile{withFirstLine(plainWeaponLines(15), "Stick;1;4;20;2;0")};
    ScratchFile armorFile{withFirstLine(plainArmorLines(13), "Cloth;0;6;0")};

    void SetUp() override {
        // The escapes would otherwise depend on where the tests are run from.
        setConsoleEscapesEnabled(false);
    }
    void TearDown() override {
        characterExists = false;
        quitRequested = false;
        resetInputState();
    }

    int play(ConsoleCapture& console, std::string& output) {
        const int status = GameLoop(GameSetup{weaponFile.path(), armorFile.path(), Seed});
        output = console.take();
        return status;
    }
};

TEST_F(GameLoopTest, QuitAtOnce) {
    ConsoleCapture console("q\nleft over\n");
    std::string output;
    EXPECT_EQ(play(console, output), 0);
    EXPECT_EQ(output, StartUp + MainMenuScreen + "Quitting?? Shlub...\n");
    EXPECT_EQ(ConsoleCapture::keyWaits(), 0);
    std::string word;
    EXPECT_TRUE(std::cin >> word);
    EXPECT_EQ(word, "left");
}

TEST_F(GameLoopTest, FirstItemsTooDearAtStartUpArePutOnAtCreation) {
    const ScratchFile dearWeapons(withFirstLine(plainWeaponLines(15), "Stick;1;4;20;2;0.5"));
    const ScratchFile dearArmors(withFirstLine(plainArmorLines(13), "Cloth;0;6;1"));
    ConsoleCapture console("a\nr\ny\nq\n");
    EXPECT_EQ(GameLoop(GameSetup{dearWeapons.path(), dearArmors.path(), Seed}), 0);
    EXPECT_EQ(console.take(), Constructed +
                                  "Loading Weapon List\nLoading Armor List\n"
                                  "You can't afford that, poor ass!\nYou can't afford that, poor ass!\n" +
                                  Cleared + MainMenuScreen + "Character Creation Selected\n" +
                                  "Setting character armor to Cloth\nSetting character weapon to Stick\n" +
                                  Cleared + CreationScreen + ReturnQuestion + "\n" + Cleared + Cleared +
                                  MainMenuScreen + "Quitting?? Shlub...\n");
}

// Create, name in lower case, roll twice, return, view the statistics,
// delete and re-create, view again, quit.
TEST_F(GameLoopTest, CreateNameRollViewDeleteAndRecreate) {
    ConsoleCapture console("x\na\nzz\na\nbob\nb\ny\nn\nr\ny\nc\na\ny\nr\ny\nc\nq\n");
    DrawReplay replay(Seed);
    replay.start();
    int rolls[2][3];
    for (auto& roll : rolls) {
        for (int& score : roll) {
            score = replay.draw() % 5 + 8;  // strength, constitution, dexterity
        }
    }
    auto rolled = [](const int* roll) {
        return "Maximum Roll of 12 for all stats\nStrength: " + std::to_string(roll[0]) +
               "\nConstitution: " + std::to_string(roll[1]) + "\nDexterity: " + std::to_string(roll[2]) +
               "\nRoll Again (Y/N)? ";
    };

    std::string output;
    EXPECT_EQ(play(console, output), 0);
    const std::string expected =
        StartUp + MainMenuScreen + "Invalid Choice!\nYour Choice: " + "Character Creation Selected\n" +
        FreshCreation + "Invalid Choice!\nYour Choice: " + "Set Name Selected\n" + Cleared +
        "Character's Name is: Not Named\nChange Name to: Name Set to: Bob\n" + PressKey + Cleared +
        CreationScreen + "Roll for Stats selected \n" + Cleared + rolled(rolls[0]) + rolled(rolls[1]) +
        Cleared + CreationScreen + ReturnQuestion + "\n" + Cleared + Cleared +
        // View the statistics: the second roll stands.
        MainMenuScreen + "View Stats Selected \n" + Cleared +
        statsOf("Bob", rolls[1][0], rolls[1][2], rolls[1][1]) + PressKey + Cleared +
        // Delete and re-create: the character is back to its defaults.
        MainMenuScreen + DeleteQuestion + "Deleting Character... \nCharacter Creation Selected\n" +
        FreshCreation + ReturnQuestion + "\n" + Cleared + Cleared + MainMenuScreen +
        "View Stats Selected \n" + Cleared + statsOf("", 8, 8, 8) + PressKey + Cleared + MainMenuScreen +
        "Quitting?? Shlub...\n";
    EXPECT_EQ(output, expected);
    EXPECT_EQ(ConsoleCapture::keyWaits(), 3);
    EXPECT_TRUE(characterExists) << "deleting does not clear it";
}

TEST_F(GameLoopTest, RollingWithoutNamingLeavesNoCharacter) {
    ConsoleCapture console("a\nb\nyes\nr\ny\nc\na\nr\nY\nq\n");
    DrawReplay replay(Seed);
    replay.start();
    const int strength = replay.draw() % 5 + 8;
    const int constitution = replay.draw() % 5 + 8;
    const int dexterity = replay.draw() % 5 + 8;

    std::string output;
    EXPECT_EQ(play(console, output), 0);
    EXPECT_EQ(output, StartUp + MainMenuScreen + "Character Creation Selected\n" + FreshCreation +
                          "Roll for Stats selected \n" + Cleared +
                          "Maximum Roll of 12 for all stats\nStrength: " + std::to_string(strength) +
                          "\nConstitution: " + std::to_string(constitution) +
                          "\nDexterity: " + std::to_string(dexterity) + "\nRoll Again (Y/N)? " + Cleared +
                          CreationScreen + ReturnQuestion + "\n" + Cleared + Cleared + MainMenuScreen +
                          "View Stats Selected \n" + Cleared + "No Character Exists!\n" + PressKey + Cleared +
                          MainMenuScreen + "Character Creation Selected\n" + FreshCreation + ReturnQuestion +
                          "\n" + Cleared + Cleared + MainMenuScreen + "Quitting?? Shlub...\n");
    EXPECT_FALSE(characterExists);
}

// Only a first letter from a to z is raised; only the first word of a line
// becomes the name, and the words after it answer the next questions.
TEST_F(GameLoopTest, NamingRaisesOnlyALowerCaseFirstLetter) {
    const struct {
        const char* typed;
        const char* stored;
    } cases[] = {
        {"bob", "Bob"},       {"zed", "Zed"},     {"aNNA", "ANNA"},     {"Zoe", "Zoe"},
        {"9lives", "9lives"}, {"`tick", "`tick"}, {"{brace", "{brace"}, {"\xc3\xa9lise", "\xc3\xa9lise"},
    };
    for (const auto& c : cases) {
        ConsoleCapture console(std::string("a a ") + c.typed + " b\nn\nr y c q\n");
        std::string output;
        EXPECT_EQ(play(console, output), 0) << c.typed;
        EXPECT_NE(output.find(std::string("Change Name to: Name Set to: ") + c.stored + "\n"),
                  std::string::npos)
            << c.typed;
        EXPECT_NE(output.find(std::string("\nName: ") + c.stored + "\n"), std::string::npos) << c.typed;
        EXPECT_NE(output.find("Roll for Stats selected \n"), std::string::npos) << c.typed;
        EXPECT_EQ(output.substr(output.size() - 20), "Quitting?? Shlub...\n") << c.typed;
    }
}

// The end of input at each kind of question: one line end after the prompt,
// then nothing more, and a normal ending.
TEST_F(GameLoopTest, EndOfInputAtAnyQuestionEndsTheGameQuietly) {
    DrawReplay replay(Seed);
    replay.start();
    const int strength = replay.draw() % 5 + 8;
    const int constitution = replay.draw() % 5 + 8;
    const int dexterity = replay.draw() % 5 + 8;
    const std::string rolled = "Maximum Roll of 12 for all stats\nStrength: " + std::to_string(strength) +
                               "\nConstitution: " + std::to_string(constitution) +
                               "\nDexterity: " + std::to_string(dexterity) + "\n";
    const struct {
        const char* where;
        const char* input;
        std::string ending;
    } cases[] = {
        {"main menu", "", StartUp + MainMenuScreen + "\n"},
        {"main menu again", "x\n", MainMenuScreen + "Invalid Choice!\nYour Choice: \n"},
        {"creation menu", "a\n", FreshCreation + "\n"},
        {"name", "a\na\n", "Character's Name is: Not Named\nChange Name to: \n"},
        {"roll again", "a\nb\n", Cleared + rolled + "Roll Again (Y/N)? \n"},
        {"roll again twice", "a\nb\nY\n", "Roll Again (Y/N)? Maximum Roll of 12 for all stats\n"},
        {"return confirmation", "a\nr\n", CreationScreen + ReturnQuestion + "\n"},
        {"delete confirmation", "a\na\nbob\nr\ny\na\n", MainMenuScreen + DeleteQuestion + "\n"},
        {"after statistics", "c\n", "No Character Exists!\n" + PressKey + Cleared + MainMenuScreen + "\n"},
    };
    for (const auto& c : cases) {
        ConsoleCapture console(c.input);
        std::string output;
        EXPECT_EQ(play(console, output), 0) << c.where;
        EXPECT_TRUE(inputEnded()) << c.where;
        if (std::string(c.where) == "roll again twice") {
            // The second roll is written in full before its question ends the game.
            EXPECT_NE(output.find(c.ending), std::string::npos);
            EXPECT_EQ(output.substr(output.size() - 19), "Roll Again (Y/N)? \n");
            continue;
        }
        ASSERT_GE(output.size(), c.ending.size()) << c.where;
        EXPECT_EQ(output.substr(output.size() - c.ending.size()), c.ending) << c.where;
    }
}

// A data file that cannot be used: one line on standard error, status 1, and
// nothing on standard output after the loading line of the bad file.
TEST_F(GameLoopTest, BadDataFileRefusesToStart) {
    const ScratchFile shortWeapons(plainWeaponLines(14));
    const ScratchFile zeroDie(withFirstLine(plainWeaponLines(15), "Stick;1;0;20;2;0"));
    const ScratchFile fewArmorFields(withFirstLine(plainArmorLines(13), "Cloth;0"));
    const std::string absent = weaponFile.path() + ".absent";
    // The scratch files' names are not the lists' own: the refusal says
    // what the file at fault was used as.
    const std::string asWeapons = " (used as the weapon list)";
    const std::string asArmors = " (used as the armor list)";
    const struct {
        std::string weapons;
        std::string armors;
        std::string error;
        bool armorLoaded;
    } cases[] = {
        {absent, armorFile.path(),
         absent + asWeapons + ": cannot open the file for reading: No such file or directory\n", false},
        {shortWeapons.path(), armorFile.path(),
         shortWeapons.path() + asWeapons + ":15: missing line: 15 lines are needed\n", false},
        {zeroDie.path(), armorFile.path(),
         zeroDie.path() + asWeapons + ":1: the die size is 0, it must be 1 or more\n", false},
        {weaponFile.path(), fewArmorFields.path(),
         fewArmorFields.path() + asArmors + ":1: the line has 2 fields, 4 are needed\n", true},
        {weaponFile.path(), absent,
         absent + asArmors + ": cannot open the file for reading: No such file or directory\n", true},
    };
    for (const auto& c : cases) {
        ConsoleCapture console("q\n");
        ErrorCapture errors;
        EXPECT_EQ(GameLoop(GameSetup{c.weapons, c.armors, Seed}), 1) << c.error;
        EXPECT_EQ(console.take(),
                  Constructed + "Loading Weapon List\n" + (c.armorLoaded ? "Loading Armor List\n" : ""))
            << c.error;
        EXPECT_EQ(errors.take(), c.error);
        std::string word;
        EXPECT_TRUE(std::cin >> word) << "no answer may be read";
        EXPECT_EQ(word, "q");
    }
}

}  // namespace
