// The console's keeper: taking the console at start-up, giving it back once,
// and the answer to the system's requests to stop.
#include "console/console_keeper.h"

void ConsoleKeeper::take() {
    const std::lock_guard<std::mutex> hold(lock);
    taken = true;
    givenBack = false;
    modeReplaced = false;
}

bool ConsoleKeeper::giveBack() {
    const std::lock_guard<std::mutex> hold(lock);
    if (!taken || givenBack) {
        return false;
    }
    restore.output();
    restore.attribute();
    restore.title();
    if (modeReplaced) {
        restore.inputMode();
        modeReplaced = false;
    }
    givenBack = true;
    return true;
}

std::optional<std::uint32_t> ConsoleKeeper::answer(StopRequest request) {
    switch (request) {
    case StopRequest::Interrupt:
    case StopRequest::Break:
    case StopRequest::CloseWindow:
    case StopRequest::LogOff:
    case StopRequest::ShutDown:
        // The same code for all of them, as a console program stopped by
        // the system's own handler ends with.
        giveBack();
        return InterruptedExitCode;
    case StopRequest::Other:
        break;
    }
    return std::nullopt;
}
