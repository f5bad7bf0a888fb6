// The four menu screens and their parsers, with the two confirmations that
// read answers of their own.
#include "menus/menus.h"

#include <gtest/gtest.h>

#include <string>

#include "character/character.h"
#include "console/question.h"
#include "support/capture.h"
#include "support/screens.h"

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

// One answer to a parser, what waits on standard input after it, and what
// the parser must return, write and leave unread.
struct ParseCase {
    const char* answer;
    MenuCode code;
    std::string written;
    const char* input = "untouched";
    const char* left = "untouched";
};

// Builds a Menu while the console is captured, then checks one parse.
template <typename Menu, typename Parse>
void expectParse(const ParseCase& c, Parse parse) {
    ConsoleCapture console(c.input);
    Menu menu;
    console.take();
    EXPECT_EQ(parse(menu, c.answer), c.code) << c.answer << " / " << c.input;
    EXPECT_EQ(console.take(), c.written) << c.answer << " / " << c.input;
    EXPECT_EQ(unread(), c.left) << c.answer << " / " << c.input;
}

MenuCode parseMain(const MainMenu& menu, const char* answer) { return menu.parseChoice(answer); }
MenuCode parseCreation(const Character& hero, const char* answer) { return hero.parseCreationChoice(answer); }
MenuCode parseEquipment(const EquipmentMenu& menu, const char* answer) { return menu.parseChoice(answer); }

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
    EXPECT_EQ(console.take(), screens::MainMenu);
    hero.displayCreationMenu();
    EXPECT_EQ(console.take(), screens::CreationMenu);
    equipment.display();
    EXPECT_EQ(console.take(), screens::EquipmentMenu);
}

TEST_F(MenuTest, CombatMenuListsUpToTwentyLevels) {
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
        EXPECT_EQ(console.take(), screens::combatMenu(c.listed)) << c.highest;
    }
    EXPECT_EQ(screens::combatLevels(2), "[1] Level 1\n[2] Level 2\n");
    EXPECT_EQ(screens::combatMenu(0),
              "--------COMBAT MENU---------\nPLEASE CHOOSE THE LEVEL OF YOUR OPPONENT\n"
              "[R] Return to Main Menu\n----------------------------\n");
}

// Answers that ask no question: nothing may be read from standard input.
TEST_F(MenuTest, MainMenuParser) {
    const struct {
        bool exists;
        ParseCase parse;
    } cases[] = {
        {false, {"a", 1, "Character Creation Selected\n"}},
        {false, {"A", 1, "Character Creation Selected\n"}},
        {true, {"b", 2, "Purchase Equipment selected \n"}},
        {false, {"B", 2, "Purchase Equipment selected \n"}},
        {true, {"c", 3, "View Stats Selected \n"}},
        {false, {"C", 3, "View Stats Selected \n"}},
        {false, {"d", 4, "Brawlarium!! Prepare for Battle!\n"}},
        {true, {"D", 4, "Brawlarium!! Prepare for Battle!\n"}},
        {false, {"q", 5, "Quitting?? Shlub...\n"}},
        {true, {"Q", 5, "Quitting?? Shlub...\n"}},
        {false, {"aa", 0, Invalid}},
        {true, {"aa", 0, Invalid}},
        {false, {"b.", 0, Invalid}},
        {false, {"quit", 0, Invalid}},
        {false, {"x", 0, Invalid}},
        {false, {"1", 0, Invalid}},
        {false, {"r", 0, Invalid}},
        {false, {"", 0, Invalid}},
    };
    for (const auto& c : cases) {
        characterExists = c.exists;
        expectParse<const MainMenu>(c.parse, parseMain);
    }
}

TEST_F(MenuTest, DeleteConfirmationReadsItsOwnWord) {
    const std::string deleting =
        screens::DeleteQuestion + std::string("Deleting Character... \nCharacter Creation Selected\n");
    const std::string kept =
        screens::DeleteQuestion + std::string("Character remains intact, returning to main menu \n");
    const ParseCase cases[] = {
        {"a", 1, deleting, "y\n", ""},
        {"A", 1, deleting, "Y next\n", "next"},
        {"a", 1, deleting, "\n\n   y\n", ""},
        {"a", 0, kept, "yes\n", ""},
        {"A", 0, kept, "n\n", ""},
        {"a", 0, kept, "N later words\n", "later words"},
        {"a", 0, kept, "yy\n", ""},
    };
    for (const auto& c : cases) {
        characterExists = true;
        expectParse<const MainMenu>(c, parseMain);
        EXPECT_TRUE(characterExists) << "the parser deletes nothing itself";
        EXPECT_FALSE(quitRequested);
    }
}

TEST_F(MenuTest, CreationMenuParser) {
    const std::string leaving = screens::ReturnQuestion + std::string("\n");
    const std::string staying =
        screens::ReturnQuestion + std::string("\nStaying in the character creation menu.\n");
    const ParseCase cases[] = {
        {"a", 1, "Set Name Selected\n"},
        {"A", 1, "Set Name Selected\n"},
        {"b", 2, "Roll for Stats selected \n"},
        {"B", 2, "Roll for Stats selected \n"},
        {"rr", 0, Invalid},
        {"c", 0, Invalid},
        {"ab", 0, Invalid},
        {"r", 3, leaving, "y\n", ""},
        {"R", 3, leaving, "Y more\n", "more"},
        {"r", 0, staying, "n\n", ""},
        {"r", 0, staying, "yes\n", ""},
        {"R", 0, staying, "\n\nq\n", ""},
    };
    for (const auto& c : cases) {
        expectParse<const Character>(c, parseCreation);
    }
}

TEST_F(MenuTest, EquipmentMenuParser) {
    const ParseCase cases[] = {
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
        expectParse<const EquipmentMenu>(c, parseEquipment);
    }
}

TEST_F(MenuTest, CombatMenuParser) {
    const struct {
        int highest;
        ParseCase parse;
    } cases[] = {
        {1, {"1", 1, ""}},
        {1, {"2", 0, Invalid}},
        {1, {"0", 0, Invalid}},
        {1, {"-1", 0, Invalid}},
        {1, {"abc", 0, Invalid}},
        {1, {"r", 50000, "Returning to Main Menu\n"}},
        {1, {"R", 50000, "Returning to Main Menu\n"}},
        {1, {"rr", 0, Invalid}},
        {1, {"1r", 1, ""}},
        {12, {"12", 12, ""}},
        {12, {"13", 0, Invalid}},
        {12, {"7abc", 7, ""}},
        {12, {"+5", 5, ""}},
        {12, {"007", 7, ""}},
        {21, {"21", 21, ""}},
        {21, {"22", 0, Invalid}},
        {1, {"4294967297", 0, Invalid}},
        {1, {"-4294967295", 0, Invalid}},
        {0, {"1", 0, Invalid}},
        {0, {"r", 50000, "Returning to Main Menu\n"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.highest);
        expectParse<CombatMenu>(c.parse, [&c](CombatMenu& combat, const char* answer) {
            combat.setHighestSelectableLevel(c.highest);
            return combat.parseChoice(answer);
        });
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
        EXPECT_EQ(console.take(), screens::DeleteQuestion + std::string("\n"));
        EXPECT_TRUE(quitRequested);
        EXPECT_TRUE(inputEnded());
    }
    {
        ConsoleCapture console("");
        const Character hero;
        console.take();
        EXPECT_EQ(hero.parseCreationChoice("r"), 0);
        EXPECT_EQ(console.take(), screens::ReturnQuestion + std::string("\n"));
        EXPECT_TRUE(quitRequested);
    }
}

}  // namespace
