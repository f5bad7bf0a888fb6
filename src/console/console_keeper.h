// The console's keeper: what the game has changed on the console, and the
// one giving back of it. The game's own shut-down and a stop request from the
// system (Ctrl+C, Ctrl+Break, the window closing), which arrives on a thread
// of its own, both end here; whichever comes first puts the console back, and
// nothing changes it afterwards. Free of platform calls, so that its logic is
// tested everywhere; the platform file supplies the console calls.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>

// The requests to stop that a console program receives from the system.
enum class StopRequest { Interrupt, Break, CloseWindow, LogOff, ShutDown, Other };

// The exit code of a console program ended by Ctrl+C (STATUS_CONTROL_C_EXIT).
inline constexpr std::uint32_t InterruptedExitCode = 0xC000013AU;

// The console calls that put back what the game found at start-up, after
// the text the game has written and not yet handed to the console.
struct ConsoleRestore {
    void (*output)();     // the text not yet handed over
    void (*attribute)();  // the text attribute
    void (*title)();      // the window title
    void (*inputMode)();  // the input mode a key wait replaced
};

// Every change of the console and the giving back run under one lock, so
// the giving back is always the last change, whichever thread makes it.
class ConsoleKeeper {
public:
    explicit ConsoleKeeper(ConsoleRestore restore) : restore(restore) {}

    // The console is the game's from now on; called at start-up.
    void take();

    // Runs change (which changes the console's title or colour) unless the
    // console has been given back; says whether it ran.
    template <typename Change>
    bool change(Change&& apply) {
        const std::lock_guard<std::mutex> hold(lock);
        if (givenBack) {
            return false;
        }
        apply();
        return true;
    }

    // A key wait replaces the input mode: replace does it and says whether
    // it did. Refused once the console has been given back.
    template <typename Replace>
    bool replaceInputMode(Replace&& replace) {
        const std::lock_guard<std::mutex> hold(lock);
        if (givenBack) {
            return false;
        }
        modeReplaced = replace();
        return modeReplaced;
    }

    // The key wait is over: putBack restores the input mode, unless the
    // console was given back (and the mode with it) meanwhile.
    template <typename PutBack>
    void putBackInputMode(PutBack&& putBack) {
        const std::lock_guard<std::mutex> hold(lock);
        if (modeReplaced) {
            putBack();
            modeReplaced = false;
        }
    }

    // Hands over the text written so far, then restores the attribute, the
    // title and (while a key wait has replaced it) the input mode, if the
    // console was taken and not yet given back. Says whether it did.
    bool giveBack();

    // The answer to a stop request: the console given back and the exit code
    // to end the process with; nothing for a request left to the system.
    std::optional<std::uint32_t> answer(StopRequest request);

private:
    ConsoleRestore restore;
    std::mutex lock;
    bool taken = false;
    bool givenBack = false;
    bool modeReplaced = false;
};
