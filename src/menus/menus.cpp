// The four menu screens and their parsers. The letter menus accept each
// option's letter in lower and upper case and nothing longer.
#include "menus/menus.h"

#include <iostream>

#include "character/character.h"
#include "console/numbers.h"
#include "console/question.h"

namespace {

// The one letter of a letter-menu answer, upper-cased; 0 when the answer is
// not exactly one character long.
char menuLetter(const std::string& answer) {
    if (answer.size() != 1) {
        return 0;
    }
    const char letter = answer[0];
    return letter >= 'a' && letter <= 'z' ? static_cast<char>(letter - 'a' + 'A') : letter;
}

bool isYes(const std::string& word) { return word == "y" || word == "Y"; }

MenuCode invalidChoice() {
    std::cout << "Invalid Choice!\n";
    return 0;
}

// Asked when the player chooses to create a character while one exists.
MenuCode confirmDelete() {
    std::string CharacterChoice;
    if (!ask("Character Already Exists, Do you wish to Delete (Y/N)?  ", CharacterChoice)) {
        return 0;
    }
    if (isYes(CharacterChoice)) {
        std::cout << "Deleting Character... \n";
        std::cout << "Character Creation Selected\n";
        return 1;
    }
    std::cout << "Character remains intact, returning to main menu \n";
    return 0;
}

// Asked when the player leaves the creation menu.
MenuCode confirmReturn() {
    std::cout << "Returning to the menu will set your character.\n";
    std::cout << "After this point, you will not be able to set\n";
    std::cout << "the name or roll for stats without deleting!\n";
    std::string tempchoice;
    if (!ask("Do you still want to return to the main menu (Y/N)? ", tempchoice)) {
        return 0;
    }
    std::cout << std::endl;
    if (isYes(tempchoice)) {
        return 3;
    }
    std::cout << "Staying in the character creation menu.\n";
    return 0;
}

}  // namespace

MainMenu::MainMenu() { std::cout << "Menu created" << std::endl; }

void MainMenu::display() const {
    std::cout << "-------Main Menu-------\n"
                 " PLEASE CHOOSE FROM THE FOLLOWING OPTIONS \n"
                 "A. Create Character\n"
                 "B. Purchase Equipment\n"
                 "C. View Stats\n"
                 "D. Fight in the Brawlarium!! \n"
                 "Q. Quit\n"
                 "-----------------------\n";
}

// NOLINTNEXTLINE(performance-unnecessary-value-param): parsers take their own copy of the answer
MenuCode MainMenu::parseChoice(std::string answer) const {
    switch (menuLetter(answer)) {
    case 'A':
        if (characterExists) {
            return confirmDelete();
        }
        std::cout << "Character Creation Selected\n";
        return 1;
    case 'B':
        std::cout << "Purchase Equipment selected \n";
        return 2;
    case 'C':
        std::cout << "View Stats Selected \n";
        return 3;
    case 'D':
        std::cout << "Brawlarium!! Prepare for Battle!\n";
        return 4;
    case 'Q':
        std::cout << "Quitting?? Shlub...\n";
        return 5;
    default:
        return invalidChoice();
    }
}

void Character::displayCreationMenu() const {
    std::cout << "----Character Creation Menu----\n"
                 " PLEASE CHOOSE FROM THE FOLLOWING OPTIONS \n"
                 "A. Name Character\n"
                 "B. Roll for Stats\n"
                 "R. Return to the Main Menu\n"
                 "--------------------------------\n";
}

// NOLINTNEXTLINE(performance-unnecessary-value-param): parsers take their own copy of the answer
MenuCode Character::parseCreationChoice(std::string answer) const {
    switch (menuLetter(answer)) {
    case 'A':
        std::cout << "Set Name Selected\n";
        return 1;
    case 'B':
        std::cout << "Roll for Stats selected \n";
        return 2;
    case 'R':
        return confirmReturn();
    default:
        return invalidChoice();
    }
}

EquipmentMenu::EquipmentMenu() { std::cout << "Equipment Menu Created\n"; }

void EquipmentMenu::display() const {
    std::cout << "----PURCHASE EQUIPMENT MENU----\n"
                 " PLEASE CHOOSE FROM THE FOLLOWING OPTIONS \n"
                 "A. Purchase A Weapon\n"
                 "B. Purchase Armor\n"
                 "R. Return to the Main Menu\n"
                 "-------------------------------\n";
}

// NOLINTNEXTLINE(performance-unnecessary-value-param): parsers take their own copy of the answer
MenuCode EquipmentMenu::parseChoice(std::string answer) const {
    switch (menuLetter(answer)) {
    case 'A':
        std::cout << "Purchase Weapon Selected\n";
        return 1;
    case 'B':
        std::cout << "Purchase Armor selected \n";
        return 2;
    case 'R':
        std::cout << "Returning to Main Menu\n";
        return 3;
    default:
        return invalidChoice();
    }
}

CombatMenu::CombatMenu() { std::cout << "Combat Menu Created\n"; }

void CombatMenu::display() const {
    std::cout << "--------COMBAT MENU---------\n";
    std::cout << "PLEASE CHOOSE THE LEVEL OF YOUR OPPONENT\n";
    for (int level = 1; level <= highestSelectableLevel && level <= MaxListedLevel; ++level) {
        std::cout << "[" << level << "] Level " << level << std::endl;
    }
    std::cout << "[R] Return to Main Menu\n";
    std::cout << "----------------------------\n";
}

// NOLINTNEXTLINE(performance-unnecessary-value-param): parsers take their own copy of the answer
MenuCode CombatMenu::parseChoice(std::string answer) const {
    const int level = readInteger(answer);
    if (level >= 1 && level <= highestSelectableLevel) {
        return level;
    }
    if (answer == "r" || answer == "R") {
        std::cout << "Returning to Main Menu\n";
        return ReturnCode;
    }
    return invalidChoice();
}

int CombatMenu::setHighestSelectableLevel(int level) {
    highestSelectableLevel = level;
    return 1;
}
