// Building the monster of a fight.
#include "combat/opponent.h"

#include <algorithm>

#include "equipment/catalogs.h"

int opponentArmorIndex(int level) { return std::min(level - 1, ArmorCatalog::Size - 1); }

int opponentWeaponIndex(int level) { return std::min(level - 1, WeaponCatalog::Size - 1); }

Character createOpponent(int level, const ArmorCatalog& armors, const WeaponCatalog& weapons) {
    Character monster;
    monster.buyArmor(0, armors);
    monster.buyWeapon(0, weapons);
    monster.setName("Monster");
    while (monster.getLevel() < level) {
        monster.levelUp();
        monster.showLevelUp();
    }
    outfitOpponent(monster, armors, weapons);
    return monster;
}

void outfitOpponent(Character& monster, const ArmorCatalog& armors, const WeaponCatalog& weapons) {
    monster.addGold(OpponentPurse);
    const int level = monster.getLevel();
    if (level != 1) {
        // Armor first: what it costs comes off the purse before the weapon.
        monster.buyArmor(opponentArmorIndex(level), armors);
        monster.buyWeapon(opponentWeaponIndex(level), weapons);
    }
    monster.weapon.display();
    monster.armor.display();
}
