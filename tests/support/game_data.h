// The price lists the end-to-end tests play with. They are fixed here, apart
// from the sample files in data/, so that the sample can be tuned without
// changing what the tests expect.
#pragma once

#include <string>
#include <vector>

namespace e2e {

// Fifteen weapons and thirteen armors, one per line, entry 0 free.
extern const char* const TestWeapons;
extern const char* const TestArmors;

// The lines of one of the two lists above.
std::vector<std::string> linesOf(const char* list);

// A directory holding the two lists as weaponlist.txt and armorlist.txt,
// made once per test program and removed when it ends.
const std::string& testDataDirectory();

}  // namespace e2e
