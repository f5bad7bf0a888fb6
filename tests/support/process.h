// Running the built game as a separate process for end-to-end tests: once
// with a fixed standard input over pipes, or as an interactive session over
// pipes or in a pseudo-terminal. Every wait is bounded; a game that hangs is
// killed and reported instead of hanging the test.
#pragma once

#include <sys/types.h>
#include <termios.h>

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/game_data.h"

namespace e2e {

using std::chrono::milliseconds;

// Paths baked in by the build. The game is the native one, or the Node
// runner of the WebAssembly build (a .js file, run with node, or a command
// that starts Node itself, as the npm package installs) when
// BRAWLARIUM_E2E_GAME names it.
std::string gameBinary();
std::string nativeGameBinary();
// The WebAssembly build's Node runner; empty when this build has none.
std::string webRunner();
std::string sampleDataDirectory();
std::string pauseShimLibrary();

// A fresh directory under the system's temporary directory, removed with
// everything in it when the object goes away.
class TempDirectory {
public:
    TempDirectory();
    ~TempDirectory();
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    const std::string& path() const { return root; }
    std::string file(const std::string& name) const { return root + "/" + name; }
    void write(const std::string& name, std::string_view contents) const;

private:
    std::string root;
};

std::string readFile(const std::string& path);

// How the game ended.
struct Outcome {
    bool exited = false;  // ended by exit; exitCode is valid
    int exitCode = -1;
    int signal = 0;         // ended by this signal
    bool timedOut = false;  // still running at the deadline, then killed
    std::string describe() const;
};

struct LaunchOptions {
    // The game's working directory, where it finds its data files: by
    // default the tests' own price lists (support/game_data.h).
    std::string workingDirectory = testDataDirectory();
    // The game sees only these variables, PATH and the sanitizer options of
    // the test's own environment: nothing of the caller's terminal settings
    // (NO_COLOR, TERM) leaks in.
    std::map<std::string, std::string> environment;
    // Shortens the pauses between fight rounds to this many milliseconds
    // through a preloaded library, and logs each requested pause (in
    // milliseconds, one per line) to pauseLog when that is not empty.
    std::optional<int> pauseMilliseconds;
    std::string pauseLog;
    // Given to the game after its name (not with shellCommand).
    std::vector<std::string> arguments;
    // This game instead of gameBinary(): a native binary or a Node runner.
    std::string game;
    // A native game draws its random numbers as the WebAssembly build's C
    // library (musl) does, through a preloaded library.
    bool muslRandom = false;
    // When set, /bin/sh runs this command line instead of the game, with the
    // game's path in $GAME (for pipelines such as `"$GAME" | head -n 5`).
    std::string shellCommand;
};

struct PipedOptions : LaunchOptions {
    std::string input;
    // Feed `input` again and again for as long as the game reads it.
    bool repeatInput = false;
    // Standard output goes to /dev/full instead of a pipe.
    bool outputToFullDevice = false;
    // Close the reading end of the output pipe after this many lines, as
    // `head -n N` does. 0: read everything.
    int closeOutputAfterLines = 0;
    // The game starts with SIGPIPE ignored, as under some launchers.
    bool sigpipeIgnored = false;
    milliseconds timeout{20000};
};

struct PipedRun {
    std::string out;
    std::string err;
    Outcome outcome;
    milliseconds elapsed{0};
};

// Runs the game once in a new session of its own, with no controlling
// terminal (so every key wait ends at once), standard input from `input`.
PipedRun runPiped(const PipedOptions& options);

// A running game that a test talks to step by step.
class Session {
public:
    // In a pseudo-terminal (80x24, the line discipline's default mode); the
    // terminal is the game's controlling terminal and all three standard
    // streams. TERM defaults to xterm.
    static std::unique_ptr<Session> inTerminal(const LaunchOptions& options);
    // Over pipes, detached from any terminal, standard error kept apart.
    static std::unique_ptr<Session> overPipes(const LaunchOptions& options);

    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    pid_t pid() const { return child; }
    bool isTerminal() const { return terminal; }

    void send(std::string_view bytes);
    void signal(int signalNumber) const;

    // Reads until `marker` appears after the cursor; returns the text from
    // the cursor up to and including the marker and moves the cursor past
    // it. Nothing (and the cursor stays) when the output ended or the time
    // ran out first.
    std::optional<std::string> waitFor(std::string_view marker, milliseconds timeout = milliseconds{15000});
    // True when no output at all arrives for this long.
    bool staysQuiet(milliseconds duration);

    // Everything written so far (standard output, and in a terminal
    // standard error too), with nothing translated.
    const std::string& output() const { return written; }
    const std::string& errorOutput() const { return writtenToError; }
    std::size_t cursor() const { return readPosition; }
    // The last bytes read, for failure messages.
    std::string tail(std::size_t count = 600) const;

    // The terminal's current mode (terminal sessions only).
    termios mode() const;
    // The mode the terminal had before the game started.
    const termios& initialMode() const { return startMode; }
    // Sets the terminal's mode from outside, as a shell does while the game
    // is stopped.
    void setMode(const termios& newMode) const;
    // Waits until the terminal's mode has canonical input switched off
    // (when `on` is false) or on.
    bool waitForCanonical(bool on, milliseconds timeout = milliseconds{15000});

    // Processor time used so far, in clock ticks.
    long cpuTicks() const;

    // Reads the rest of the output and waits for the game to end; kills it
    // at the deadline.
    Outcome finish(milliseconds timeout = milliseconds{15000});

private:
    Session() = default;
    // Reads what is available within the deadline; false once the output
    // has ended.
    bool pump(std::chrono::steady_clock::time_point deadline);

    pid_t child = -1;
    bool terminal = false;
    int inputFd = -1;
    int outputFd = -1;
    int errorFd = -1;
    bool outputEnded = false;
    std::optional<Outcome> ended;
    std::string written;
    std::string writtenToError;
    std::size_t readPosition = 0;
    termios startMode{};
};

// Whether two terminal modes agree on everything the game may touch.
bool sameMode(const termios& a, const termios& b, std::string* difference = nullptr);

// The text with every "\r\n" a terminal writes for a line end read back as "\n".
std::string withPlainLineEnds(std::string_view text);

}  // namespace e2e
