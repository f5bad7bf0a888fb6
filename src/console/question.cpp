// The question convention: prompt, then one word from standard input.
#include "console/question.h"

#include <cerrno>
#include <cstring>
#include <iostream>

#include "console/console.h"
#include "console/input_journal.h"

bool quitRequested = false;

namespace {
bool ended = false;
bool writeFailed = false;

// A reader that went away (EPIPE) ends the game quietly, as the end of input
// does; any other failure to write is the player's business: output is lost.
void reportOutputFailure() {
    const int error = outputError();
    if (!writeFailed && !std::cout && error != 0 && error != EPIPE) {
        writeFailed = true;
        std::cerr << "brawlarium: cannot write the output: " << std::strerror(error) << std::endl;
    }
}
}  // namespace

bool ask(std::string_view prompt, std::string& answer) {
    if (ended) {
        answer.clear();
        return false;
    }
    InputJournal* const journal = inputJournal();
    const auto source = journal != nullptr ? journal->answerSource(answer) : InputJournal::Source::Player;
    std::cout << prompt;
    if (source == InputJournal::Source::Record) {
        journal->answerReplayed(answer);
        return true;
    }
    if (source == InputJournal::Source::Player && std::cout && std::cin >> answer && std::cout) {
        if (journal != nullptr) {
            journal->answered(answer);
        }
        return true;
    }
    // No word will ever come (or nothing can be shown any more): finish the
    // prompt's line and let every loop of the game run down to shut-down.
    answer.clear();
    std::cout << std::endl;
    ended = true;
    quitRequested = true;
    reportOutputFailure();
    return false;
}

bool inputEnded() { return ended; }

bool outputFailed() {
    flushScreen();
    reportOutputFailure();
    return writeFailed;
}

void resetInputState() {
    ended = false;
    writeFailed = false;
}
