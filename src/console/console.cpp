// The parts of the console layer that are the same on every platform:
// clearing the screen, and the switch between the real blocking operations
// and the replacements that tests and fuzzers install.
#include <iostream>

#include "console/console.h"
#include "console/console_platform.h"

namespace {
KeyWaitHandler keyWaitHandler = nullptr;
PauseHandler pauseHandler = nullptr;
}  // namespace

void clearScreen() {
    // Scrolling rather than erasing: the console's history keeps everything.
    for (int line = 0; line < 50; ++line) {
        std::cout << std::endl;
    }
}

void waitForKey() {
    // The message that announces the wait may have no line end of its own;
    // it must be on screen before the game blocks.
    std::cout.flush();
    if (keyWaitHandler != nullptr) {
        keyWaitHandler();
        return;
    }
    platformWaitForKey();
}

void pauseFor(std::chrono::milliseconds duration) {
    std::cout.flush();
    if (pauseHandler != nullptr) {
        pauseHandler(duration);
        return;
    }
    platformPause(duration);
}

void setKeyWaitHandler(KeyWaitHandler handler) { keyWaitHandler = handler; }

void setPauseHandler(PauseHandler handler) { pauseHandler = handler; }
