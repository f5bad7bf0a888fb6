// The fights that can never end, because neither side can wound the other:
// found for every armor of the player, for the price-list check.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "character/character.h"

class WeaponCatalog;
class ArmorCatalog;

// The monster levels the check builds and weighs: the player's levels end
// at 20, but monsters can be chosen higher.
constexpr int MonsterLevels = 30;
// The monsters of levels 1 to MonsterLevels, in order (a vector: characters
// are built, never assigned).
using Monsters = std::vector<Character>;

// The natural rolls of the d20.
constexpr int NaturalRolls = 20;

// The fewest and the most the weapon's dice can show together.
std::pair<long long, long long> diceTotals(const Weapon& weapon);

// An item's name, or `none` for no item at all.
std::string itemName(const std::string& name, const char* none);

// For each armor of the player in which some fight never ends: one warning,
// written to the stream warningAt(line) returns for the armor's line, that
// names the fight with the lowest levels and scores and counts the others.
void reportEndlessFights(const Monsters& monsters, const WeaponCatalog& weapons, const ArmorCatalog& armors,
                         const std::function<std::ostream&(int line)>& warningAt);
