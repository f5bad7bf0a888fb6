// The save file in play: checked before the game starts, played back
// unseen, shown again where the player left, then appended to key by key.
#include "game/saved_game.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <streambuf>
#include <string_view>

#include "console/console.h"

namespace fs = std::filesystem;

// What the game writes while its record is played back, kept instead of
// shown: only the text since the last cleared screen (a run of 50 line ends
// or more), and the colour in force where that text starts. A screen that
// grows past a bound (answers refused again and again) keeps its end.
class ReplayedScreen : public std::streambuf {
public:
    ReplayedScreen() { setp(buffer, buffer + sizeof buffer); }

    // The screen as the player left it: cleared, its colour, its text.
    void show() {
        takeBuffered();
        endScreenIfCleared();
        clearScreen();
        if (!colour.empty() && colour != NormalColour) {
            std::cout << colour;
        }
        std::cout << text << std::flush;
    }

protected:
    // Characters gather in the buffer and are looked at a buffer at a time:
    // a long game's output is not written character by character.
    int_type overflow(int_type c) override {
        takeBuffered();
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }
    // Nothing is shown while the record plays, so a flush (every endl of a
    // clear) has nothing to do: the buffer is looked at when full or shown.
    int sync() override { return 0; }

private:
    static constexpr std::size_t ClearingLineEnds = 50;
    static constexpr std::string_view NormalColour = "\x1b[0m";
    static constexpr std::size_t MostKept = std::size_t{1} << 16U;

    void takeBuffered() {
        take(std::string_view(pbase(), static_cast<std::size_t>(pptr() - pbase())));
        setp(buffer, buffer + sizeof buffer);
    }

    void take(std::string_view written) {
        while (!written.empty()) {
            const std::size_t lineEndRun = std::min(written.find_first_not_of('\n'), written.size());
            if (lineEndRun > 0) {
                lineEnds += lineEndRun;
                text.append(lineEndRun, '\n');
                written.remove_prefix(lineEndRun);
                continue;
            }
            endScreenIfCleared();
            lineEnds = 0;
            const std::size_t line = std::min(written.find('\n'), written.size());
            text.append(written.data(), line);
            written.remove_prefix(line);
            if (text.size() > 2 * MostKept) {
                const std::size_t cut = text.find('\n', text.size() - MostKept);
                forget(cut == std::string::npos ? text.size() - MostKept : cut + 1);
            }
        }
    }

    // A run of line ends long enough to clear the screen starts a new one.
    void endScreenIfCleared() {
        if (lineEnds >= ClearingLineEnds) {
            forget(text.size());
            lineEnds = 0;
        }
    }

    // Drops the first `count` characters, keeping the colour they leave in force.
    void forget(std::size_t count) {
        const std::string_view gone(text.data(), count);
        for (std::size_t at = gone.rfind("\x1b["); at != std::string_view::npos;
             at = at == 0 ? std::string_view::npos : gone.rfind("\x1b[", at - 1)) {
            const std::size_t end = gone.find_first_not_of("0123456789;", at + 2);
            if (end != std::string_view::npos && gone[end] == 'm') {
                colour = std::string(gone.substr(at, end + 1 - at));
                break;
            }
        }
        text.erase(0, count);
    }

    char buffer[8192];
    std::string text;
    std::string colour;
    std::size_t lineEnds = 0;
};

namespace {

// Up to `limit` bytes from the start of an open file, read as they come.
std::string readAtMost(std::ifstream& file, std::size_t limit) {
    std::string bytes;
    char chunk[4096];
    while (bytes.size() < limit && file) {
        file.read(chunk, static_cast<std::streamsize>(std::min(sizeof chunk, limit - bytes.size())));
        bytes.append(chunk, static_cast<std::size_t>(file.gcount()));
    }
    return bytes;
}

// A price list's digest, over its first MostKeyBytes bytes (more than the
// game ever reads of one); nothing when it cannot be read.
std::optional<std::string> digestOfFile(const std::string& path) {
    std::ifstream list(path, std::ios::binary);
    if (!list) {
        return std::nullopt;
    }
    return listDigest(readAtMost(list, MostKeyBytes));
}

std::string describeError(int error) { return error != 0 ? std::strerror(error) : "unknown error"; }

}  // namespace

SavedGame::SavedGame(std::string path, SaveHeader header, std::string keys, std::unique_ptr<FileLock> lock)
    : path(std::move(path)),
      lock(std::move(lock)),
      header(std::move(header)),
      keys(std::move(keys)),
      record(this->keys) {}

SavedGame::~SavedGame() { stopReplay(); }

std::unique_ptr<SavedGame> SavedGame::open(const std::string& path, const std::string& weaponFile,
                                           const std::string& armorFile, std::optional<unsigned> seed,
                                           std::string& refusal) {
    SaveHeader here;
    here.generator = randomGeneratorName();
    const auto weapons = digestOfFile(weaponFile);
    const auto armors = digestOfFile(armorFile);
    if (!weapons || !armors) {
        return nullptr;  // the lists' own loading says why
    }
    here.weaponsDigest = *weapons;
    here.armorsDigest = *armors;

    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (fs::exists(status) && !fs::is_regular_file(status)) {
        refusal = "it is not a regular file";
        return nullptr;
    }
    // Two games appending to one file would interleave their keys. A file
    // that cannot be locked (nor opened) is no other game's: its reading
    // and writing say what is wrong with it.
    auto lock = std::make_unique<FileLock>(path);
    if (lock->state() == FileLock::State::HeldElsewhere) {
        refusal = "another game is playing it";
        return nullptr;
    }
    std::string bytes;
    if (fs::exists(status)) {
        errno = 0;
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            refusal = "it cannot be read: " + describeError(errno);
            return nullptr;
        }
        bytes = readAtMost(in, MostHeaderBytes + MostKeyBytes + 1);
    }
    if (bytes.empty()) {
        here.seed = seed ? *seed : static_cast<unsigned>(std::time(nullptr));
        std::unique_ptr<SavedGame> game(new SavedGame(path, here, "", std::move(lock)));
        game->state = State::Live;
        game->startFile();
        return game;
    }
    ReadSaveFile read = readSaveFile(bytes);
    if (!read.header) {
        refusal = read.error;
        return nullptr;
    }
    refusal = headerDifference(*read.header, here);
    if (refusal.empty() && seed && *seed != read.header->seed) {
        refusal = "it plays seed " + std::to_string(read.header->seed) + ", not " + std::to_string(*seed) +
                  " as --seed asks";
    }
    if (!refusal.empty()) {
        return nullptr;
    }
    std::unique_ptr<SavedGame> game(new SavedGame(path, *read.header, std::move(read.keys), std::move(lock)));
    game->fileSize = bytes.size();
    game->keyBytes = game->keys.size();
    if (game->record.done()) {
        game->state = State::Live;
    }
    return game;
}

bool SavedGame::startFile() {
    errno = 0;
    file.open(path, std::ios::binary | std::ios::trunc);
    const std::string text = saveHeaderText(header);
    file << text << std::flush;
    if (!file) {
        reportWriteFailure(describeError(errno));
        return false;
    }
    fileSize = text.size();
    return true;
}

void SavedGame::startReplay() {
    if (state == State::Replaying && !screen) {
        screen = std::make_unique<ReplayedScreen>();
        echoAnswers = outputIsTerminal();
        shownOutput = std::cout.rdbuf(screen.get());
    }
}

void SavedGame::stopReplay() {
    if (screen) {
        std::cout.rdbuf(shownOutput);
        screen.reset();
    }
}

void SavedGame::goLive() {
    state = State::Live;
    if (screen) {
        std::cout.rdbuf(shownOutput);
        screen->show();
        screen.reset();
    }
}

std::string SavedGame::misfit() const {
    const std::string start = "its keys no longer fit the game: ";
    if (state == State::Misfit) {
        return start + misfitReason;
    }
    if (state == State::Replaying) {
        return start + (record.done() ? "its last key ends the game"
                                      : "the game ends at line " + std::to_string(record.lineNumber()) +
                                            ", before its keys do");
    }
    return "";
}

void SavedGame::misfitAt(const std::string& why) {
    state = State::Misfit;
    misfitReason = "line " + std::to_string(record.lineNumber()) + " is " + why;
}

InputJournal::Source SavedGame::answerSource(std::string& answer) {
    if (state != State::Replaying) {
        return state == State::Live ? Source::Player : Source::Nowhere;
    }
    if (record.done()) {
        goLive();
        return Source::Player;
    }
    const std::string_view key = record.take();
    if (key.empty()) {
        misfitAt("a key press where the game asks a question");
        return Source::Nowhere;
    }
    answer.assign(key);
    return Source::Record;
}

InputJournal::Source SavedGame::keySource() {
    if (state != State::Replaying) {
        return state == State::Live ? Source::Player : Source::Nowhere;
    }
    if (record.done()) {
        goLive();
        return Source::Player;
    }
    if (!record.take().empty()) {
        misfitAt("an answer where the game waits for a key press");
        return Source::Nowhere;
    }
    return Source::Record;
}

void SavedGame::answerReplayed(const std::string& answer) {
    if (screen && echoAnswers) {
        std::cout << answer << '\n';
    }
}

void SavedGame::answered(const std::string& answer) {
    if (state == State::Live) {
        const std::uintmax_t before = fileSize;
        if (append(answer + "\n")) {
            sizeBeforeAnswer = before;
        }
    }
}

void SavedGame::keyPressed() {
    if (state == State::Live) {
        sizeBeforeAnswer.reset();
        append("\n");
    }
}

void SavedGame::forgetLastAnswer() {
    if (state != State::Live || !writable || !sizeBeforeAnswer) {
        return;
    }
    std::error_code error;
    fs::resize_file(path, *sizeBeforeAnswer, error);
    if (error) {
        reportWriteFailure("the quit choice cannot be taken out of it: " + error.message());
        return;
    }
    keyBytes -= static_cast<std::size_t>(fileSize - *sizeBeforeAnswer);
    fileSize = *sizeBeforeAnswer;
    sizeBeforeAnswer.reset();
}

bool SavedGame::append(const std::string& line) {
    if (!writable) {
        return false;
    }
    if (keyBytes + line.size() > MostKeyBytes) {
        reportWriteFailure("it holds " + std::to_string(MostKeyBytes) +
                           " bytes of keys, the most a save file takes");
        return false;
    }
    errno = 0;
    if (!file.is_open()) {
        file.open(path, std::ios::binary | std::ios::app);
    }
    file.write(line.data(), static_cast<std::streamsize>(line.size()));
    file.flush();
    if (!file) {
        const std::string why = describeError(errno);
        // A line written in part would leave the keys cut short.
        std::error_code ignored;
        fs::resize_file(path, fileSize, ignored);
        reportWriteFailure(why);
        return false;
    }
    keyBytes += line.size();
    fileSize += line.size();
    return true;
}

void SavedGame::reportWriteFailure(const std::string& why) {
    if (writable) {
        writable = false;
        std::cout.flush();
        std::cerr << "brawlarium: cannot save the game in '" << path << "': " << why
                  << "; the game goes on unsaved" << std::endl;
    }
}
