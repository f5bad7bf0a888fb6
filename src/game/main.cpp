// Brawlarium's entry point: the whole game lives in the library.
#include "game/game_loop.h"

int main() { return GameLoop(); }
