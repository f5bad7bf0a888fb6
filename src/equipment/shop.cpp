// The shop screens: the purchase equipment menu and the two Buy screens.
#include "equipment/shop.h"

#include <iostream>

#include "character/character.h"
#include "console/console.h"
#include "console/numbers.h"
#include "console/question.h"
#include "equipment/catalogs.h"

namespace {

// What tells the Buy Weapon screen from the Buy Armor screen.
template <typename Catalog>
struct BuyScreen {
    const char* heading;
    const char* question;
    const char* equippedHeading;
    const char* afterDisplay;
    const Catalog& catalog;
};

// Shows the list, asks which entry to buy by its number, and buys it.
template <typename Catalog, typename Buy, typename Worn>
void runBuyScreen(const BuyScreen<Catalog>& screen, Character& player, std::string& menuChoice, Buy buy,
                  Worn worn) {
    std::cout << screen.heading;
    clearScreen();
    screen.catalog.list();
    std::cout << "You are currently using " << worn().name << std::endl;
    std::cout << "You have " << player.getGold() << " gold to spend.\n";
    if (!ask(screen.question, menuChoice)) {
        return;
    }
    const int number = readInteger(menuChoice);
    if (number >= 1 && number <= Catalog::Size) {
        buy(number - 1);
        std::cout << screen.equippedHeading;
        worn().display();
        std::cout << screen.afterDisplay;
        waitForKey();
    } else if (menuChoice == "R" || menuChoice == "r") {
        std::cout << "Returning to the Menu.\n";
        clearScreen();
    } else {
        std::cout << "Invalid Choice! Press any key to continue...\n";
        waitForKey();
    }
}

void runBuyWeaponScreen(Character& player, const WeaponCatalog& weapons, std::string& menuChoice) {
    const BuyScreen<WeaponCatalog> screen{"Buy Weapon\n", "What weapon would you like to buy? ",
                                          "Your equipped weapon is...\n", "Press any key to continue...\n",
                                          weapons};
    runBuyScreen(
        screen, player, menuChoice, [&](int index) { player.buyWeapon(index, weapons); },
        [&]() -> const Weapon& { return player.weapon; });
}

void runBuyArmorScreen(Character& player, const ArmorCatalog& armors, std::string& menuChoice) {
    // The armor line is left open by its display, so the message after it
    // starts with the line end.
    const BuyScreen<ArmorCatalog> screen{"Buy Armor\n", "What armor would you like to buy? ",
                                         "Your equipped armor is...\n", "\nPress any key to continue...\n",
                                         armors};
    runBuyScreen(
        screen, player, menuChoice, [&](int index) { player.buyArmor(index, armors); },
        [&]() -> const Armor& { return player.armor; });
}

}  // namespace

void runShopPass(EquipmentMenu& equipmentMenu, Character& player, const WeaponCatalog& weapons,
                 const ArmorCatalog& armors, std::string& menuChoice, MenuCode& equipmentChoice,
                 MenuCode& mainChoice) {
    clearScreen();
    if (!characterExists) {
        std::cout << "Are you buying equipment for a ghost? Go make a character!\n";
        std::cout << "Press any key to continue...\n";
        waitForKey();
        clearScreen();
        mainChoice = 0;
        return;
    }
    equipmentMenu.display();
    equipmentChoice = askChoice(
        menuChoice, [&equipmentMenu](const std::string& word) { return equipmentMenu.parseChoice(word); });
    if (equipmentChoice == 1) {
        runBuyWeaponScreen(player, weapons, menuChoice);
    } else if (equipmentChoice == 2) {
        runBuyArmorScreen(player, armors, menuChoice);
    } else if (equipmentChoice == 3) {
        mainChoice = 0;
        clearScreen();
    }
}
