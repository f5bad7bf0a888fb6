// Reads one save file per input and plays it: the parser alone on the bytes,
// then a whole game continued from them with the sample price lists and no
// answers of the player's own. An input whose first byte is odd has a header
// that fits this game put before the rest, so that its keys are played back;
// otherwise the rest is the whole file. The game must end with status 0
// (played back) or 1 (refused), never take away from a file that held
// anything, and never crash, hang or grow without bound.
#include <unistd.h>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>

#include "console/console.h"
#include "console/question.h"
#include "fuzz_support.h"
#include "game/game_loop.h"
#include "game/save_file.h"

namespace {

constexpr unsigned FuzzSeed = 20240601U;

std::string readAll(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

GameSetup setup;
std::string fittingHeader;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    setup = gameThatNeverWaits();
    setup.saveFile = "/tmp/brawlarium_fuzz_save_" + std::to_string(::getpid());
    const std::string weapons = readAll(setup.weaponFile);
    const std::string armors = readAll(setup.armorFile);
    fuzzCheck(!weapons.empty() && !armors.empty(),
              "the sample price lists cannot be read (set BRAWLARIUM_DATA_DIR)");
    fittingHeader =
        saveHeaderText(SaveHeader{randomGeneratorName(), FuzzSeed, listDigest(weapons), listDigest(armors)});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const ReadSaveFile read = readSaveFile(input);
    fuzzCheck(read.header.has_value() == read.error.empty(), "a save file both read and refused");
    fuzzCheck(read.keys.size() <= MostKeyBytes, "more keys kept than a save file holds");

    const bool fitting = size > 0 && (data[0] & 1U) != 0;
    const std::string contents = (fitting ? fittingHeader : "") + input.substr(size > 0 ? 1 : 0);
    std::ofstream(setup.saveFile, std::ios::binary | std::ios::trunc) << contents;

    std::istringstream noAnswers;
    NullBuffer sink;
    int status = 0;
    {
        const ScopedStreamBuffer answers(std::cin, noAnswers.rdbuf());
        const ScopedStreamBuffer quiet(std::cout, &sink);
        const ScopedStreamBuffer quietErrors(std::cerr, &sink);
        status = GameLoop(setup);
    }
    fuzzCheck(status == 0 || status == 1, "the game ended with another status than 0 or 1");
    // A refused file is left as it was; a file played back is only added to,
    // by the key waits that end at once once the record has run out.
    const std::string after = readAll(setup.saveFile);
    fuzzCheck(contents.empty() || (status == 1 ? after == contents : after.rfind(contents, 0) == 0),
              "the save file was changed");
    std::remove(setup.saveFile.c_str());
    return 0;
}
