// Checking a pair of price lists before anyone plays with them: every fault
// that makes the game refuse them, the hazards it would play on with, and
// the monsters they make, level by level.
#pragma once

#include <ostream>
#include <string>

// Exit statuses of the check.
constexpr int PriceListsClean = 0;
constexpr int PriceListsRefused = 1;
constexpr int PriceListsWarned = 3;

// Loads the two lists, plays nothing, and writes the report to `report`:
// the faults as "file:line: reason", the warnings as "file:line: warning: ...",
// the table of monsters and a closing line. Nothing the loaders and the monsters' purchases write
// reaches standard output meanwhile. Returns PriceListsClean,
// PriceListsRefused or PriceListsWarned.
int checkPriceLists(const std::string& weaponFile, const std::string& armorFile, std::ostream& report);
// The same, with the heading naming the lists as `listsNamed` says
// ("Checking LISTSNAMED"), for lists the files' paths do not name well.
int checkPriceLists(const std::string& weaponFile, const std::string& armorFile, std::ostream& report,
                    const std::string& listsNamed);
