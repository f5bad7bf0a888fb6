// The game loop's own screens: character creation and the statistics.
#pragma once

#include <string>

#include "menus/menus.h"

class Character;
class WeaponCatalog;
class ArmorCatalog;

// One pass of the creation screen. A fresh creation first resets the
// character and puts index 0 of each list on it.
void runCreationScreen(Character& player, const WeaponCatalog& weapons, const ArmorCatalog& armors,
                       std::string& menuChoice, MenuCode& creationChoice, MenuCode& mainChoice,
                       bool& freshCreation);

void runStatsScreen(const Character& player);
