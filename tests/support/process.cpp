// Child processes for the end-to-end tests: fork and exec over pipes or in a
// pseudo-terminal, with every read and wait bounded by a deadline.
#include "support/process.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <vector>

namespace e2e {

namespace {

using Clock = std::chrono::steady_clock;

// Variables of the test's own environment that the game may see: where
// programs are, and how the sanitizers of an instrumented build behave.
constexpr const char* PassedThrough[] = {"PATH", "ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"};

// A write to a game that has already ended must fail with EPIPE instead of
// killing the test.
void ignoreSigpipeInTests() {
    static const bool done = [] {
        std::signal(SIGPIPE, SIG_IGN);
        return true;
    }();
    (void)done;
}

int remainingMilliseconds(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now()).count();
    return left < 0 ? 0 : static_cast<int>(left);
}

void closeFd(int& fd) {
    if (fd >= 0) {
        close(fd);
        fd = -1;
    }
}

void makePipe(int fds[2]) {
    if (pipe2(fds, O_CLOEXEC) != 0) {
        throw std::runtime_error(std::string("pipe2: ") + std::strerror(errno));
    }
}

// A command that starts Node itself, as the npm package's `brawlarium` does.
bool isNodeCommand(const std::string& game) {
    std::ifstream file(game);
    std::string firstLine;
    return std::getline(file, firstLine) && firstLine == "#!/usr/bin/env node";
}

// The Node runner: run with node, or a command that starts Node itself.
bool isNodeRunner(const std::string& game) {
    return (game.size() > 3 && game.compare(game.size() - 3, 3, ".js") == 0) || isNodeCommand(game);
}

// A shell script that starts the Node runner, for command lines that name
// the game as "$GAME"; made once per test program.
std::string nodeRunnerScript(const std::string& runner, bool pauseShim) {
    static const TempDirectory scripts;
    const std::string name = pauseShim ? "brawlarium-short-pauses" : "brawlarium";
    std::string path = scripts.file(name);
    if (!std::filesystem::exists(path)) {
        scripts.write(name, "#!/bin/sh\nexec node " +
                                std::string(pauseShim ? "--require '" BRAWLARIUM_NODE_PAUSE_SHIM "' " : "") +
                                "'" + runner + "' \"$@\"\n");
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    }
    return path;
}

// Everything execve needs, prepared before fork so that the child only makes
// async-signal-safe calls.
class ExecPlan {
public:
    ExecPlan(const LaunchOptions& options, bool terminal)
        : binary(options.game.empty() ? gameBinary() : options.game), directory(options.workingDirectory) {
        std::map<std::string, std::string> variables = environmentFor(options, terminal);
        if (!options.shellCommand.empty()) {
            variables["GAME"] = isNodeRunner(binary) && !isNodeCommand(binary)
                                    ? nodeRunnerScript(binary, options.pauseMilliseconds.has_value())
                                    : binary;
            program = "/bin/sh";
            arguments = {program, "-c", options.shellCommand};
        } else {
            arguments = commandFor(options);
            program = arguments.front();
        }
        for (const auto& [name, value] : variables) {
            entries.push_back(entry(name, value));
        }
        for (std::string& entry : entries) {
            envp.push_back(entry.data());
        }
        envp.push_back(nullptr);
        for (std::string& argument : arguments) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
    }

    // In the child, after the standard streams are in place.
    [[noreturn]] void exec(bool sigpipeIgnored) {
        struct sigaction standard {};
        standard.sa_handler = SIG_DFL;
        sigemptyset(&standard.sa_mask);
        for (int number : {SIGPIPE, SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGCHLD, SIGTSTP, SIGTTIN, SIGTTOU}) {
            sigaction(number, &standard, nullptr);
        }
        if (sigpipeIgnored) {
            struct sigaction ignore = standard;
            ignore.sa_handler = SIG_IGN;
            sigaction(SIGPIPE, &ignore, nullptr);
        }
        // A game that dies of SIGQUIT leaves no core file behind in the tests.
        const rlimit noCore{0, 0};
        setrlimit(RLIMIT_CORE, &noCore);
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        if (chdir(directory.c_str()) != 0) {
            _exit(126);
        }
        execve(program.c_str(), argv.data(), envp.data());
        _exit(127);
    }

private:
    // The game's environment: the variables passed through, the terminal's
    // name, the preloaded libraries and the pause shim's settings, then the
    // test's own.
    std::map<std::string, std::string> environmentFor(const LaunchOptions& options, bool terminal) const {
        std::map<std::string, std::string> variables;
        for (const char* name : PassedThrough) {
            if (const char* value = std::getenv(name)) {
                variables[name] = value;
            }
        }
        if (variables.count("PATH") == 0) {
            variables["PATH"] = "/usr/bin:/bin";
        }
        if (terminal) {
            variables["TERM"] = "xterm";
        }
        if (options.pauseMilliseconds) {
            if (isNodeCommand(binary)) {
                variables["NODE_OPTIONS"] = "--require " BRAWLARIUM_NODE_PAUSE_SHIM;
            }
            variables["PAUSE_SHIM_MS"] = std::to_string(*options.pauseMilliseconds);
            if (!options.pauseLog.empty()) {
                variables["PAUSE_SHIM_LOG"] = options.pauseLog;
            }
        }
        const std::string preload = preloadsFor(options);
        if (!preload.empty()) {
            variables["LD_PRELOAD"] = preload;
            // An instrumented game wants its sanitizer runtime loaded first;
            // the libraries only replace the sleep and random calls, so that
            // order does not matter here.
            std::string& asan = variables["ASAN_OPTIONS"];
            asan += asan.empty() ? "verify_asan_link_order=0" : ":verify_asan_link_order=0";
        }
        for (const auto& [name, value] : options.environment) {
            variables[name] = value;
        }
        return variables;
    }

    // The libraries preloaded into a native game, separated by colons.
    std::string preloadsFor(const LaunchOptions& options) const {
        std::string preload;
        if (isNodeRunner(binary)) {
            return preload;
        }
        if (options.muslRandom) {
            preload = BRAWLARIUM_MUSL_RAND;
        }
        if (options.pauseMilliseconds) {
            preload += (preload.empty() ? "" : ":") + pauseShimLibrary();
        }
        return preload;
    }

    // The game's command line: a memory checker, when BRAWLARIUM_E2E_WRAPPER
    // holds its absolute path and options separated by blanks, runs a native
    // game; Node from PATH runs the Node runner, with its pause shim.
    std::vector<std::string> commandFor(const LaunchOptions& options) const {
        std::vector<std::string> command;
        if (isNodeCommand(binary)) {
            // Started as it is, with the pause shim in NODE_OPTIONS.
        } else if (isNodeRunner(binary)) {
            command = {"/usr/bin/env", "node"};
            if (options.pauseMilliseconds) {
                command.insert(command.end(), {"--require", BRAWLARIUM_NODE_PAUSE_SHIM});
            }
        } else {
            const char* wrapperCommand = std::getenv("BRAWLARIUM_E2E_WRAPPER");
            std::istringstream wrapper(wrapperCommand != nullptr ? wrapperCommand : "");
            for (std::string word; wrapper >> word;) {
                command.push_back(word);
            }
        }
        command.push_back(binary);
        command.insert(command.end(), options.arguments.begin(), options.arguments.end());
        return command;
    }

    // One "NAME=value" line of the environment.
    static std::string entry(const std::string& name, const std::string& value) {
        std::string line = name;
        line += '=';
        line += value;
        return line;
    }

    std::string binary;
    std::string directory;
    std::string program;
    std::vector<std::string> arguments;
    std::vector<std::string> entries;
    std::vector<char*> envp;
    std::vector<char*> argv;
};

Outcome outcomeOf(int status) {
    Outcome outcome;
    if (WIFEXITED(status)) {
        outcome.exited = true;
        outcome.exitCode = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        outcome.signal = WTERMSIG(status);
    }
    return outcome;
}

// The child leads a session and process group of its own; whatever it
// started (in a shell pipeline) goes with it.
void killAll(pid_t child) {
    kill(-child, SIGKILL);
    kill(child, SIGKILL);
}

// Waits for the child until the deadline, then kills it.
Outcome reap(pid_t child, Clock::time_point deadline) {
    int status = 0;
    for (;;) {
        const pid_t got = waitpid(child, &status, WNOHANG);
        if (got == child) {
            return outcomeOf(status);
        }
        if (got < 0 && errno != EINTR) {
            Outcome lost;
            lost.timedOut = true;
            return lost;
        }
        if (Clock::now() >= deadline) {
            killAll(child);
            while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
            }
            Outcome outcome;
            outcome.timedOut = true;
            return outcome;
        }
        std::this_thread::sleep_for(milliseconds{2});
    }
}

// Reads what one descriptor has; false at its end (or on an error).
bool readAvailable(int fd, std::string& into) {
    char buffer[8192];
    for (;;) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got > 0) {
            into.append(buffer, static_cast<std::size_t>(got));
            return true;
        }
        if (got < 0 && errno == EINTR) {
            continue;
        }
        // 0 at the end of a pipe; EIO from a terminal whose other side is
        // closed for good.
        return false;
    }
}

// The child's end of each standard stream (read from `in`, written to `out`
// and `err`) and the test's end of each, in pipe order.
struct Pipes {
    int in[2] = {-1, -1};
    int out[2] = {-1, -1};
    int err[2] = {-1, -1};
};

// Starts the game in a new session of its own with the child's ends as its
// standard streams, and closes them in the test.
pid_t forkOverPipes(ExecPlan& plan, const Pipes& pipes, bool sigpipeIgnored) {
    const pid_t child = fork();
    if (child < 0) {
        throw std::runtime_error(std::string("fork: ") + std::strerror(errno));
    }
    if (child == 0) {
        setsid();
        dup2(pipes.in[0], STDIN_FILENO);
        dup2(pipes.out[1], STDOUT_FILENO);
        dup2(pipes.err[1], STDERR_FILENO);
        plan.exec(sigpipeIgnored);
    }
    close(pipes.in[0]);
    close(pipes.out[1]);
    close(pipes.err[1]);
    return child;
}

// The pipes of a piped run; standard output goes to /dev/full instead when
// the options ask for it.
Pipes pipesFor(const PipedOptions& options) {
    Pipes pipes;
    makePipe(pipes.in);
    makePipe(pipes.err);
    if (options.outputToFullDevice) {
        pipes.out[1] = open("/dev/full", O_WRONLY | O_CLOEXEC);
        if (pipes.out[1] < 0) {
            throw std::runtime_error("cannot open /dev/full");
        }
    } else {
        makePipe(pipes.out);
    }
    return pipes;
}

std::size_t lineCount(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

// The test's side of a piped run: feeds the input, collects both outputs,
// and closes each stream once it is done with.
class PipedExchange {
public:
    PipedExchange(const PipedOptions& options, const Pipes& pipes, PipedRun& run)
        : options(options), run(run), inputFd(pipes.in[1]), outputFd(pipes.out[0]), errorFd(pipes.err[0]) {
        fcntl(inputFd, F_SETFL, O_NONBLOCK);
        if (options.input.empty()) {
            closeInput();
        }
    }
    ~PipedExchange() { closeAll(); }
    PipedExchange(const PipedExchange&) = delete;
    PipedExchange& operator=(const PipedExchange&) = delete;

    bool outputOpen() const { return outputFd >= 0 || errorFd >= 0; }
    void closeInput() { closeFd(inputFd); }
    void closeAll() {
        closeFd(inputFd);
        closeFd(outputFd);
        closeFd(errorFd);
    }

    // One short wait for whichever stream is ready, and its turn.
    void step(Clock::time_point deadline) {
        pollfd waiting[3];
        nfds_t count = 0;
        if (outputFd >= 0) {
            waiting[count++] = {outputFd, POLLIN, 0};
        }
        if (errorFd >= 0) {
            waiting[count++] = {errorFd, POLLIN, 0};
        }
        if (inputFd >= 0) {
            waiting[count++] = {inputFd, POLLOUT, 0};
        }
        // Short waits: the child's end is noticed by the caller's waitpid,
        // even if something else still held its pipes.
        poll(waiting, count, std::min(remainingMilliseconds(deadline), 20));
        for (nfds_t i = 0; i < count; ++i) {
            const pollfd& ready = waiting[i];
            if (ready.revents == 0) {
                continue;
            }
            if (ready.fd == outputFd) {
                readOutput();
            } else if (ready.fd == errorFd) {
                readError();
            } else if (ready.fd == inputFd) {
                feedInput();
            }
        }
    }

private:
    void readOutput() {
        if (!readAvailable(outputFd, run.out)) {
            closeFd(outputFd);
            return;
        }
        // As `head -n N` does: stop reading after enough lines.
        const int wanted = options.closeOutputAfterLines;
        if (wanted > 0 && lineCount(run.out) >= static_cast<std::size_t>(wanted)) {
            closeFd(outputFd);
        }
    }

    void readError() {
        if (!readAvailable(errorFd, run.err)) {
            closeFd(errorFd);
        }
    }

    void feedInput() {
        const std::string& input = options.input;
        const ssize_t wrote = write(inputFd, input.data() + fed, input.size() - fed);
        if (wrote < 0) {
            if (errno != EAGAIN && errno != EINTR) {
                closeInput();  // the game no longer reads
            }
            return;
        }
        fed += static_cast<std::size_t>(wrote);
        if (wrote == 0 || fed < input.size()) {
            return;
        }
        if (options.repeatInput) {
            fed = 0;
        } else {
            closeInput();
        }
    }

    const PipedOptions& options;
    PipedRun& run;
    int inputFd;
    int outputFd;
    int errorFd;
    std::size_t fed = 0;
};

// How the child ended, when it has.
std::optional<Outcome> endedNow(pid_t child) {
    int status = 0;
    if (waitpid(child, &status, WNOHANG) == child) {
        return outcomeOf(status);
    }
    return std::nullopt;
}

}  // namespace

std::string gameBinary() {
    const char* chosen = std::getenv("BRAWLARIUM_E2E_GAME");
    return chosen != nullptr && chosen[0] != '\0' ? chosen : BRAWLARIUM_GAME_BINARY;
}
std::string nativeGameBinary() { return BRAWLARIUM_GAME_BINARY; }
std::string webRunner() { return BRAWLARIUM_WEB_RUNNER; }
std::string sampleDataDirectory() { return BRAWLARIUM_DATA_DIR; }
std::string pauseShimLibrary() { return BRAWLARIUM_PAUSE_SHIM; }

TempDirectory::TempDirectory() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern =
        std::string(base != nullptr && base[0] != '\0' ? base : "/tmp") + "/brawlarium-e2e-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error(std::string("mkdtemp: ") + std::strerror(errno));
    }
    root = pattern;
}

TempDirectory::~TempDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
}

void TempDirectory::write(const std::string& name, std::string_view contents) const {
    std::ofstream file(this->file(name), std::ios::binary);
    file.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    if (!file) {
        throw std::runtime_error("cannot write " + this->file(name));
    }
}

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

std::string Outcome::describe() const {
    if (timedOut) {
        return "still running at the deadline (killed)";
    }
    if (exited) {
        return "exit code " + std::to_string(exitCode);
    }
    return "killed by signal " + std::to_string(signal) + " (" + strsignal(signal) + ")";
}

PipedRun runPiped(const PipedOptions& options) {
    ignoreSigpipeInTests();
    ExecPlan plan(options, false);
    const Pipes pipes = pipesFor(options);
    const auto start = Clock::now();
    const pid_t child = forkOverPipes(plan, pipes, options.sigpipeIgnored);

    const auto deadline = start + options.timeout;
    PipedRun run;
    PipedExchange exchange(options, pipes, run);
    std::optional<Outcome> outcome;
    while ((!outcome || exchange.outputOpen()) && Clock::now() < deadline) {
        exchange.step(deadline);
        if (!outcome) {
            outcome = endedNow(child);
            if (outcome) {
                exchange.closeInput();
            }
        }
    }
    exchange.closeAll();
    run.outcome = outcome ? *outcome : reap(child, Clock::now());
    run.elapsed = std::chrono::duration_cast<milliseconds>(Clock::now() - start);
    return run;
}

std::unique_ptr<Session> Session::inTerminal(const LaunchOptions& options) {
    ignoreSigpipeInTests();
    ExecPlan plan(options, true);
    std::unique_ptr<Session> session(new Session);
    winsize size{};
    size.ws_row = 24;
    size.ws_col = 80;
    int master = -1;
    const pid_t child = forkpty(&master, nullptr, nullptr, &size);
    if (child < 0) {
        throw std::runtime_error(std::string("forkpty: ") + std::strerror(errno));
    }
    if (child == 0) {
        plan.exec(false);
    }
    fcntl(master, F_SETFD, FD_CLOEXEC);
    session->child = child;
    session->terminal = true;
    session->inputFd = master;
    session->outputFd = master;
    // The master and the slave share one mode: this is the game's terminal.
    tcgetattr(master, &session->startMode);
    return session;
}

std::unique_ptr<Session> Session::overPipes(const LaunchOptions& options) {
    ignoreSigpipeInTests();
    ExecPlan plan(options, false);
    Pipes pipes;
    makePipe(pipes.in);
    makePipe(pipes.out);
    makePipe(pipes.err);
    const pid_t child = forkOverPipes(plan, pipes, false);
    std::unique_ptr<Session> session(new Session);
    session->child = child;
    session->inputFd = pipes.in[1];
    session->outputFd = pipes.out[0];
    session->errorFd = pipes.err[0];
    return session;
}

Session::~Session() {
    if (!ended && child > 0) {
        killAll(child);
        reap(child, Clock::now() + milliseconds{5000});
    }
    if (inputFd != outputFd) {
        closeFd(inputFd);
    }
    closeFd(outputFd);
    closeFd(errorFd);
}

void Session::send(std::string_view bytes) {
    const auto deadline = Clock::now() + milliseconds{5000};
    while (!bytes.empty() && inputFd >= 0) {
        const ssize_t wrote = write(inputFd, bytes.data(), bytes.size());
        if (wrote > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(wrote));
            continue;
        }
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote < 0 && errno == EAGAIN && Clock::now() < deadline) {
            pump(Clock::now() + milliseconds{5});
            continue;
        }
        return;  // the game is gone
    }
}

void Session::signal(int signalNumber) const { kill(child, signalNumber); }

bool Session::pump(Clock::time_point deadline) {
    if (outputEnded && errorFd < 0) {
        return false;
    }
    pollfd waiting[2];
    nfds_t count = 0;
    if (!outputEnded) {
        waiting[count++] = {outputFd, POLLIN, 0};
    }
    if (errorFd >= 0) {
        waiting[count++] = {errorFd, POLLIN, 0};
    }
    const int ready = poll(waiting, count, remainingMilliseconds(deadline));
    if (ready <= 0) {
        return true;
    }
    for (nfds_t i = 0; i < count; ++i) {
        if (waiting[i].revents == 0) {
            continue;
        }
        if (waiting[i].fd == errorFd) {
            if (!readAvailable(errorFd, writtenToError)) {
                closeFd(errorFd);
            }
        } else if (!readAvailable(outputFd, written)) {
            outputEnded = true;
        }
    }
    return !(outputEnded && errorFd < 0);
}

std::optional<std::string> Session::waitFor(std::string_view marker, milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        const std::size_t found = written.find(marker, readPosition);
        if (found != std::string::npos) {
            const std::size_t end = found + marker.size();
            std::string text = written.substr(readPosition, end - readPosition);
            readPosition = end;
            return text;
        }
        if (Clock::now() >= deadline || !pump(deadline)) {
            // One last look: the marker may have come with the last read.
            if (written.find(marker, readPosition) == std::string::npos) {
                return std::nullopt;
            }
        }
    }
}

bool Session::staysQuiet(milliseconds duration) {
    const std::size_t before = written.size() + writtenToError.size();
    const auto deadline = Clock::now() + duration;
    while (Clock::now() < deadline && pump(deadline)) {
    }
    return written.size() + writtenToError.size() == before;
}

std::string Session::tail(std::size_t count) const {
    return written.size() <= count ? written : written.substr(written.size() - count);
}

termios Session::mode() const {
    termios current{};
    tcgetattr(outputFd, &current);
    return current;
}

void Session::setMode(const termios& newMode) const { tcsetattr(outputFd, TCSANOW, &newMode); }

bool Session::waitForCanonical(bool on, milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        const bool canonical = (mode().c_lflag & ICANON) != 0;
        if (canonical == on) {
            return true;
        }
        if (Clock::now() >= deadline) {
            return false;
        }
        pump(std::min(deadline, Clock::now() + milliseconds{1}));
    }
}

long Session::cpuTicks() const {
    const std::string stat = readFile("/proc/" + std::to_string(child) + "/stat");
    // The fields after the command name, which is in parentheses and may
    // contain anything: state is field 3, utime 14 and stime 15.
    const std::size_t close = stat.rfind(')');
    if (close == std::string::npos) {
        return -1;
    }
    std::istringstream fields(stat.substr(close + 2));
    std::string field;
    long ticks = 0;
    for (int number = 3; number <= 15 && fields >> field; ++number) {
        if (number == 14 || number == 15) {
            ticks += std::stol(field);
        }
    }
    return ticks;
}

Outcome Session::finish(milliseconds timeout) {
    if (ended) {
        return *ended;
    }
    const auto deadline = Clock::now() + timeout;
    while (Clock::now() < deadline && pump(deadline)) {
    }
    ended = reap(child, deadline);
    // A terminal keeps what the game wrote last until it is read.
    if (!ended->timedOut) {
        while (pump(Clock::now() + milliseconds{50})) {
            if (Clock::now() >= deadline + milliseconds{1000}) {
                break;
            }
        }
    }
    return *ended;
}

bool sameMode(const termios& a, const termios& b, std::string* difference) {
    std::ostringstream why;
    auto compare = [&why](const char* what, unsigned long left, unsigned long right) {
        if (left != right) {
            why << what << ": " << std::hex << left << " vs " << right << std::dec << "; ";
        }
    };
    compare("c_iflag", a.c_iflag, b.c_iflag);
    compare("c_oflag", a.c_oflag, b.c_oflag);
    compare("c_cflag", a.c_cflag, b.c_cflag);
    compare("c_lflag", a.c_lflag, b.c_lflag);
    for (int i = 0; i < NCCS; ++i) {
        const std::string name = "c_cc[" + std::to_string(i) + "]";
        compare(name.c_str(), a.c_cc[i], b.c_cc[i]);
    }
    compare("input speed", cfgetispeed(&a), cfgetispeed(&b));
    compare("output speed", cfgetospeed(&a), cfgetospeed(&b));
    if (difference != nullptr) {
        *difference = why.str();
    }
    return why.str().empty();
}

std::string withPlainLineEnds(std::string_view text) {
    std::string plain;
    plain.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;
        }
        plain.push_back(text[i]);
    }
    return plain;
}

}  // namespace e2e
