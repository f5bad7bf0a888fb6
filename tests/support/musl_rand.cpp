// A library the end-to-end tests preload into the native game so that it
// draws the same random numbers as the WebAssembly build, whose C library
// is musl: srand(s) keeps s - 1 as a 64-bit state, and rand() steps it as a
// linear congruential generator and returns its top 31 bits. With it, one
// seed replays one game in both builds, byte for byte.
#include <cstdint>

namespace {
std::uint64_t state = 0;
}  // namespace

extern "C" void srand(unsigned seed) { state = seed - 1U; }

extern "C" int rand() {
    state = 6364136223846793005ULL * state + 1U;
    return static_cast<int>(state >> 33U);
}
