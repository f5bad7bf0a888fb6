// The program as started from a shell: reads the command line, finds the
// price lists and plays the game.
#pragma once

// Returns the exit status: the game's own, 0 after --help and --version, 1
// when the price lists are not found (or only one of them is) or
// --sample-lists wrote nothing, 2 for a command line it refuses; with
// --check-data, the check's (0 clean, 1 refused, 3 warnings only).
int runBrawlarium(int argc, const char* const* argv);
