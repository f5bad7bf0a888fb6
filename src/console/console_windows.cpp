// The console layer on Windows: the title, the colours and the key read go
// straight to the Win32 console. No escape sequences are written here; the
// console keeps its own title and character attributes, so the text before a
// colour change is handed to the console first.
//
// No call that changes the console is checked: where standard output is not
// a console, those calls fail quietly and the text is still written. Only the
// key read looks at its result (a failed read ends the key wait), and
// openConsole at what it finds to give back at shut-down.
//
// Ctrl+C, Ctrl+Break and closing the window reach the game as a call of
// stopHandler on a thread that the system creates for it. The handler gives
// the console back (the text the game wrote and had not yet handed over,
// then the attribute, the title and the input mode found at start-up) and
// ends the process. The text is collected for the console a screen at a
// time, like a colour change it is handed over first; console.cpp keeps the
// game's writing and the handler's apart. What it reads is safe to read from there:
// the output handle and what openConsole found are written before the
// handler is installed and never again while it is; the input handle is
// written before the first key wait takes the keeper's lock, and the input
// mode a key wait replaced, and whether it did, are only touched under that
// lock, as is every change of the console. So the handler never sees half a
// change, and once it has given the console back nothing changes it again.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <optional>

#include "console/console.h"
#include "console/console_keeper.h"
#include "console/console_platform.h"

namespace {

// The console's standard output, the target of every attribute change.
HANDLE consoleOutput = INVALID_HANDLE_VALUE;

// What openConsole found, for closeConsole to put back.
bool consoleOpened = false;
WORD originalAttributes = Normal;
char originalTitle[MAX_PATH] = {};
DWORD originalTitleLength = 0;

// The console input device, opened on the first key read and kept open.
bool consoleInputOpened = false;
HANDLE consoleInput = INVALID_HANDLE_VALUE;

// The input mode in force before the current key wait set it to 0.
DWORD savedInputMode = 0;

// Where a FileLock's byte is: at 2^62, past any file the game writes.
constexpr DWORD LockedOffsetHigh = 0x40000000;

void restoreAttribute() { SetConsoleTextAttribute(consoleOutput, originalAttributes); }

void restoreTitle() {
    if (originalTitleLength > 0) {
        SetConsoleTitleA(originalTitle);
    }
}

void restoreInputMode() { SetConsoleMode(consoleInput, savedInputMode); }

ConsoleKeeper keeper({flushScreenFromSignal, restoreAttribute, restoreTitle, restoreInputMode});

StopRequest stopRequestOf(DWORD controlType) {
    switch (controlType) {
    case CTRL_C_EVENT:
        return StopRequest::Interrupt;
    case CTRL_BREAK_EVENT:
        return StopRequest::Break;
    case CTRL_CLOSE_EVENT:
        return StopRequest::CloseWindow;
    case CTRL_LOGOFF_EVENT:
        return StopRequest::LogOff;
    case CTRL_SHUTDOWN_EVENT:
        return StopRequest::ShutDown;
    default:
        return StopRequest::Other;
    }
}

// Runs on a thread of its own. Ends the process at once, as the system's
// own handler would, but with the console given back; a window being closed
// is thus let go long before the system's time limit for it runs out.
BOOL WINAPI stopHandler(DWORD controlType) {
    const std::optional<std::uint32_t> exitCode = keeper.answer(stopRequestOf(controlType));
    if (!exitCode) {
        return FALSE;  // not ours: the next handler decides
    }
    ExitProcess(*exitCode);
}

// The second byte of an extended key code, returned by the next read.
int pendingSecondByte = 0;

// The two-byte code of a key without a character (arrow, function and
// navigation keys): a lead byte of 0 or 224 and a second byte, which depends
// on the modifier held. {0, 0} means the combination has no code.
struct ExtendedCode {
    unsigned char lead;
    unsigned char second;
};

struct ExtendedKey {
    WORD scanCode;
    ExtendedCode plain;
    ExtendedCode shift;
    ExtendedCode ctrl;
    ExtendedCode alt;
};

// Keys flagged ENHANCED_KEY: the grey navigation block and arrows, and the
// keypad's Enter and slash (which have a character unless Ctrl or Alt is held).
constexpr ExtendedKey enhancedKeys[] = {
    {28, {0, 0}, {0, 0}, {0, 0}, {0, 166}},            // keypad Enter
    {53, {0, 0}, {0, 0}, {0, 149}, {0, 164}},          // keypad /
    {71, {224, 71}, {224, 71}, {224, 119}, {0, 151}},  // Home
    {72, {224, 72}, {224, 72}, {224, 141}, {0, 152}},  // Up
    {73, {224, 73}, {224, 73}, {224, 134}, {0, 153}},  // Page Up
    {75, {224, 75}, {224, 75}, {224, 115}, {0, 155}},  // Left
    {77, {224, 77}, {224, 77}, {224, 116}, {0, 157}},  // Right
    {79, {224, 79}, {224, 79}, {224, 117}, {0, 159}},  // End
    {80, {224, 80}, {224, 80}, {224, 145}, {0, 160}},  // Down
    {81, {224, 81}, {224, 81}, {224, 118}, {0, 161}},  // Page Down
    {82, {224, 82}, {224, 82}, {224, 146}, {0, 162}},  // Insert
    {83, {224, 83}, {224, 83}, {224, 147}, {0, 163}},  // Delete
};

// Keys without the flag: the function keys, and the keypad's navigation keys
// while Num Lock is off (with Shift they give their digit as a character).
constexpr ExtendedKey normalKeys[] = {
    {59, {0, 59}, {0, 84}, {0, 94}, {0, 104}},             // F1
    {60, {0, 60}, {0, 85}, {0, 95}, {0, 105}},             // F2
    {61, {0, 61}, {0, 86}, {0, 96}, {0, 106}},             // F3
    {62, {0, 62}, {0, 87}, {0, 97}, {0, 107}},             // F4
    {63, {0, 63}, {0, 88}, {0, 98}, {0, 108}},             // F5
    {64, {0, 64}, {0, 89}, {0, 99}, {0, 109}},             // F6
    {65, {0, 65}, {0, 90}, {0, 100}, {0, 110}},            // F7
    {66, {0, 66}, {0, 91}, {0, 101}, {0, 111}},            // F8
    {67, {0, 67}, {0, 92}, {0, 102}, {0, 112}},            // F9
    {68, {0, 68}, {0, 93}, {0, 103}, {0, 113}},            // F10
    {71, {0, 71}, {0, 0}, {0, 119}, {0, 0}},               // keypad Home
    {72, {0, 72}, {0, 0}, {0, 141}, {0, 0}},               // keypad Up
    {73, {0, 73}, {0, 0}, {0, 132}, {0, 0}},               // keypad Page Up
    {74, {0, 0}, {0, 0}, {0, 142}, {0, 74}},               // keypad -
    {75, {0, 75}, {0, 0}, {0, 115}, {0, 0}},               // keypad Left
    {76, {0, 76}, {0, 0}, {0, 143}, {0, 0}},               // keypad 5
    {77, {0, 77}, {0, 0}, {0, 116}, {0, 0}},               // keypad Right
    {78, {0, 0}, {0, 0}, {0, 144}, {0, 78}},               // keypad +
    {79, {0, 79}, {0, 0}, {0, 117}, {0, 0}},               // keypad End
    {80, {0, 80}, {0, 0}, {0, 145}, {0, 0}},               // keypad Down
    {81, {0, 81}, {0, 0}, {0, 118}, {0, 0}},               // keypad Page Down
    {82, {0, 82}, {0, 0}, {0, 146}, {0, 0}},               // keypad Insert
    {83, {0, 83}, {0, 0}, {0, 147}, {0, 0}},               // keypad Delete
    {87, {224, 133}, {224, 135}, {224, 137}, {224, 139}},  // F11
    {88, {224, 134}, {224, 136}, {224, 138}, {224, 140}},  // F12
};

// The extended code of a key press that carries no character. Shift, Ctrl
// and Alt pressed alone (and Caps Lock, Num Lock and the like) have none.
// Alt wins over Ctrl, Ctrl over Shift.
ExtendedCode extendedCodeOf(const KEY_EVENT_RECORD& key) {
    const bool enhanced = (key.dwControlKeyState & ENHANCED_KEY) != 0;
    const ExtendedKey* first = enhanced ? std::begin(enhancedKeys) : std::begin(normalKeys);
    const ExtendedKey* last = enhanced ? std::end(enhancedKeys) : std::end(normalKeys);
    for (const ExtendedKey* entry = first; entry != last; ++entry) {
        if (entry->scanCode != key.wVirtualScanCode) {
            continue;
        }
        const DWORD state = key.dwControlKeyState;
        if ((state & (LEFT_ALT_PRESSED | RIGHT_ALT_PRESSED)) != 0) {
            return entry->alt;
        }
        if ((state & (LEFT_CTRL_PRESSED | RIGHT_CTRL_PRESSED)) != 0) {
            return entry->ctrl;
        }
        if ((state & SHIFT_PRESSED) != 0) {
            return entry->shift;
        }
        return entry->plain;
    }
    return {0, 0};
}

// Reads one key press from the console input without echo and without
// waiting for Enter. Returns its character code; for a key with an extended
// code the lead byte (0 or 224), keeping the second byte for the next call;
// -1 when the read fails.
int readConsoleKey() {
    if (pendingSecondByte != 0) {
        const int second = pendingSecondByte;
        pendingSecondByte = 0;
        return second;
    }
    if (!consoleInputOpened) {
        consoleInputOpened = true;
        consoleInput = CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_EXISTING, 0, nullptr);
    }

    // Mode 0: no line input, no echo, and Ctrl+C is a key like any other.
    keeper.replaceInputMode(
        [] { return GetConsoleMode(consoleInput, &savedInputMode) && SetConsoleMode(consoleInput, 0); });

    int result = -1;
    for (;;) {
        INPUT_RECORD record;
        DWORD recordsRead = 0;
        if (!ReadConsoleInputA(consoleInput, &record, 1, &recordsRead) || recordsRead == 0) {
            break;
        }
        if (record.EventType != KEY_EVENT || !record.Event.KeyEvent.bKeyDown) {
            continue;
        }
        const KEY_EVENT_RECORD& key = record.Event.KeyEvent;
        const auto character = static_cast<unsigned char>(key.uChar.AsciiChar);
        if (character != 0) {
            result = character;
            break;
        }
        const ExtendedCode code = extendedCodeOf(key);
        if (code.second != 0) {
            pendingSecondByte = code.second;
            result = code.lead;
            break;
        }
    }

    keeper.putBackInputMode([] { SetConsoleMode(consoleInput, savedInputMode); });
    return result;
}

}  // namespace

void openConsole() {
    recordOutputErrors();
    consoleOutput = GetStdHandle(STD_OUTPUT_HANDLE);

    CONSOLE_SCREEN_BUFFER_INFO info;
    if (GetConsoleScreenBufferInfo(consoleOutput, &info)) {
        originalAttributes = info.wAttributes;
    }
    originalTitleLength = GetConsoleTitleA(originalTitle, sizeof originalTitle);
    consoleOpened = true;
    keeper.take();
    SetConsoleCtrlHandler(stopHandler, TRUE);

    keeper.change([] { SetConsoleTitleA(WindowTitle); });
}

void closeConsole() {
    if (consoleOpened) {
        flushScreen();
        keeper.giveBack();
        SetConsoleCtrlHandler(stopHandler, FALSE);
        consoleOpened = false;
    }
    if (consoleInputOpened && consoleInput != INVALID_HANDLE_VALUE) {
        CloseHandle(consoleInput);
    }
    consoleInputOpened = false;
    consoleInput = INVALID_HANDLE_VALUE;
    pendingSecondByte = 0;
    stopRecordingOutputErrors();
}

void setTextAttribute(TextAttribute attribute) {
    // Text already written keeps the colour it was written in.
    flushScreen();
    keeper.change([attribute] { SetConsoleTextAttribute(consoleOutput, static_cast<WORD>(attribute)); });
}

// Through the C library, which writes the line ends as the console's; the
// text was collected a screen at a time, so this is one write of the system's
// for each buffer the C library fills.
int platformWriteOutput(const char* text, std::size_t size) {
    errno = 0;
    const std::size_t written = std::fwrite(text, 1, size, stdout);
    if (std::fflush(stdout) != 0 || written < size) {
        return errno != 0 ? errno : EIO;
    }
    return 0;
}

void platformWaitForKey() {
    while (readConsoleKey() == 0) {
    }
}

void platformPause(std::chrono::milliseconds duration) {
    if (duration.count() > 0) {
        Sleep(static_cast<DWORD>(duration.count()));
    }
}

std::string executablePath(const char* /*argv0*/) {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return "";
    }
    return std::string(path, length);
}

// A console window; a pipe or a file has no console mode.
bool outputIsTerminal() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
}

// Windows' locks forbid reading and writing the bytes they cover, so the
// lock covers one byte far past the end of any save file: the game's own
// writes go on, and another game's lock of that byte fails. The handle shares
// the file with every other opening of it.
FileLock::FileLock(const std::string& path) {
    const HANDLE file =
        CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    OVERLAPPED where = {};
    where.OffsetHigh = LockedOffsetHigh;
    if (LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &where)) {
        handle = reinterpret_cast<std::intptr_t>(file);
        lockState = State::Held;
        return;
    }
    lockState = GetLastError() == ERROR_LOCK_VIOLATION ? State::HeldElsewhere : State::Unavailable;
    CloseHandle(file);
}

FileLock::~FileLock() {
    if (handle != -1) {
        CloseHandle(reinterpret_cast<HANDLE>(handle));
    }
}

// A game unpacked from its ZIP keeps its price lists beside brawlarium.exe.
std::vector<std::string> platformDataFolders() {
    std::string folder = executablePath(nullptr);
    const auto separator = folder.find_last_of("\\/");
    if (separator == std::string::npos) {
        return {};
    }
    folder.erase(separator);
    return {folder};
}
