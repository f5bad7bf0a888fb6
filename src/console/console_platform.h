// What each platform file (console_posix.cpp, console_windows.cpp,
// console_web.cpp) provides to console.cpp besides the operations declared in
// console.h, and what console.cpp shares with the platforms: standard output
// a screen at a time, and the escape and colour state of those whose colours
// are escape sequences.
#pragma once

#include <chrono>
#include <cstddef>
#include <streambuf>
#include <string>
#include <vector>

#include "console/console.h"

// Reads one key press from the console; returns at once when there is none
// to read from or the read fails.
void platformWaitForKey();

// Sleeps without using the processor.
void platformPause(std::chrono::milliseconds duration);

// Writes the text to standard output, all of it unless the system refuses;
// returns 0, or the system's error number (errno) of the write that failed.
// On POSIX one write call, safe in a signal handler; on Windows through the
// C library's stdout, which turns line ends into the console's.
int platformWriteOutput(const char* text, std::size_t size);

// Between these two calls (made by openConsole and closeConsole), std::cout
// collects what the game writes and hands it to the system a screen at a
// time (flushScreen), keeping the reason for a failed write. Standard input
// and standard error are tied to the screen meanwhile: an answer read or an
// error written first hands the screen over.
void recordOutputErrors();
void stopRecordingOutputErrors();

// Writes what the game has written and not yet handed over, at once, for a
// signal handler or a stop request about to give the console back; skips it
// when the game is handing it over itself. Async-signal-safe on POSIX.
void flushScreenFromSignal();

// Between these two calls (made by openConsole and closeConsole), std::cin
// reads the answers through the platform's buffer, unless a test or fuzzer
// has given it one of its own.
void readAnswersThrough(std::streambuf& answers);
void stopReadingAnswersThrough(std::streambuf& answers);

// The escape sequence that makes a terminal write in the given colour; the
// normal colour is the terminal's own.
const char* colourEscape(int attribute);

// For the platforms whose title and colours are escape sequences on standard
// output. Decides, at openConsole, whether standard output takes escapes: a
// terminal whose TERM is not "dumb", unless a test forced the answer
// (setConsoleEscapesEnabled); colours also need NO_COLOR unset. Returns
// whether the title escapes are to be written.
bool chooseEscapes(bool outputIsTerminal);

// Writes the colour's escape to std::cout when colours are on, and keeps it
// as the colour on screen.
void writeColourEscape(TextAttribute attribute);

// The colour written last (Normal at first), for a terminal given back and
// taken again; safe to read in a signal handler. Forgotten at closeConsole.
TextAttribute colourOnScreen();
void forgetColourOnScreen();

// The XDG data folders with "brawlarium" added, most particular first:
// $XDG_DATA_HOME (by default ~/.local/share), then each of $XDG_DATA_DIRS (by
// default /usr/local/share:/usr/share). For the hosts that have them.
std::vector<std::string> xdgDataFolders();
