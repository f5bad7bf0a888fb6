// The tests' own price lists.
#include "support/game_data.h"

#include <sstream>

#include "support/process.h"

namespace e2e {

// Entry 0 of each list does little damage and gives no armor, so that
// between unrolled level-1 fighters no strike takes more than 4 of their 9
// hit points: a fight lasts at least three rounds.
const char* const TestWeapons =
    "Bare Knuckles;1;3;20;2;0\n"
    "Club;1;6;20;2;5\n"
    "Dagger;1;4;19;2;12.5\n"
    "Short Sword;1;6;19;2;30\n"
    "Hand Axe;1;6;20;3;55\n"
    "Mace;1;8;20;2;80\n"
    "Spear;1;8;20;3;110\n"
    "Longsword;1;8;19;2;150\n"
    "Battle Axe;1;10;20;3;200\n"
    "Warhammer;1;12;20;3;260\n"
    "Flail of Thorns;2;6;20;2;330\n"
    "Greatsword;2;6;19;2;400\n"
    "Halberd;1;12;19;3;480\n"
    "Dragon Cleaver;2;8;19;3;560\n"
    "Starfall Blade;2;10;18;3;650\n";

const char* const TestArmors =
    "Rags;0;8;0\n"
    "Padded Tunic;1;8;2.5\n"
    "Leather Vest;2;6;10\n"
    "Studded Coat;3;5;20\n"
    "Hide Armor;3;4;35\n"
    "Chain Shirt;4;4;60\n"
    "Scale Mail;4;3;90\n"
    "Breastplate;5;3;130\n"
    "Banded Mail;5;2;180\n"
    "Splint Mail;6;1;240\n"
    "Half Plate;6;2;300\n"
    "Full Plate;8;1;380\n"
    "Mythril Plate;9;1;450\n";

std::vector<std::string> linesOf(const char* list) {
    std::istringstream text(list);
    std::vector<std::string> lines;
    for (std::string line; std::getline(text, line);) {
        lines.push_back(line);
    }
    return lines;
}

const std::string& testDataDirectory() {
    static const TempDirectory directory;
    static const bool written = [] {
        directory.write("weaponlist.txt", TestWeapons);
        directory.write("armorlist.txt", TestArmors);
        return true;
    }();
    (void)written;
    return directory.path();
}

}  // namespace e2e
