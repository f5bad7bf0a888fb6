// The shop: the purchase equipment menu and the Buy Weapon and Buy Armor
// screens, paid from the player's gold.
#pragma once

#include <string>

#include "menus/menus.h"

class Character;
class WeaponCatalog;
class ArmorCatalog;

// One pass of the purchase equipment screen; sets mainChoice to 0 when the
// shop ends.
void runShopPass(EquipmentMenu& equipmentMenu, Character& player, const WeaponCatalog& weapons,
                 const ArmorCatalog& armors, std::string& menuChoice, MenuCode& equipmentChoice,
                 MenuCode& mainChoice);
