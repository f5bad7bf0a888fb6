// The question convention: prompt, then one word from standard input.
#include "console/question.h"

#include <iostream>

#include "game/game_state.h"

namespace {
bool ended = false;
}  // namespace

bool ask(std::string_view prompt, std::string& answer) {
    if (ended) {
        answer.clear();
        return false;
    }
    std::cout << prompt;
    if (std::cout && std::cin >> answer && std::cout) {
        return true;
    }
    // No word will ever come (or nothing can be shown any more): finish the
    // prompt's line and let every loop of the game run down to shut-down.
    answer.clear();
    std::cout << std::endl;
    ended = true;
    quitRequested = true;
    return false;
}

bool inputEnded() { return ended; }

void resetInputState() { ended = false; }
