// The parts of the console layer that are the same on every platform:
// clearing the screen, standard output that remembers why it failed, and the
// switch between the real blocking operations and the replacements that
// tests and fuzzers install.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <streambuf>
#include <string_view>

#include "console/console.h"
#include "console/console_platform.h"
#include "console/input_journal.h"

namespace {
KeyWaitHandler keyWaitHandler = nullptr;
PauseHandler pauseHandler = nullptr;
InputJournal* journal = nullptr;

// std::cout through the C library's stdout, byte for byte and flush for flush
// as before, but keeping the system's reason for the first write that failed:
// stdout itself only keeps that something did.
class RecordingOutput : public std::streambuf {
public:
    int error() const { return firstError; }
    void forget() { firstError = 0; }

protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) {
            return traits_type::not_eof(c);
        }
        if (std::fputc(c, stdout) == EOF) {
            record();
            return traits_type::eof();
        }
        return c;
    }
    std::streamsize xsputn(const char* text, std::streamsize count) override {
        const std::size_t wrote = std::fwrite(text, 1, static_cast<std::size_t>(count), stdout);
        if (wrote < static_cast<std::size_t>(count)) {
            record();
        }
        return static_cast<std::streamsize>(wrote);
    }
    int sync() override {
        if (std::fflush(stdout) != 0) {
            record();
            return -1;
        }
        return 0;
    }

private:
    void record() {
        if (firstError == 0) {
            firstError = errno;
        }
    }

    int firstError = 0;
};

// The buffer std::cout starts with. Only that one is replaced: tests that
// capture std::cout keep theirs.
std::streambuf* const standardOutputBuffer = [] {
    const std::ios_base::Init streamsReady;
    return std::cout.rdbuf();
}();
RecordingOutput recordingOutput;

// The buffer std::cin starts with. Only that one is replaced: tests and
// fuzzers that feed std::cin from a string keep theirs.
std::streambuf* const standardInputBuffer = [] {
    const std::ios_base::Init streamsReady;
    return std::cin.rdbuf();
}();
}  // namespace

void recordOutputErrors() {
    if (std::cout.rdbuf() == standardOutputBuffer) {
        recordingOutput.forget();
        std::cout.rdbuf(&recordingOutput);
    }
}

void stopRecordingOutputErrors() {
    if (std::cout.rdbuf() == &recordingOutput) {
        std::cout.flush();
        std::cout.rdbuf(standardOutputBuffer);
    }
}

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

int outputError() { return std::cout.rdbuf() == &recordingOutput ? recordingOutput.error() : 0; }

void clearScreen() {
    // Scrolling rather than erasing: the console's history keeps everything.
    for (int line = 0; line < ClearLineEnds; ++line) {
        std::cout << std::endl;
    }
}

void waitForKey() {
    // The message that announces the wait may have no line end of its own;
    // it must be on screen before the game blocks.
    std::cout.flush();
    if (journal != nullptr && journal->keySource() != InputJournal::Source::Player) {
        return;
    }
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
    std::cout.flush();
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
