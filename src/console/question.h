// Asking the player a question: a prompt, then one whitespace-delimited word
// read from standard input. The end of standard input is noticed here once
// and ends the game quietly; standard output that can no longer be written
// ends it too, with a line on standard error unless its reader went away.
#pragma once

#include <string>
#include <string_view>

// Ends the main loop: set by the quit choice and by the end of standard input.
extern bool quitRequested;

// Writes the prompt (it stays on the answer's line) and reads one word into
// answer; with an input journal (input_journal.h), the word may come from
// its record instead, and a word read is handed to it. Returns false when
// standard input has ended (or output can no longer be written): then one
// line end is written, the game is asked to quit, and every later question
// returns false at once without writing anything.
bool ask(std::string_view prompt, std::string& answer);

// True once a question found standard input at its end.
bool inputEnded();

// True once standard output could not be written for a reason other than a
// reader that went away; the first time, one line on standard error says why
// (a question that finds the failure writes it too).
bool outputFailed();

// Forgets an earlier end of input; a new game in the same process starts here.
void resetInputState();

// Asks "Your Choice: " until the parser accepts an answer (a non-zero code),
// giving the parser its own copy of each word. The menu itself is written
// once by the caller, not again after an invalid answer. Returns 0 only when
// input has ended.
template <typename Parser>
int askChoice(std::string& answer, Parser parse) {
    int code = 0;
    while (code == 0 && ask("Your Choice: ", answer)) {
        code = parse(answer);
    }
    return code;
}
