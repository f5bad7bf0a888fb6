// The parts of the console layer that are the same on every platform:
// standard output collected a screen at a time and handed to the system at
// once, keeping the reason for a failed write; clearing the screen; the
// escape and colour state of the platforms whose colours are escape
// sequences; and the switch between the real blocking operations and the
// replacements that tests and fuzzers install.
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <optional>
#include <streambuf>
#include <string_view>

#include "console/console.h"
#include "console/console_platform.h"
#include "console/input_journal.h"

namespace {
KeyWaitHandler keyWaitHandler = nullptr;
PauseHandler pauseHandler = nullptr;
InputJournal* journal = nullptr;

// Room for the longest screen the game writes between two waits; a longer
// one is handed over in parts.
constexpr std::size_t ScreenCapacity = std::size_t{1} << 15;

// std::cout while the console is open: what the game writes, its own line-end
// flushes included, is collected here and handed to the system in one write
// where the game waits (flushScreen). Until the game blocks nobody can tell
// the difference, and a screen costs one system call instead of one a line.
//
// A signal handler may hand over what is collected while the game is writing
// (handOverFromSignal), and on Windows a stop request does it from a thread of
// its own: the counts are atomic, the game only ever adds after what is
// collected, and whoever hands over holds handingOver.
static_assert(std::atomic<std::size_t>::is_always_lock_free && std::atomic<bool>::is_always_lock_free,
              "a signal handler may only use lock-free atomics");

class ScreenOutput : public std::streambuf {
public:
    // Writes what is collected; false when the system refused it, which is
    // then dropped, as the C library drops a buffer it could not write.
    bool handOver() {
        while (handingOver.exchange(true)) {
            // Only a stop request on another thread holds it this long, and
            // it ends the process.
        }
        const std::size_t from = handedOver.load();
        const std::size_t to = collected.load();
        const int error = to > from ? platformWriteOutput(storage + from, to - from) : 0;
        collected.store(0);
        handedOver.store(0);
        handingOver.store(false);
        if (error != 0 && firstError == 0) {
            firstError = error;
        }
        return error == 0;
    }

    // What is collected and not yet handed over, written at once; nothing
    // when the game is in the middle of handing it over itself (what the
    // system has not taken by then is lost, as when the game is killed).
    // Async-signal-safe.
    void handOverFromSignal() {
        if (handingOver.exchange(true)) {
            return;
        }
        const std::size_t from = handedOver.load();
        const std::size_t to = collected.load();
        if (to > from) {
            platformWriteOutput(storage + from, to - from);
            handedOver.store(to);
        }
        handingOver.store(false);
    }

    int error() const { return firstError; }
    void forget() {
        firstError = 0;
        collected.store(0);
        handedOver.store(0);
    }

protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) {
            return traits_type::not_eof(c);
        }
        const char character = traits_type::to_char_type(c);
        return xsputn(&character, 1) == 1 ? c : traits_type::eof();
    }

    std::streamsize xsputn(const char* text, std::streamsize count) override {
        std::streamsize kept = 0;
        while (kept < count) {
            // Only the game adds: its own count needs no ordering.
            const std::size_t at = collected.load(std::memory_order_relaxed);
            if (at == ScreenCapacity) {
                if (!handOver()) {
                    return kept;
                }
                continue;
            }
            const std::size_t part = std::min(ScreenCapacity - at, static_cast<std::size_t>(count - kept));
            std::memcpy(storage + at, text + kept, part);
            collected.store(at + part, std::memory_order_release);  // the bytes before the count
            kept += static_cast<std::streamsize>(part);
        }
        return kept;
    }

    // The game's own flushes (std::endl, std::flush) keep collecting.
    int sync() override { return 0; }

private:
    char storage[ScreenCapacity] = {};
    std::atomic<std::size_t> collected{0};   // bytes in storage
    std::atomic<std::size_t> handedOver{0};  // of those, the ones a signal handler wrote
    std::atomic<bool> handingOver{false};
    int firstError = 0;
};

// Tied to standard input and standard error in place of std::cout: reading
// an answer and writing an error first hand the screen to the system, so the
// question is on screen before the game blocks, and what the game wrote
// before an error comes before it.
class ScreenFlush : public std::streambuf {
protected:
    int sync() override {
        flushScreen();
        return 0;  // a failed write fails std::cout, not this stream
    }
};

// The buffer std::cout starts with. Only that one is replaced: tests that
// capture std::cout keep theirs.
std::streambuf* const standardOutputBuffer = [] {
    const std::ios_base::Init streamsReady;
    return std::cout.rdbuf();
}();
ScreenOutput screenOutput;
ScreenFlush screenFlush;
std::ostream screenFlusher(&screenFlush);
std::ostream* inputTieBefore = nullptr;
std::ostream* errorTieBefore = nullptr;

// The buffer std::cin starts with. Only that one is replaced: tests and
// fuzzers that feed std::cin from a string keep theirs.
std::streambuf* const standardInputBuffer = [] {
    const std::ios_base::Init streamsReady;
    return std::cin.rdbuf();
}();

// Whether title and colour escapes are written, on the platforms that write
// them. Plain signal-safe storage: the POSIX signal handlers read it.
std::optional<bool> forcedEscapes;
volatile std::sig_atomic_t escapesEnabled = 0;
volatile std::sig_atomic_t coloursEnabled = 0;
// The colour in force, to write again when the game continues after a stop.
volatile std::sig_atomic_t colourInForce = Normal;

bool isSet(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr && value[0] != '\0';
}
}  // namespace

void recordOutputErrors() {
    if (std::cout.rdbuf() == standardOutputBuffer) {
        std::fflush(stdout);  // anything written before, then the screens
        screenOutput.forget();
        std::cout.rdbuf(&screenOutput);
        inputTieBefore = std::cin.tie(&screenFlusher);
        errorTieBefore = std::cerr.tie(&screenFlusher);
    }
}

void stopRecordingOutputErrors() {
    if (std::cout.rdbuf() == &screenOutput) {
        flushScreen();
        std::cin.tie(inputTieBefore);
        std::cerr.tie(errorTieBefore);
        std::cout.rdbuf(standardOutputBuffer);
    }
}

void flushScreen() {
    if (std::cout.rdbuf() != &screenOutput) {
        std::cout.flush();
    } else if (!screenOutput.handOver()) {
        std::cout.setstate(std::ios::badbit);
    }
}

void flushScreenFromSignal() { screenOutput.handOverFromSignal(); }

void readAnswersThrough(std::streambuf& answers) {
    if (std::cin.rdbuf() == standardInputBuffer) {
        std::cin.rdbuf(&answers);
    }
}

void stopReadingAnswersThrough(std::streambuf& answers) {
    if (std::cin.rdbuf() == &answers) {
        std::cin.rdbuf(standardInputBuffer);
    }
}

int outputError() { return std::cout.rdbuf() == &screenOutput ? screenOutput.error() : 0; }

void clearScreen() {
    // Scrolling rather than erasing: the console's history keeps everything.
    // One write of all the line ends rather than one endl each: the same
    // bytes, without 50 flushes of the stream.
    static const std::string lineEnds(ClearLineEnds, '\n');
    std::cout << lineEnds << std::flush;
}

void waitForKey() {
    if (journal != nullptr && journal->keySource() != InputJournal::Source::Player) {
        return;
    }
    // The message that announces the wait may have no line end of its own,
    // and a continued game shows the screen it was left at only now: it must
    // be on screen before the game blocks.
    flushScreen();
    if (keyWaitHandler != nullptr) {
        keyWaitHandler();
    } else {
        platformWaitForKey();
    }
    if (journal != nullptr) {
        journal->keyPressed();
    }
}

void pauseFor(std::chrono::milliseconds duration) {
    flushScreen();
    if (journal != nullptr && journal->replaying()) {
        return;
    }
    if (pauseHandler != nullptr) {
        pauseHandler(duration);
        return;
    }
    platformPause(duration);
}

const char* colourEscape(int attribute) {
    switch (attribute) {
    case PlayerHit:
        return "\x1b[92m";
    case PlayerMiss:
        return "\x1b[32m";
    case MonsterHit:
        return "\x1b[91m";
    case MonsterMiss:
        return "\x1b[31m";
    default:
        return "\x1b[0m";
    }
}

bool chooseEscapes(bool outputIsTerminal) {
    const char* term = std::getenv("TERM");
    const bool takesEscapes = outputIsTerminal && (term == nullptr || std::strcmp(term, "dumb") != 0);
    escapesEnabled = forcedEscapes.value_or(takesEscapes) ? 1 : 0;
    coloursEnabled = escapesEnabled != 0 && !isSet("NO_COLOR") ? 1 : 0;
    return escapesEnabled != 0;
}

void writeColourEscape(TextAttribute attribute) {
    if (coloursEnabled == 0) {
        return;
    }
    colourInForce = attribute;
    std::cout << colourEscape(attribute);
}

TextAttribute colourOnScreen() { return static_cast<TextAttribute>(colourInForce); }

void forgetColourOnScreen() { colourInForce = Normal; }

bool consoleEscapesEnabled() { return escapesEnabled != 0; }

void setConsoleEscapesEnabled(bool enabled) {
    forcedEscapes = enabled;
    escapesEnabled = enabled ? 1 : 0;
    coloursEnabled = enabled && !isSet("NO_COLOR") ? 1 : 0;
}

KeyWaitHandler setKeyWaitHandler(KeyWaitHandler handler) {
    const KeyWaitHandler previous = keyWaitHandler;
    keyWaitHandler = handler;
    return previous;
}

void setPauseHandler(PauseHandler handler) { pauseHandler = handler; }

void setInputJournal(InputJournal* newJournal) { journal = newJournal; }

InputJournal* inputJournal() { return journal; }

// Relative folders in the XDG variables are to be ignored, as the XDG base
// directory rules say, so a game started elsewhere never reads them.
std::vector<std::string> xdgDataFolders() {
    std::vector<std::string> folders;
    const auto add = [&folders](std::string base) {
        while (base.size() > 1 && base.back() == '/') {
            base.pop_back();
        }
        if (!base.empty() && base.front() == '/') {
            folders.push_back(base + (base.back() == '/' ? "" : "/") + "brawlarium");
        }
    };
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    if (dataHome != nullptr && dataHome[0] != '\0') {
        add(dataHome);
    } else if (home != nullptr && home[0] != '\0') {
        add(std::string(home) + "/.local/share");
    }
    const char* dataDirs = std::getenv("XDG_DATA_DIRS");
    std::string_view rest =
        dataDirs != nullptr && dataDirs[0] != '\0' ? dataDirs : "/usr/local/share:/usr/share";
    while (!rest.empty()) {
        const auto colon = rest.find(':');
        add(std::string(rest.substr(0, colon)));
        rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
    }
    return folders;
}
