// The console layer: window title, text colours, screen clearing, the key
// wait and the pause between fight rounds. Every platform difference of the
// game lives behind this header; console_posix.cpp and console_windows.cpp
// implement the platform half, console.cpp the part that is the same everywhere.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

// Console character attributes (Windows values: blue 1, green 2, red 4,
// intensity 8, on black). Only these five are ever used.
enum TextAttribute : int {
    Normal = 7,
    PlayerHit = 10,
    PlayerMiss = 2,
    MonsterHit = 12,
    MonsterMiss = 4,
};

inline constexpr const char* WindowTitle = "Brawlarium! Adventures inside the almighty Console.";

// Takes hold of the console's standard output (consoleOutput) and sets the
// window title. Called once at start-up. From then on, the console is also
// given back when the game is stopped from outside: by a signal on POSIX, by
// Ctrl+C, Ctrl+Break or the window closing on Windows.
void openConsole();

// Gives the console back as it was found: restores the window title (and,
// where the platform needs it, the colour and the input mode). Called once at
// shut-down; safe to call when openConsole was never called.
void closeConsole();

// The system's error number (errno) of the first write to standard output
// that failed while the console was open; 0 when none did.
int outputError();

// Makes the following text appear in the given colour.
void setTextAttribute(TextAttribute attribute);

// How many line ends clear the screen. The browser page's terminal has no
// more rows, so that a clear leaves nothing of the screen before.
inline constexpr int ClearLineEnds = 50;

// Scrolls the screen clear with ClearLineEnds line ends, then flushes.
void clearScreen();

// Hands what the game has written to standard output to the system, in one
// write. While the console is open the game's own flushes only collect the
// text: it reaches the screen here, before every question is read, every key
// wait and every pause, before anything is written to standard error, and
// when the console is closed. A failed write fails std::cout, as a failed
// flush does.
void flushScreen();

// Blocks until one key press at the console, without echo and without Enter.
// Reads the console itself, never standard input. An input journal
// (input_journal.h) may end it at once from its record, and hears of the
// key press otherwise.
void waitForKey();

// Blocks the game for the given time without using the processor; not at
// all while an input journal plays its record back.
void pauseFor(std::chrono::milliseconds duration);

// Replacements for the blocking operations, for tests, fuzzers and
// benchmarks that drive a whole game in-process, and for --batch. Null
// restores the real one. Setting the key wait's returns the one it replaces.
using KeyWaitHandler = void (*)();
using PauseHandler = void (*)(std::chrono::milliseconds);
KeyWaitHandler setKeyWaitHandler(KeyWaitHandler handler);
void setPauseHandler(PauseHandler handler);

// Whether colour and title escapes are written to standard output. On POSIX
// and in the WebAssembly build this is decided by openConsole; tests may
// force it. Windows sets its colours and title through the console itself
// and never writes them.
bool consoleEscapesEnabled();
void setConsoleEscapesEnabled(bool enabled);

// Whether standard output is a terminal that shows the player's typed
// answers as they type them: a terminal on POSIX, a console window on
// Windows, the host's terminal in the WebAssembly build (the page's).
bool outputIsTerminal();

// The system's advisory lock on a file, so that two games never write the
// same file at once. It is taken without waiting and held until the lock is
// destroyed or the process ends, however it ends (kill -9 included): the
// system lets go of it with the process. Two locks of one file exclude each
// other within a process too. The WebAssembly build has no such lock (Node
// gives none, and the page keeps one game per tab itself): there it is
// always held.
class FileLock {
public:
    enum class State {
        Held,           // this process holds the file
        HeldElsewhere,  // another lock holds it
        Unavailable,    // the file cannot be opened or locked: not held
    };

    // Opens the file at path, creating it empty when it is missing, and locks it.
    explicit FileLock(const std::string& path);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    State state() const { return lockState; }

private:
    // The platform's open file (a descriptor, a handle), -1 for none; the
    // WebAssembly build never opens one.
    [[maybe_unused]] std::intptr_t handle = -1;
    State lockState = State::Unavailable;
};

// The folders where this user's and this machine's copies of the game's data
// may be, most particular first: on POSIX $XDG_DATA_HOME/brawlarium (by
// default ~/.local/share/brawlarium), then DIR/brawlarium for each folder of
// $XDG_DATA_DIRS (by default /usr/local/share:/usr/share); on Windows the
// folder of the executable.
std::vector<std::string> platformDataFolders();

// The real path of the running program, links resolved: from the system
// where it tells (/proc/self/exe on Linux, _NSGetExecutablePath on macOS,
// the module's file name on Windows), elsewhere from argv0, the name it was
// started by, looked up in PATH as a shell does when it holds no "/". Empty
// when it cannot be told.
std::string executablePath(const char* argv0);
