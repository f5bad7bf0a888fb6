// Plays one whole game per input: the input is the game's standard input,
// the price lists are the sample ones, the random sequence has a fixed seed,
// and key waits and the pauses between fight rounds end at once. Every input
// must end the game through the quit choice or the end of input (GameLoop
// returns 0); a crash, a sanitizer report or a game that never ends (caught
// by libFuzzer's -timeout) is a finding.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "console/console.h"
#include "console/question.h"
#include "fuzz_support.h"
#include "game/game_loop.h"

namespace {

constexpr unsigned FuzzSeed = 20240601U;

GameSetup setup;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    setup = gameThatNeverWaits();
    setup.seed = FuzzSeed;
    fuzzCheck(std::ifstream(setup.weaponFile).good() && std::ifstream(setup.armorFile).good(),
              "the sample price lists cannot be read (set BRAWLARIUM_DATA_DIR)");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream input(std::string(reinterpret_cast<const char*>(data), size));
    NullBuffer sink;
    const ScopedStreamBuffer answers(std::cin, input.rdbuf());
    const ScopedStreamBuffer quiet(std::cout, &sink);

    fuzzCheck(GameLoop(setup) == 0, "the game did not end through quit or the end of input");
    fuzzCheck(quitRequested, "the game returned without being asked to quit");
    return 0;
}
