// Building the monster of a fight: levelled to the chosen level and
// outfitted from the price lists with a purse of 1200 gold.
#pragma once

#include "character/character.h"

class ArmorCatalog;
class WeaponCatalog;

Character createOpponent(int level, const ArmorCatalog& armors, const WeaponCatalog& weapons);
void outfitOpponent(Character& monster, const ArmorCatalog& armors, const WeaponCatalog& weapons);
