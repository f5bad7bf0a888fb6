// What each platform file (console_posix.cpp, console_windows.cpp,
// console_web.cpp) provides to console.cpp besides the operations declared in
// console.h, and what console.cpp shares with the platforms whose colours are
// escape sequences.
#pragma once

#include <chrono>

// Reads one key press from the console; returns at once when there is none
// to read from or the read fails.
void platformWaitForKey();

// Sleeps without using the processor.
void platformPause(std::chrono::milliseconds duration);

// Between these two calls (made by openConsole and closeConsole), std::cout
// writes through a buffer that keeps the reason for a failed write.
void recordOutputErrors();
void stopRecordingOutputErrors();

// The escape sequence that makes a terminal write in the given colour; the
// normal colour is the terminal's own.
const char* colourEscape(int attribute);
