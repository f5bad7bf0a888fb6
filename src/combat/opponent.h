// Building the monster of a fight: levelled to the chosen level and
// outfitted from the price lists with a purse of 1200 gold.
#pragma once

#include "character/character.h"

class ArmorCatalog;
class WeaponCatalog;

// The gold every monster gets to buy its armor and weapon.
constexpr double OpponentPurse = 1200.0;

// The catalog entries a monster of the given level buys from its purse.
int opponentArmorIndex(int level);
int opponentWeaponIndex(int level);

Character createOpponent(int level, const ArmorCatalog& armors, const WeaponCatalog& weapons);
void outfitOpponent(Character& monster, const ArmorCatalog& armors, const WeaponCatalog& weapons);
