// Process-wide flags of the game.
#include "game/game_state.h"

bool characterExists = false;
bool quitRequested = false;
