// Brawlarium's entry point: the whole game lives in the library.
#include "game/brawlarium.h"

int main(int argc, char* argv[]) { return runBrawlarium(argc, argv); }
