// The game as a whole: start-up, the main menu loop and shut-down.
#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "combat/fight.h"

// Where the price lists come from and how randomness is seeded; the defaults
// are the real game's.
struct GameSetup {
    std::string weaponFile = "weaponlist.txt";
    std::string armorFile = "armorlist.txt";
    // Seeds the random sequence instead of the current time (tests, fuzzing).
    std::optional<unsigned> seed;
    // The pause between fight rounds; 0 for none.
    std::chrono::milliseconds pauseBetweenRounds = DefaultPauseBetweenRounds;
    // For scripts and bots: every key wait ends at once, terminal or not.
    bool batch = false;
    // Keep the game in this save file, and continue the one it holds; empty
    // for none.
    std::string saveFile{};
};

// Runs one whole game. Returns 0 after quitting or the end of input, 1 when a
// data file could not be loaded, the save file was refused or standard
// output could not be written (with one line on standard error).
int GameLoop(const GameSetup& setup = {});
