// Brawlarium's entry point: the whole game lives in the library.
#include <cstdlib>

#include "game/brawlarium.h"

// exit() rather than return: in the WebAssembly build, main may have been
// suspended and resumed while the host waited for the player, and only
// exit() still hands the status to the host then.
int main(int argc, char* argv[]) { std::exit(runBrawlarium(argc, argv)); }
