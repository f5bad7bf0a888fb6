// Process-wide flags of the game shared by the screens and the menu parsers.
#pragma once

// A named character exists: set by naming, cleared by the player's death
// (deleting a character does not clear it).
extern bool characterExists;

// Ends the main loop: set by the quit choice and by the end of standard input.
extern bool quitRequested;
