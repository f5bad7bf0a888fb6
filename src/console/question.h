// Asking the player a question: a prompt, then one whitespace-delimited word
// read from standard input. The end of standard input is noticed here once
// and ends the game quietly.
#pragma once

#include <string>
#include <string_view>

// Writes the prompt (it stays on the answer's line) and reads one word into
// answer. Returns false when standard input has ended (or output can no
// longer be written): then one line end is written, the game is asked to quit,
// and every later question returns false at once without writing anything.
bool ask(std::string_view prompt, std::string& answer);

// True once a question found standard input at its end.
bool inputEnded();

// Forgets an earlier end of input; a new game in the same process starts here.
void resetInputState();
