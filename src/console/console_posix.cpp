// The console on Linux, macOS and other POSIX terminals: the title and the
// colours as escape sequences on standard output, the key wait read from the
// controlling terminal in non-canonical mode, and a terminal that is handed
// back as it was found on every way out, signals included.
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <optional>
#include <streambuf>
#include <string_view>
#include <thread>

#include "console/console.h"
#include "console/console_platform.h"

namespace {

constexpr const char* SaveTitle = "\x1b[22;0t";
constexpr const char* RestoreTitle = "\x1b[23;0t";
constexpr const char* ResetColour = "\x1b[0m";
// Once the first byte of a key has arrived, the rest of its escape sequence
// follows within this time.
constexpr int SequenceGapMilliseconds = 30;

// consoleOutput: whether standard output is a terminal that takes escapes.
std::optional<bool> forcedEscapes;
bool escapesEnabled = false;
bool coloursEnabled = false;

// The controlling terminal, opened on the first key wait; -1 when there is
// none.
int terminalFd = -1;
bool terminalOpened = false;

// The mode to restore while the key-wait mode is in force. Read by the
// signal handler, so kept in plain storage.
struct termios savedMode;
volatile std::sig_atomic_t modeChanged = 0;
volatile std::sig_atomic_t escapesForSignal = 0;

constexpr int HandledSignals[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction previousActions[3];
bool handlersInstalled = false;

bool isSet(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr && value[0] != '\0';
}

bool outputTakesEscapes() {
    const char* term = std::getenv("TERM");
    return isatty(STDOUT_FILENO) == 1 && (term == nullptr || std::strcmp(term, "dumb") != 0);
}

void writeAll(int fd, const char* text) {
    std::size_t left = std::strlen(text);
    while (left > 0) {
        const ssize_t written = write(fd, text, left);
        if (written <= 0) {
            return;
        }
        text += written;
        left -= static_cast<std::size_t>(written);
    }
}

// Only async-signal-safe calls: put the terminal back, then die of the same
// signal so the parent sees how the game ended.
void restoreAndRaise(int signalNumber) {
    if (modeChanged != 0) {
        tcsetattr(terminalFd, TCSANOW, &savedMode);
    }
    if (escapesForSignal != 0) {
        writeAll(STDOUT_FILENO, ResetColour);
        writeAll(STDOUT_FILENO, RestoreTitle);
    }
    signal(signalNumber, SIG_DFL);
    raise(signalNumber);
}

void installSignalHandlers() {
    struct sigaction action {};
    action.sa_handler = restoreAndRaise;
    sigemptyset(&action.sa_mask);
    for (int i = 0; i < 3; ++i) {
        sigaction(HandledSignals[i], &action, &previousActions[i]);
    }
    handlersInstalled = true;
}

void removeSignalHandlers() {
    if (!handlersInstalled) {
        return;
    }
    for (int i = 0; i < 3; ++i) {
        sigaction(HandledSignals[i], &previousActions[i], nullptr);
    }
    handlersInstalled = false;
}

int controllingTerminal() {
    if (!terminalOpened) {
        terminalOpened = true;
        terminalFd = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    }
    return terminalFd;
}

// Keys go to the game one by one and unechoed while this lives; the
// terminal's own mode comes back when it ends. The one place that changes
// the terminal mode.
class KeyMode {
public:
    explicit KeyMode(int fd) : fd(fd) {
        if (fd < 0 || tcgetattr(fd, &savedMode) != 0) {
            return;
        }
        struct termios keys = savedMode;
        keys.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
        keys.c_cc[VMIN] = 1;
        keys.c_cc[VTIME] = 0;
        modeChanged = 1;
        // TCSANOW, not TCSAFLUSH: keys typed before the wait stay queued.
        if (tcsetattr(fd, TCSANOW, &keys) != 0) {
            modeChanged = 0;
            return;
        }
        active = true;
    }
    ~KeyMode() {
        if (active) {
            tcsetattr(fd, TCSANOW, &savedMode);
            modeChanged = 0;
        }
    }
    KeyMode(const KeyMode&) = delete;
    KeyMode& operator=(const KeyMode&) = delete;

    bool isActive() const { return active; }

private:
    int fd;
    bool active = false;
};

// Reads one byte; -1 at the end of input or on a failure.
int readByte(int fd) {
    unsigned char byte = 0;
    for (;;) {
        const ssize_t got = read(fd, &byte, 1);
        if (got == 1) {
            return byte;
        }
        if (got < 0 && errno == EINTR) {
            continue;
        }
        return -1;
    }
}

// An arrow or function key sends a whole escape sequence: swallow the rest
// of it so that it counts as one key press.
void discardRestOfSequence(int fd) {
    pollfd waiting{fd, POLLIN, 0};
    char rest[32];
    while (poll(&waiting, 1, SequenceGapMilliseconds) > 0 && (waiting.revents & POLLIN) != 0) {
        if (read(fd, rest, sizeof rest) <= 0) {
            return;
        }
    }
}

// Standard input for the questions, read while also watching standard
// output: once nobody reads what the game writes (the other end of a pipe
// closed, the terminal hung up), there is no one left to answer and the
// questions find the end of input. Without this, `brawlarium | head` would
// wait at a question forever after head has gone.
class WatchfulInput : public std::streambuf {
protected:
    int_type underflow() override {
        if (gptr() < egptr()) {
            return traits_type::to_int_type(*gptr());
        }
        for (;;) {
            pollfd streams[2] = {{STDIN_FILENO, POLLIN, 0}, {STDOUT_FILENO, 0, 0}};
            if (poll(streams, 2, -1) < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return traits_type::eof();
            }
            if ((streams[1].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
                return traits_type::eof();
            }
            if (streams[0].revents == 0) {
                continue;
            }
            const ssize_t got = read(STDIN_FILENO, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got <= 0) {
                return traits_type::eof();
            }
            setg(buffer, buffer, buffer + got);
            return traits_type::to_int_type(*gptr());
        }
    }

private:
    char buffer[4096];
};

// The buffer std::cin starts with. Only that one is replaced: tests and
// fuzzers that feed std::cin from a string keep theirs.
std::streambuf* const standardInputBuffer = [] {
    const std::ios_base::Init streamsReady;
    return std::cin.rdbuf();
}();
WatchfulInput watchfulInput;

void watchOutputWhileReading() {
    if (std::cin.rdbuf() == standardInputBuffer) {
        std::cin.rdbuf(&watchfulInput);
    }
}

void stopWatchingOutput() {
    if (std::cin.rdbuf() == &watchfulInput) {
        std::cin.rdbuf(standardInputBuffer);
    }
}

}  // namespace

void openConsole() {
    watchOutputWhileReading();
    escapesEnabled = forcedEscapes.value_or(outputTakesEscapes());
    coloursEnabled = escapesEnabled && !isSet("NO_COLOR");
    escapesForSignal = escapesEnabled ? 1 : 0;
    installSignalHandlers();
    if (escapesEnabled) {
        std::cout << SaveTitle << "\x1b]0;" << WindowTitle << "\a" << std::flush;
    }
}

void closeConsole() {
    if (escapesEnabled) {
        std::cout << RestoreTitle << std::flush;
    }
    removeSignalHandlers();
    escapesForSignal = 0;
    stopWatchingOutput();
}

void setTextAttribute(TextAttribute attribute) {
    if (!coloursEnabled) {
        return;
    }
    switch (attribute) {
    case Normal:
        std::cout << "\x1b[0m";
        break;
    case PlayerHit:
        std::cout << "\x1b[92m";
        break;
    case PlayerMiss:
        std::cout << "\x1b[32m";
        break;
    case MonsterHit:
        std::cout << "\x1b[91m";
        break;
    case MonsterMiss:
        std::cout << "\x1b[31m";
        break;
    }
}

bool consoleEscapesEnabled() { return escapesEnabled; }

void setConsoleEscapesEnabled(bool enabled) {
    forcedEscapes = enabled;
    escapesEnabled = enabled;
    coloursEnabled = enabled && !isSet("NO_COLOR");
}

void platformWaitForKey() {
    const int fd = controllingTerminal();
    const KeyMode mode(fd);
    if (!mode.isActive()) {
        return;  // no terminal to read a key from
    }
    int key = 0;
    do {
        key = readByte(fd);
    } while (key == 0);
    if (key == 0x1b) {
        discardRestOfSequence(fd);
    }
}

void platformPause(std::chrono::milliseconds duration) {
    // Keys pressed meanwhile stay queued for the next key wait, unechoed.
    const KeyMode mode(controllingTerminal());
    std::this_thread::sleep_for(duration);
}

// Relative folders in the XDG variables are to be ignored, as the XDG base
// directory rules say, so a game started elsewhere never reads them.
std::vector<std::string> platformDataFolders() {
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
