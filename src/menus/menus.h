// The menu screens and the parsers that turn a typed answer into a MenuCode.
#pragma once

#include <string>

// 0 always means that no valid choice was made and the caller asks again.
using MenuCode = int;

class MainMenu {
public:
    MainMenu();
    void display() const;
    MenuCode parseChoice(std::string answer) const;
};

class EquipmentMenu {
public:
    EquipmentMenu();
    void display() const;
    MenuCode parseChoice(std::string answer) const;
};

class CombatMenu {
public:
    // The code of the "return to the main menu" answer.
    static constexpr MenuCode ReturnCode = 50000;
    // Levels listed on screen; higher selectable levels are accepted unlisted.
    static constexpr int MaxListedLevel = 20;

    int highestSelectableLevel = 1;

    CombatMenu();
    void display() const;
    MenuCode parseChoice(std::string answer) const;
    int setHighestSelectableLevel(int level);
};
