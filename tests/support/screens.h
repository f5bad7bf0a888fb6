// The game's fixed menu screens as text, shared by the in-process tests and
// the tests that drive the built game.
#pragma once

#include <string>

namespace screens {

inline constexpr const char* MainMenu =
    "-------Main Menu-------\n"
    " PLEASE CHOOSE FROM THE FOLLOWING OPTIONS \n"
    "A. Create Character\n"
    "B. Purchase Equipment\n"
    "C. View Stats\n"
    "D. Fight in the Brawlarium!! \n"
    "Q. Quit\n"
    "-----------------------\n";

inline constexpr const char* CreationMenu =
    "----Character Creation Menu----\n"
    " PLEASE CHOOSE FROM THE FOLLOWING OPTIONS \n"
    "A. Name Character\n"
    "B. Roll for Stats\n"
    "R. Return to the Main Menu\n"
    "--------------------------------\n";

inline constexpr const char* EquipmentMenu =
    "----PURCHASE EQUIPMENT MENU----\n"
    " PLEASE CHOOSE FROM THE FOLLOWING OPTIONS \n"
    "A. Purchase A Weapon\n"
    "B. Purchase Armor\n"
    "R. Return to the Main Menu\n"
    "-------------------------------\n";

// The warning and question of leaving the creation menu.
inline constexpr const char* ReturnQuestion =
    "Returning to the menu will set your character.\n"
    "After this point, you will not be able to set\n"
    "the name or roll for stats without deleting!\n"
    "Do you still want to return to the main menu (Y/N)? ";

inline constexpr const char* DeleteQuestion = "Character Already Exists, Do you wish to Delete (Y/N)?  ";

// The level lines of the combat menu, levels 1 to `last`.
inline std::string combatLevels(int last) {
    std::string text;
    for (int level = 1; level <= last; ++level) {
        text += "[" + std::to_string(level) + "] Level " + std::to_string(level) + "\n";
    }
    return text;
}

// The combat menu listing levels 1 to `highest`, at most twenty.
inline std::string combatMenu(int highest) {
    return "--------COMBAT MENU---------\nPLEASE CHOOSE THE LEVEL OF YOUR OPPONENT\n" +
           combatLevels(highest < 20 ? highest : 20) +
           "[R] Return to Main Menu\n----------------------------\n";
}

}  // namespace screens
