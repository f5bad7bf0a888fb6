// The game loop's own screens: creating a character (naming and rolling)
// and viewing its statistics.
#include "game/screens.h"

#include <iostream>

#include "character/character.h"
#include "console/console.h"
#include "console/question.h"
#include "equipment/catalogs.h"

namespace {

// A fresh creation starts from the defaults with the first entry of each
// list worn, whatever was bought before.
void startNewCharacter(Character& player, const WeaponCatalog& weapons, const ArmorCatalog& armors) {
    player.reset();
    armors.equip(0, player);
    weapons.equip(0, player);
}

void nameCharacter(Character& player, std::string& menuChoice) {
    std::cout << "Character's Name is: " << player.getName() << std::endl;
    if (!ask("Change Name to: ", menuChoice)) {
        return;
    }
    if (menuChoice[0] >= 'a' && menuChoice[0] <= 'z') {
        menuChoice[0] = static_cast<char>(menuChoice[0] - 'a' + 'A');
    }
    player.setName(menuChoice);
    characterExists = true;
    std::cout << "Press any key to continue...\n";
    waitForKey();
    clearScreen();
}

void rollAbilities(Character& player, std::string& menuChoice) {
    do {
        player.rollStats();
        if (!ask("Roll Again (Y/N)? ", menuChoice)) {
            return;
        }
    } while (menuChoice == "y" || menuChoice == "Y");
    clearScreen();
}

}  // namespace

void runCreationScreen(Character& player, const WeaponCatalog& weapons, const ArmorCatalog& armors,
                       std::string& menuChoice, MenuCode& creationChoice, MenuCode& mainChoice,
                       bool& freshCreation) {
    if (freshCreation) {
        startNewCharacter(player, weapons, armors);
        freshCreation = false;
        clearScreen();
    }
    player.displayCreationMenu();
    creationChoice = askChoice(
        menuChoice, [&player](const std::string& word) { return player.parseCreationChoice(word); });
    if (inputEnded()) {
        return;
    }
    clearScreen();
    if (creationChoice == 1) {
        nameCharacter(player, menuChoice);
    } else if (creationChoice == 2) {
        rollAbilities(player, menuChoice);
    } else if (creationChoice == 3) {
        mainChoice = 0;
        clearScreen();
    }
}

void runStatsScreen(const Character& player) {
    clearScreen();
    if (characterExists) {
        player.displayStats();
    } else {
        std::cout << "No Character Exists!\n";
    }
    std::cout << "Press any key to continue...\n";
    waitForKey();
    clearScreen();
}
