// The console in the WebAssembly build. The game runs inside a host, a web
// page or the Node runner (console_web_node.js), and reaches it through one
// small interface: the object `host` given to the module's factory,
// `createBrawlarium({arguments, host, preRun, onExit})`, one module instance
// per game.
//
//   host.isTerminal         true when the output is a terminal: the game then
//                           writes colour escapes and sets the title
//   host.environment        variables the game sees (NO_COLOR, TERM, HOME, ...)
//   host.write(stream, bytes)
//                           stream 1 is standard output, 2 standard error;
//                           bytes is a Uint8Array over the module's memory,
//                           to be used or copied before returning. A failed
//                           write throws an Error whose code names it (EPIPE).
//   host.readAnswers()      a promise of the next bytes of the answers (a
//                           typed line, or a chunk of a pipe); an empty
//                           array is the end of input
//   host.readKey()          a promise that settles after one key press, at
//                           once when there is no keyboard; keys pressed
//                           during a pause end the next wait at once
//   host.pause(ms)          a promise that settles after ms milliseconds
//   host.setTitle(text)     the window title
//   host.restoreTitle()     optional: the title from before the game
//
// The instance answers instance._brawlariumCharacterExists(), 1 while the game
// has a named character, for a host that asks before it ends such a game.
// The sample lists are built in at /usr/share/games/brawlarium; a host puts
// other lists in the working folder (the root) before the game starts.
// A host keeps a game by giving `--save FILE` among the arguments, with the
// file it kept put back first, and reading FILE (module.FS.readFile) after
// each answer and key press: the game appends each one as it reads it. The
// file is the same as the native game's, and the same in every host of this
// build, whose generator is musl's.
//
// The game keeps its straight-line code: Asyncify suspends it at a question,
// a key wait or a pause while the host's event loop runs. Standard output
// and standard error reach host.write through the C library's descriptors
// (console_web_module.js), so they fail as natively; standard output is
// collected as natively too and reaches host.write once a screen, before the
// game waits. Answers reach std::cin through the stream buffer below.
#include <emscripten.h>
#include <unistd.h>

#include <cerrno>
#include <iostream>
#include <streambuf>

#include "console/console.h"
#include "console/console_platform.h"

// The host's side, in JavaScript, which clang-format would take for C++.
// clang-format off
// Copies up to `capacity` bytes of the answers into `buffer`; returns how
// many, 0 at the end of input. A longer chunk is handed out over several calls.
EM_ASYNC_JS(int, hostReadAnswers, (char* buffer, int capacity), {
    if (!Module.answersLeft || Module.answersLeft.length === 0) {
        Module.answersLeft = await Module.host.readAnswers();
    }
    const count = Math.min(Module.answersLeft.length, capacity);
    HEAPU8.set(Module.answersLeft.subarray(0, count), buffer);
    Module.answersLeft = Module.answersLeft.subarray(count);
    return count;
});

EM_ASYNC_JS(void, hostReadKey, (), { await Module.host.readKey(); });

EM_ASYNC_JS(void, hostPause, (int milliseconds), { await Module.host.pause(milliseconds); });

EM_JS(void, hostSetTitle, (const char* title), { Module.host.setTitle(UTF8ToString(title)); });

EM_JS(void, hostRestoreTitle, (), {
    if (Module.host.restoreTitle) {
        Module.host.restoreTitle();
    }
});

EM_JS(int, hostIsTerminal, (), { return Module.host.isTerminal ? 1 : 0; });
// clang-format on

namespace {

// The answers, as the host hands them over: std::cin keeps its buffering, so
// the rest of a typed line answers the next questions.
class HostAnswers : public std::streambuf {
protected:
    int_type underflow() override {
        if (gptr() < egptr()) {
            return traits_type::to_int_type(*gptr());
        }
        const int got = hostReadAnswers(buffer, sizeof buffer);
        if (got <= 0) {
            return traits_type::eof();
        }
        setg(buffer, buffer, buffer + got);
        return traits_type::to_int_type(*gptr());
    }

private:
    char buffer[4096];
};

HostAnswers hostAnswers;

}  // namespace

void openConsole() {
    recordOutputErrors();
    readAnswersThrough(hostAnswers);
    if (chooseEscapes(hostIsTerminal() != 0)) {
        flushScreen();
        hostSetTitle(WindowTitle);
    }
}

void closeConsole() {
    flushScreen();
    if (consoleEscapesEnabled()) {
        hostRestoreTitle();
    }
    forgetColourOnScreen();
    stopReadingAnswersThrough(hostAnswers);
    stopRecordingOutputErrors();
}

void setTextAttribute(TextAttribute attribute) { writeColourEscape(attribute); }

// One write, which the module hands to host.write whole.
int platformWriteOutput(const char* text, std::size_t size) {
    while (size > 0) {
        const ssize_t written = write(STDOUT_FILENO, text, size);
        if (written <= 0) {
            return written < 0 ? errno : EIO;
        }
        text += written;
        size -= static_cast<std::size_t>(written);
    }
    return 0;
}

void platformWaitForKey() { hostReadKey(); }

void platformPause(std::chrono::milliseconds duration) { hostPause(static_cast<int>(duration.count())); }

// Under Node these are the real machine's folders, as for the native game;
// a page has none of them.
std::vector<std::string> platformDataFolders() { return xdgDataFolders(); }

bool outputIsTerminal() { return hostIsTerminal() != 0; }

// Node gives its programs no lock on a file, and the page has no other
// game's file to meet: it keeps one game per tab with the browser's own
// locks. So the lock is always held here, and nothing is opened.
FileLock::FileLock(const std::string& /*path*/) : lockState(State::Held) {}

FileLock::~FileLock() = default;

// A game in a host has no program file of its own.
std::string executablePath(const char* /*argv0*/) { return {}; }
