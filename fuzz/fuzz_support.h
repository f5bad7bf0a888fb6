// What the fuzz targets share: an output buffer that swallows everything, a
// scoped swap of a standard stream's buffer, where the price lists are, the
// setup of a whole game that never waits, and a check that stays in force in every build (unlike assert) and
// counts as a crash for libFuzzer.
#pragma once

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ios>
#include <streambuf>
#include <string>

#include "console/console.h"
#include "game/game_loop.h"

// Accepts every character and never fails, so the game never sees its
// output stream go bad.
class NullBuffer : public std::streambuf {
protected:
    int_type overflow(int_type character) override { return traits_type::not_eof(character); }
    std::streamsize xsputn(const char* /*text*/, std::streamsize count) override { return count; }
};

// Points a standard stream at another buffer for one input and puts the
// original back afterwards, with the stream's state cleared both times.
class ScopedStreamBuffer {
public:
    ScopedStreamBuffer(std::ios& stream, std::streambuf* buffer)
        : stream(stream), saved(stream.rdbuf(buffer)) {}
    ~ScopedStreamBuffer() { stream.rdbuf(saved); }
    ScopedStreamBuffer(const ScopedStreamBuffer&) = delete;
    ScopedStreamBuffer& operator=(const ScopedStreamBuffer&) = delete;

private:
    std::ios& stream;
    std::streambuf* saved;
};

inline void fuzzCheck(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "fuzz check failed: %s\n", what);
        std::abort();
    }
}

// BRAWLARIUM_DATA_DIR may point at other price lists; the sample data of the
// source tree otherwise.
inline std::string dataPath(const char* fileName) {
    const char* directory = std::getenv("BRAWLARIUM_DATA_DIR");
    const std::string base =
        directory != nullptr && directory[0] != '\0' ? directory : BRAWLARIUM_SAMPLE_DATA_DIR;
    return base + "/" + fileName;
}

// A whole game as the game targets play it: key waits and the pauses between
// fight rounds end at once, colour escapes are on so that their code runs too
// (the output goes to a sink anyway), and the price lists are the sample ones.
inline GameSetup gameThatNeverWaits() {
    setKeyWaitHandler([] {});
    setPauseHandler([](std::chrono::milliseconds /*duration*/) {});
    setConsoleEscapesEnabled(true);
    GameSetup setup;
    setup.weaponFile = dataPath("weaponlist.txt");
    setup.armorFile = dataPath("armorlist.txt");
    return setup;
}
