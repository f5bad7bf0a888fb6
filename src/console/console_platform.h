// What each platform file (console_posix.cpp, console_windows.cpp,
// console_web.cpp) provides to console.cpp besides the operations declared in
// console.h, and what console.cpp shares with the platforms whose colours are
// escape sequences.
#pragma once

#include <chrono>
#include <streambuf>
#include <string>
#include <vector>

// Reads one key press from the console; returns at once when there is none
// to read from or the read fails.
void platformWaitForKey();

// Sleeps without using the processor.
void platformPause(std::chrono::milliseconds duration);

// Between these two calls (made by openConsole and closeConsole), std::cout
// writes through a buffer that keeps the reason for a failed write.
void recordOutputErrors();
void stopRecordingOutputErrors();

// Between these two calls (made by openConsole and closeConsole), std::cin
// reads the answers through the platform's buffer, unless a test or fuzzer
// has given it one of its own.
void readAnswersThrough(std::streambuf& answers);
void stopReadingAnswersThrough(std::streambuf& answers);

// The escape sequence that makes a terminal write in the given colour; the
// normal colour is the terminal's own.
const char* colourEscape(int attribute);

// The XDG data folders with "brawlarium" added, most particular first:
// $XDG_DATA_HOME (by default ~/.local/share), then each of $XDG_DATA_DIRS (by
// default /usr/local/share:/usr/share). For the hosts that have them.
std::vector<std::string> xdgDataFolders();
