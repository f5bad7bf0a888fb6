// Where a saved game meets the console's input: the answers and key presses
// of a recorded game are played back through it before the player's own,
// and each new one is handed to it as the player gives it. The console
// layer only calls it; the game level says what it records and where.
#pragma once

#include <string>

class InputJournal {
public:
    // Where a question or a key wait takes its input from: the player, the
    // record (the answer or key press it holds comes next), or nowhere (the
    // record does not fit the game: the question ends the game as the end of
    // input does, the key wait ends at once).
    enum class Source { Player, Record, Nowhere };

    // Called before a question writes its prompt; fills answer from the
    // record when the record has it.
    virtual Source answerSource(std::string& answer) = 0;
    // Called before a key wait, once its message is written.
    virtual Source keySource() = 0;
    // Called once the prompt of a question answered from the record is
    // written, where the player's answer had come.
    virtual void answerReplayed(const std::string& answer) = 0;
    // Called after the player answered a question or pressed a key.
    virtual void answered(const std::string& answer) = 0;
    virtual void keyPressed() = 0;
    // True while the record is played back: the pauses between fight rounds
    // are skipped.
    virtual bool replaying() const = 0;

protected:
    InputJournal() = default;
    ~InputJournal() = default;
    InputJournal(const InputJournal&) = default;
    InputJournal& operator=(const InputJournal&) = default;
};

// The journal the questions and key waits report to; null (the default)
// for none.
void setInputJournal(InputJournal* journal);
InputJournal* inputJournal();
