// The cumulative experience needed for each level from 1 to 20.
#pragma once

#include <array>

class ExperienceTable {
public:
    // Entry L is the total experience at which a character reaches level L.
    std::array<int, 21> thresholds{};
    int levelCount = 20;

    ExperienceTable();
};
