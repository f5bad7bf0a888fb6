// The four menu screens and their parsers, with the two confirmations that
// read answers of their own.
#include "menus/menus.h"

#include <gtest/gtest.h>

#include <string>

#include "character/character.h"
#include "console/question.h"
#include "game/game_state.h"
#include "support/capture.h"

namespace {

const char* const Invalid = "Invalid Choice!\n";

// What is left unread on standard input.
std::string unread() {
    std::string rest;
    std::string word;
    while (std::cin >> word) {
        rest += rest.empty() ? word : " " + word;
    }
    return rest;
}

// Restores the process-wide flags the parsers read and the confirmations set.
class MenuTest : public ::testing::Test {
protected:
    void TearDown() override {
        characterExists = false;
        quitRequested = false;
        resetInputState();
    }
};

TEST_F(MenuTest, LetterMenuScreens) {
    ConsoleCapture console;
    const MainMenu menu;
    const EquipmentMenu equipment;
    const Character hero;
    console.take();

    menu.display();
    EXPECT_EQ(console.take(),
              "-------Main Menu-------\n"
              " PLEASE CHOOSE FROM THE FOLLOWING OPTIONS \n"
              "A. Create Character\n"
              "B. Purchase Equipment\n"
              "C. View Stats\n"
              "D. Fight in the Brawlarium!! \n"
              "Q. Quit\n"
              "-----------------------\n");
    hero.displayCreationMenu();
    EXPECT_EQ(console.take(),
              "----Character Creation Menu----\n"
              " PLEASE CHOOSE FROM THE FOLLOWING OPTIONS \n"
              "A. Name Character\n"
              "B. Roll for Stats\n"
              "R. Return to the Main Menu\n"
              "--------------------------------\n");
    equipment.display();
    EXPECT_EQ(console.take(),
              "----PURCHASE EQUIPMENT MENU----\n"
              " PLEASE CHOOSE FROM THE FOLLOWING OPTIONS \n"
              "A. Purchase A Weapon\n"
              "B. Purchase Armor\n"
              "R. Return to the Main Menu\n"
              "-------------------------------\n");
}

TEST_F(MenuTest, CombatMenuListsUpToTwentyLevels) {
    const std::string head = "--------COMBAT MENU---------\nPLEASE CHOOSE THE LEVEL OF YOUR OPPONENT\n";
    const std::string tail = "[R] Return to Main Menu\n----------------------------\n";
    auto levels = [](int last) {
        std::string text;
        for (int level = 1; level <= last; ++level) {
            text += "[" + std::to_string(level) + "] Level " + std::to_string(level) + "\n";
        }
        return text;
    };
    const struct {
        int highest;
        int listed;
    } cases[] = {{1, 1}, {12, 12}, {20, 20}, {21, 20}, {500, 20}, {0, 0}, {-4, 0}};
    for (const auto& c : cases) {
        ConsoleCapture console;
        CombatMenu combat;
        EXPECT_EQ(combat.setHighestSelectableLevel(c.highest), 1);
        EXPECT_EQ(combat.highestSelectableLevel, c.highest);
        console.take();
        combat.display();
        std::string expected = head;
        expected += levels(c.listed);
        expected += tail;
        EXPECT_EQ(console.take(), expected) << c.highest;
    }
    EXPECT_EQ(levels(2), "[1] Level 1\n[2] Level 2\n");
}

// Answers that ask no question: nothing may be read from standard input.
TEST_F(MenuTest, MainMenuParser) {
    const struct {
        bool exists;
        const char* answer;
        MenuCode code;
        const char* written;
    } cases[] = {
        {false, "a", 1, "Character Creation Selected\n"},
        {false, "A", 1, "Character Creation Selected\n"},
        {true, "b", 2, "Purchase Equipment selected \n"},
        {false, "B", 2, "Purchase Equipment selected \n"},
        {true, "c", 3, "View Stats Selected \n"},
        {false, "C", 3, "View Stats Selected \n"},
        {false, "d", 4, "Brawlarium!! Prepare for Battle!\n"},
        {true, "D", 4, "Brawlarium!! Prepare for Battle!\n"},
        {false, "q", 5, "Quitting?? Shlub...\n"},
        {true, "Q", 5, "Quitting?? Shlub...\n"},
        {false, "aa", 0, Invalid},
        {true, "aa", 0, Invalid},
        {false, "b.", 0, Invalid},
        {false, "quit", 0, Invalid},
        {false, "x", 0, Invalid},
        {false, "1", 0, Invalid},
        {false, "r", 0, Invalid},
        {false, "", 0, Invalid},
    };
    for (const auto& c : cases) {
        ConsoleCapture console("untouched");
        const MainMenu menu;
        console.take();
        characterExists = c.exists;
        EXPECT_EQ(menu.parseChoice(c.answer), c.code) << c.answer;
        EXPECT_EQ(console.take(), c.written) << c.answer;
        EXPECT_EQ(unread(), "untouched") << c.answer;
    }
}

TEST_F(MenuTest, DeleteConfirmationReadsItsOwnWord) {
    const std::string question = "Character Already Exists, Do you wish to Delete (Y/N)?  ";
    const std::string deleting = "Deleting Character... \nCharacter Creation Selected\n";
    const std::string kept = "Character remains intact, returning to main menu \n";
    const struct {
        const char* answer;
        const char* input;
        MenuCode code;
        std::string written;
        const char* left;
    } cases[] = {
        {"a", "y\n", 1, question + deleting, ""},
        {"A", "Y next\n", 1, question + deleting, "next"},
        {"a", "\n\n   y\n", 1, question + deleting, ""},
        {"a", "yes\n", 0, question + kept, ""},
        {"A", "n\n", 0, question + kept, ""},
        {"a", "N later words\n", 0, question + kept, "later words"},
        {"a", "yy\n", 0, question + kept, ""},
    };
    for (const auto& c : cases) {
        ConsoleCapture console(c.input);
        const MainMenu menu;
        console.take();
        characterExists = true;
        EXPECT_EQ(menu.parseChoice(c.answer), c.code) << c.input;
        EXPECT_EQ(console.take(), c.written) << c.input;
        EXPECT_TRUE(characterExists) << "the parser deletes nothing itself";
        EXPECT_FALSE(quitRequested);
        EXPECT_EQ(unread(), c.left) << c.input;
    }
}

TEST_F(MenuTest, CreationMenuParser) {
    const std::string warning =
        "Returning to the menu will set your character.\n"
        "After this point, you will not be able to set\n"
        "the name or roll for stats without deleting!\n"
        "Do you still want to return to the main menu (Y/N)? ";
    const std::string staying = "\nStaying in the character creation menu.\n";
    const struct {
        const char* answer;
        const char* input;
        MenuCode code;
        std::string written;
        const char* left;
    } cases[] = {
        {"a", "untouched", 1, "Set Name Selected\n", "untouched"},
        {"A", "untouched", 1, "Set Name Selected\n", "untouched"},
        {"b", "untouched", 2, "Roll for Stats selected \n", "untouched"},
        {"B", "untouched", 2, "Roll for Stats selected \n", "untouched"},
        {"rr", "untouched", 0, Invalid, "untouched"},
        {"c", "untouched", 0, Invalid, "untouched"},
        {"ab", "untouched", 0, Invalid, "untouched"},
        {"r", "y\n", 3, warning + "\n", ""},
        {"R", "Y more\n", 3, warning + "\n", "more"},
        {"r", "n\n", 0, warning + staying, ""},
        {"r", "yes\n", 0, warning + staying, ""},
        {"R", "\n\nq\n", 0, warning + staying, ""},
    };
    for (const auto& c : cases) {
        ConsoleCapture console(c.input);
        const Character hero;
        console.take();
        EXPECT_EQ(hero.parseCreationChoice(c.answer), c.code) << c.answer << " / " << c.input;
        EXPECT_EQ(console.take(), c.written) << c.answer << " / " << c.input;
        EXPECT_EQ(unread(), c.left) << c.answer << " / " << c.input;
    }
}

TEST_F(MenuTest, EquipmentMenuParser) {
    const struct {
        const char* answer;
        MenuCode code;
        const char* written;
    } cases[] = {
        {"a", 1, "Purchase Weapon Selected\n"},
        {"A", 1, "Purchase Weapon Selected\n"},
        {"b", 2, "Purchase Armor selected \n"},
        {"B", 2, "Purchase Armor selected \n"},
        {"r", 3, "Returning to Main Menu\n"},
        {"R", 3, "Returning to Main Menu\n"},
        {"rr", 0, Invalid},
        {"c", 0, Invalid},
        {"1", 0, Invalid},
        {"weapon", 0, Invalid},
    };
    for (const auto& c : cases) {
        ConsoleCapture console("untouched");
        const EquipmentMenu equipment;
        console.take();
        EXPECT_EQ(equipment.parseChoice(c.answer), c.code) << c.answer;
        EXPECT_EQ(console.take(), c.written) << c.answer;
        EXPECT_EQ(unread(), "untouched");
    }
}

TEST_F(MenuTest, CombatMenuParser) {
    const struct {
        int highest;
        const char* answer;
        MenuCode code;
        const char* written;
    } cases[] = {
        {1, "1", 1, ""},
        {1, "2", 0, Invalid},
        {1, "0", 0, Invalid},
        {1, "-1", 0, Invalid},
        {1, "abc", 0, Invalid},
        {1, "r", 50000, "Returning to Main Menu\n"},
        {1, "R", 50000, "Returning to Main Menu\n"},
        {1, "rr", 0, Invalid},
        {1, "1r", 1, ""},
        {12, "12", 12, ""},
        {12, "13", 0, Invalid},
        {12, "7abc", 7, ""},
        {12, "+5", 5, ""},
        {12, "007", 7, ""},
        {21, "21", 21, ""},
        {21, "22", 0, Invalid},
        {1, "4294967297", 0, Invalid},
        {1, "-4294967295", 0, Invalid},
        {0, "1", 0, Invalid},
        {0, "r", 50000, "Returning to Main Menu\n"},
    };
    for (const auto& c : cases) {
        ConsoleCapture console("untouched");
        CombatMenu combat;
        combat.setHighestSelectableLevel(c.highest);
        console.take();
        EXPECT_EQ(combat.parseChoice(c.answer), c.code) << c.highest << " / " << c.answer;
        EXPECT_EQ(console.take(), c.written) << c.highest << " / " << c.answer;
        EXPECT_EQ(unread(), "untouched");
    }
}

// The end of input at a confirmation: one line end, the game asked to quit,
// and no choice made.
TEST_F(MenuTest, EndOfInputAtAConfirmation) {
    {
        ConsoleCapture console("  \n");
        const MainMenu menu;
        console.take();
        characterExists = true;
        EXPECT_EQ(menu.parseChoice("a"), 0);
        EXPECT_EQ(console.take(), "Character Already Exists, Do you wish to Delete (Y/N)?  \n");
        EXPECT_TRUE(quitRequested);
        EXPECT_TRUE(inputEnded());
    }
    {
        ConsoleCapture console("");
        const Character hero;
        console.take();
        EXPECT_EQ(hero.parseCreationChoice("r"), 0);
        EXPECT_EQ(console.take(),
                  "Returning to the menu will set your character.\n"
                  "After this point, you will not be able to set\n"
                  "the name or roll for stats without deleting!\n"
                  "Do you still want to return to the main menu (Y/N)? \n");
        EXPECT_TRUE(quitRequested);
    }
}

}  // namespace
