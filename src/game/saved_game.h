// A game kept in a save file: the file is checked against this game before
// anything is played, its keys are played back without pauses and without
// showing their screens, the screen the player left is shown again, and
// every answer and key press from then on is appended to the file.
#pragma once

#include <cstdint>
#include <fstream>
#include <memory>
#include <optional>
#include <streambuf>
#include <string>

#include "console/console.h"
#include "console/input_journal.h"
#include "game/save_file.h"

class ReplayedScreen;

class SavedGame final : public InputJournal {
public:
    // Opens the save file at path for a game of these price lists: a missing
    // or empty file starts a new game, seeded with `seed` when given and
    // with the time otherwise, and gets its header at once. Returns nothing,
    // with refusal saying why, when the file cannot continue in this game;
    // a file that cannot be written is said on standard error and the game
    // goes on unsaved.
    static std::unique_ptr<SavedGame> open(const std::string& path, const std::string& weaponFile,
                                           const std::string& armorFile, std::optional<unsigned> seed,
                                           std::string& refusal);
    ~SavedGame();
    SavedGame(const SavedGame&) = delete;
    SavedGame& operator=(const SavedGame&) = delete;

    unsigned seed() const { return header.seed; }

    // From here until stopReplay, the game's output is kept aside instead of
    // shown (once the console is open), and the recorded keys answer first.
    // When the output is a terminal, the screen kept aside shows each
    // recorded answer after its prompt, as the terminal's echo showed it.
    void startReplay();
    // Puts standard output back; what was kept aside is dropped unless the
    // game has gone on past the record.
    void stopReplay();

    // Why the record did not fit the game, once the game is over; empty
    // when the game went on past its record (or it had none).
    std::string misfit() const;

    // The quit choice ends this run but not the game: the answer that chose
    // it is taken out of the file, so the next start goes on at the menu.
    void forgetLastAnswer();

    Source answerSource(std::string& answer) override;
    Source keySource() override;
    void answerReplayed(const std::string& answer) override;
    void answered(const std::string& answer) override;
    void keyPressed() override;
    bool replaying() const override { return state != State::Live; }

private:
    enum class State { Replaying, Misfit, Live };

    SavedGame(std::string path, SaveHeader header, std::string keys, std::unique_ptr<FileLock> lock);
    bool startFile();
    void goLive();
    void misfitAt(const std::string& why);
    // Appends one key's line and flushes it; false when it was not saved.
    bool append(const std::string& line);
    void reportWriteFailure(const std::string& why);

    std::string path;
    // Held from before the file is read until the game lets go of it.
    std::unique_ptr<FileLock> lock;
    SaveHeader header;
    std::string keys;
    SavedKeys record;
    State state = State::Replaying;
    std::string misfitReason;
    std::unique_ptr<ReplayedScreen> screen;
    bool echoAnswers = false;
    // Standard output's own buffer, while the replayed screen takes its place.
    std::streambuf* shownOutput = nullptr;
    std::ofstream file;
    bool writable = true;
    std::size_t keyBytes = 0;
    // The file's size before the last answer appended; none after a key press.
    std::optional<std::uintmax_t> sizeBeforeAnswer;
    std::uintmax_t fileSize = 0;
};
