// The fight screen: the combat menu, then one fight played round by round
// until one side is dead.
#pragma once

#include <chrono>
#include <string>

#include "menus/menus.h"

class Character;
class ExperienceTable;
class WeaponCatalog;
class ArmorCatalog;

// The pause between two rounds of a fight, unless the command line sets
// another; none at all when it is 0.
inline constexpr std::chrono::milliseconds DefaultPauseBetweenRounds{2000};

// One pass of the fight screen. Leaves mainChoice at 4 after a victory so the
// caller runs it again, and sets it to 0 on every other way out.
void runFightScreen(CombatMenu& combatMenu, Character& player, const ExperienceTable& levelTable,
                    const WeaponCatalog& weapons, const ArmorCatalog& armors, std::string& menuChoice,
                    MenuCode& combatChoice, MenuCode& mainChoice,
                    std::chrono::milliseconds pauseBetweenRounds = DefaultPauseBetweenRounds);

// One fight against a monster of the given level.
void runFight(int level, Character& player, const ExperienceTable& levelTable, const WeaponCatalog& weapons,
              const ArmorCatalog& armors, MenuCode& mainChoice,
              std::chrono::milliseconds pauseBetweenRounds = DefaultPauseBetweenRounds);
