// The console on Linux, macOS and other POSIX terminals: the title and the
// colours as escape sequences on standard output, the key wait read from the
// controlling terminal in non-canonical mode, and a terminal that is handed
// back as it was found on every way out, signals included, and while the
// game is stopped by job control.
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/select.h>
#include <termios.h>
#include <unistd.h>
#if defined(__APPLE__)
#include <mach-o/dyld.h>
#endif

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <streambuf>
#include <string_view>

#include "console/console.h"
#include "console/console_platform.h"

namespace {

constexpr const char* SaveTitle = "\x1b[22;0t";
constexpr const char* RestoreTitle = "\x1b[23;0t";
// Once the first byte of a key has arrived, the rest of its escape sequence
// follows within this time.
constexpr int SequenceGapMilliseconds = 30;

// The controlling terminal, opened on the first key wait; -1 when there is
// none.
int terminalFd = -1;
bool terminalOpened = false;

// The mode to restore while the key-wait mode is in force, and the key-wait
// mode itself. Read by the signal handlers, so kept in plain storage.
struct termios savedMode;
struct termios keyMode;
volatile std::sig_atomic_t modeChanged = 0;
volatile std::sig_atomic_t escapesForSignal = 0;
// Set while the game is stopped: the title and the colour have been given
// back and are taken again when it continues.
volatile std::sig_atomic_t handedBackForStop = 0;

void restoreAndRaise(int signalNumber);
void stopAndContinue(int signalNumber);
void continueAfterStop(int signalNumber);

// Signals that end the game (their default action is kept: it dies of them,
// SIGQUIT with the system's core dump), and the two of job control.
struct HandledSignal {
    int number;
    void (*handler)(int);
};
constexpr HandledSignal HandledSignals[] = {
    {SIGINT, restoreAndRaise},  {SIGTERM, restoreAndRaise}, {SIGHUP, restoreAndRaise},
    {SIGQUIT, restoreAndRaise}, {SIGTSTP, stopAndContinue}, {SIGCONT, continueAfterStop},
};
constexpr std::size_t HandledCount = sizeof HandledSignals / sizeof HandledSignals[0];
struct sigaction previousActions[HandledCount];
bool handlerInstalled[HandledCount] = {};

// Writes the whole text; returns 0 or the error number of the write that
// failed. Async-signal-safe.
int writeAll(int fd, const char* text, std::size_t size) {
    while (size > 0) {
        const ssize_t written = write(fd, text, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return written < 0 ? errno : EIO;
        }
        text += written;
        size -= static_cast<std::size_t>(written);
    }
    return 0;
}

void writeAll(int fd, const char* text) { writeAll(fd, text, std::strlen(text)); }

// The signal handlers below make only async-signal-safe calls.

// What the game has written and not yet handed over, before the terminal is
// given back. A reader that has gone must not turn the signal into SIGPIPE:
// that one is ignored meanwhile.
void flushScreenQuietly() {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    struct sigaction previous {};
    sigaction(SIGPIPE, &ignore, &previous);
    flushScreenFromSignal();
    sigaction(SIGPIPE, &previous, nullptr);
}

// The terminal as the game found it: the screen written so far, its mode,
// the normal colour and the title. Skips the escapes when a stop has already
// written them.
void handBackTerminal() {
    const int savedErrno = errno;
    flushScreenQuietly();
    errno = savedErrno;
    if (modeChanged != 0) {
        tcsetattr(terminalFd, TCSANOW, &savedMode);
    }
    if (escapesForSignal != 0 && handedBackForStop == 0) {
        writeAll(STDOUT_FILENO, colourEscape(Normal));
        writeAll(STDOUT_FILENO, RestoreTitle);
    }
}

// Puts the terminal back, then dies of the same signal so the parent sees
// how the game ended.
void restoreAndRaise(int signalNumber) {
    handBackTerminal();
    signal(signalNumber, SIG_DFL);
    raise(signalNumber);
}

// After a stop, or a continue signal that came without one: the key mode
// again if a key wait or a pause is under way (the shell has put the
// terminal back in line mode meanwhile), and the title and the colour if a
// stop gave them back.
void takeTerminalAgain() {
    if (modeChanged != 0) {
        tcsetattr(terminalFd, TCSANOW, &keyMode);
    }
    if (handedBackForStop != 0) {
        handedBackForStop = 0;
        if (escapesForSignal != 0) {
            writeAll(STDOUT_FILENO, SaveTitle);
            writeAll(STDOUT_FILENO, "\x1b]0;");
            writeAll(STDOUT_FILENO, WindowTitle);
            writeAll(STDOUT_FILENO, "\a");
            if (colourOnScreen() != Normal) {
                writeAll(STDOUT_FILENO, colourEscape(colourOnScreen()));
            }
        }
    }
}

// Ctrl-Z: hands the terminal back and stops with the default action; once
// continued, takes the terminal again. A stop the system discards (the game's
// process group has no shell to continue it) goes straight on.
void stopAndContinue(int /*signalNumber*/) {
    const int savedErrno = errno;
    handBackTerminal();
    handedBackForStop = 1;
    struct sigaction standard {};
    standard.sa_handler = SIG_DFL;
    sigemptyset(&standard.sa_mask);
    struct sigaction ours {};
    sigaction(SIGTSTP, &standard, &ours);
    raise(SIGTSTP);  // pending while this handler blocks it
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGTSTP);
    sigprocmask(SIG_UNBLOCK, &stop, nullptr);  // stops here until continued
    sigaction(SIGTSTP, &ours, nullptr);
    takeTerminalAgain();
    errno = savedErrno;
}

void continueAfterStop(int /*signalNumber*/) {
    const int savedErrno = errno;
    takeTerminalAgain();
    errno = savedErrno;
}

void installSignalHandlers() {
    for (std::size_t i = 0; i < HandledCount; ++i) {
        struct sigaction action {};
        action.sa_handler = HandledSignals[i].handler;
        sigemptyset(&action.sa_mask);
        // No handler runs inside another: each sees the terminal settled.
        for (const HandledSignal& other : HandledSignals) {
            sigaddset(&action.sa_mask, other.number);
        }
        // Reads and writes go on after a stop; a pause's sleep and the wait
        // for an answer still return early, and look again themselves.
        action.sa_flags = SA_RESTART;
        sigaction(HandledSignals[i].number, &action, &previousActions[i]);
        handlerInstalled[i] = true;
        // A signal ignored from the start (Ctrl-C for a job started with `&`
        // by a shell without job control) stays ignored.
        if (previousActions[i].sa_handler == SIG_IGN) {
            sigaction(HandledSignals[i].number, &previousActions[i], nullptr);
            handlerInstalled[i] = false;
        }
    }
}

void removeSignalHandlers() {
    for (std::size_t i = 0; i < HandledCount; ++i) {
        if (handlerInstalled[i]) {
            sigaction(HandledSignals[i].number, &previousActions[i], nullptr);
            handlerInstalled[i] = false;
        }
    }
}

// Holds back the handled signals while the terminal's mode and the record
// of it change together, so a handler never sees one without the other.
class SignalsHeld {
public:
    SignalsHeld() {
        sigset_t held;
        sigemptyset(&held);
        for (const HandledSignal& handled : HandledSignals) {
            sigaddset(&held, handled.number);
        }
        sigprocmask(SIG_BLOCK, &held, &previous);
    }
    ~SignalsHeld() { sigprocmask(SIG_SETMASK, &previous, nullptr); }
    // The signal mask from before.
    const sigset_t& previousMask() const { return previous; }
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

private:
    sigset_t previous{};
};

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
        const SignalsHeld held;
        if (fd < 0 || tcgetattr(fd, &savedMode) != 0) {
            return;
        }
        keyMode = savedMode;
        keyMode.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
        keyMode.c_cc[VMIN] = 1;
        keyMode.c_cc[VTIME] = 0;
        // TCSANOW, not TCSAFLUSH: keys typed before the wait stay queued.
        if (tcsetattr(fd, TCSANOW, &keyMode) != 0) {
            return;
        }
        modeChanged = 1;
        active = true;
    }
    ~KeyMode() {
        if (active) {
            const SignalsHeld held;
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

// Whether another byte arrives within the gap between the bytes of one key.
bool moreFollows(int fd) {
    pollfd waiting{fd, POLLIN, 0};
    return poll(&waiting, 1, SequenceGapMilliseconds) > 0 && (waiting.revents & POLLIN) != 0;
}

// An arrow or function key sends a whole escape sequence: swallow the rest
// of it so that it counts as one key press.
void discardRestOfSequence(int fd) {
    char rest[32];
    while (moreFollows(fd)) {
        if (read(fd, rest, sizeof rest) <= 0) {
            return;
        }
    }
}

// How many bytes follow the first byte of a UTF-8 character; -1 for a byte
// that cannot start one.
int continuationBytesAfter(int lead) {
    if (lead >= 0xc2 && lead <= 0xdf) {
        return 1;
    }
    if (lead >= 0xe0 && lead <= 0xef) {
        return 2;
    }
    if (lead >= 0xf0 && lead <= 0xf4) {
        return 3;
    }
    return -1;
}

// A key that types a letter outside ASCII sends its UTF-8 character: read
// the whole of it, so that none of its bytes answers the next question. Keys
// typed after it stay queued. What is not a well-formed character is thrown
// away with everything that comes along with it.
void readRestOfCharacter(int fd, int lead) {
    const int expected = continuationBytesAfter(lead);
    for (int i = 0; i < expected; ++i) {
        if (!moreFollows(fd)) {
            return;
        }
        const int byte = readByte(fd);
        if (byte < 0) {
            return;
        }
        if ((byte & 0xc0) != 0x80) {
            break;
        }
        if (i + 1 == expected) {
            return;
        }
    }
    discardRestOfSequence(fd);
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

WatchfulInput watchfulInput;

}  // namespace

void openConsole() {
    recordOutputErrors();
    readAnswersThrough(watchfulInput);
    const bool escapesEnabled = chooseEscapes(isatty(STDOUT_FILENO) == 1);
    escapesForSignal = escapesEnabled ? 1 : 0;
    installSignalHandlers();
    if (escapesEnabled) {
        std::cout << SaveTitle << "\x1b]0;" << WindowTitle << "\a" << std::flush;
    }
}

void closeConsole() {
    if (consoleEscapesEnabled()) {
        std::cout << RestoreTitle;
    }
    // On screen while a signal would still give the terminal back.
    flushScreen();
    removeSignalHandlers();
    escapesForSignal = 0;
    forgetColourOnScreen();
    stopReadingAnswersThrough(watchfulInput);
    stopRecordingOutputErrors();
}

void setTextAttribute(TextAttribute attribute) { writeColourEscape(attribute); }

int platformWriteOutput(const char* text, std::size_t size) { return writeAll(STDOUT_FILENO, text, size); }

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
    } else if (key >= 0x80) {
        readRestOfCharacter(fd, key);
    }
}

void platformPause(std::chrono::milliseconds duration) {
    // Signals get in only while the game sleeps: a stop (Ctrl-Z) then always
    // ends the sleep, and the pause still ends where it would have, counted
    // from its start, instead of starting over after fg.
    const SignalsHeld held;
    const auto end = std::chrono::steady_clock::now() + duration;
    // Keys pressed meanwhile stay queued for the next key wait, unechoed.
    const KeyMode mode(controllingTerminal());
    std::chrono::nanoseconds left = duration;
    while (left.count() > 0) {
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left);
        timespec request{};
        request.tv_sec = static_cast<std::time_t>(seconds.count());
        request.tv_nsec = static_cast<long>((left - seconds).count());
        if (pselect(0, nullptr, nullptr, nullptr, &request, &held.previousMask()) == 0 || errno != EINTR) {
            return;
        }
        left = end - std::chrono::steady_clock::now();
    }
}

std::vector<std::string> platformDataFolders() { return xdgDataFolders(); }

bool outputIsTerminal() { return isatty(STDOUT_FILENO) == 1; }

// flock belongs to the open file, not to the process as fcntl's record locks
// do: the game's own writes to the file through another descriptor, and
// their closing, leave it in place. A file this user may only read is
// locked through a descriptor that reads it.
FileLock::FileLock(const std::string& path) {
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    }
    if (fd < 0) {
        return;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
        handle = fd;
        lockState = State::Held;
        return;
    }
    lockState = errno == EWOULDBLOCK ? State::HeldElsewhere : State::Unavailable;
    close(fd);
}

FileLock::~FileLock() {
    if (handle >= 0) {
        close(static_cast<int>(handle));
    }
}

namespace {

// The file's path with every link resolved; empty when it does not exist.
std::string realPath(const std::filesystem::path& file) {
    std::error_code error;
    const std::filesystem::path real = std::filesystem::canonical(file, error);
    return error ? std::string() : real.string();
}

// The program a shell would start for this argv[0]: the name itself when it
// holds a "/", otherwise the first executable file of that name in a folder
// of PATH (an empty entry stands for the working directory).
std::string programFromArgument(const char* argv0) {
    if (argv0 == nullptr || argv0[0] == '\0') {
        return "";
    }
    const std::string_view name(argv0);
    if (name.find('/') != std::string_view::npos) {
        return realPath(name);
    }
    const char* path = std::getenv("PATH");
    std::string_view rest = path != nullptr ? path : "";
    while (!rest.empty()) {
        const auto colon = rest.find(':');
        const std::string folder(rest.substr(0, colon));
        const std::filesystem::path candidate = std::filesystem::path(folder.empty() ? "." : folder) / name;
        std::error_code error;
        if (std::filesystem::is_regular_file(candidate, error) && access(candidate.c_str(), X_OK) == 0) {
            return realPath(candidate);
        }
        rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
    }
    return "";
}

// What the system says the running program is, or nothing where it does
// not say.
std::string programFromSystem() {
#if defined(__linux__)
    return realPath("/proc/self/exe");
#elif defined(__APPLE__)
    std::uint32_t size = 0;
    _NSGetExecutablePath(nullptr, &size);
    std::string path(size, '\0');
    if (_NSGetExecutablePath(path.data(), &size) != 0) {
        return "";
    }
    return realPath(path.c_str());
#else
    return "";
#endif
}

}  // namespace

std::string executablePath(const char* argv0) {
    const std::string program = programFromSystem();
    return program.empty() ? programFromArgument(argv0) : program;
}
