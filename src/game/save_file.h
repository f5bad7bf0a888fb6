// The save file's format: a short text header that says which game the keys
// belong to, then every answer and key press the game read, one a line.
//
//   brawlarium save 1          the format's version
//   generator glibc            the C library's random generator
//   seed 1733700000            the seed of the random draws
//   weapons fnv1a64:<16 hex>   a digest of the weapon list's bytes
//   armors fnv1a64:<16 hex>    a digest of the armor list's bytes
//   keys
//   a                          an answer: the word the game read
//                              an empty line: a key press at a key wait
//
// Every line ends in "\n". The same format serves every build; a file only
// continues where the generator and the lists are the same.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

inline constexpr int SaveFormatVersion = 1;
// The most bytes of keys a save file holds, a game of tens of thousands of
// fights; a longer file is refused before it is read any further.
inline constexpr std::size_t MostKeyBytes = std::size_t{1} << 20U;
// The most bytes a header takes, with room to spare.
inline constexpr std::size_t MostHeaderBytes = 1024;

// Which game a save file's keys belong to.
struct SaveHeader {
    std::string generator;
    unsigned seed = 0;
    std::string weaponsDigest;
    std::string armorsDigest;
};

// A save file as read: its header and its keys (the lines after "keys",
// each with its line end), or why it does not read.
struct ReadSaveFile {
    std::optional<SaveHeader> header;
    std::string keys;
    std::string error;
};

ReadSaveFile readSaveFile(std::string_view bytes);

// The header's text, up to and including the "keys" line.
std::string saveHeaderText(const SaveHeader& header);

// Why a file with header `saved` cannot continue in a game with header
// `here`; empty when it can. The seeds are not compared.
std::string headerDifference(const SaveHeader& saved, const SaveHeader& here);

// "fnv1a64:" and the 64-bit FNV-1a digest of the bytes in hexadecimal.
std::string listDigest(std::string_view bytes);

// The name of the C library's random generator, told from what it draws
// for seed 1: "glibc", "musl" (the WebAssembly build), "msvcrt" (Windows),
// or "rand-" and the first draws in hexadecimal for another. Reseeds the
// generator: call it before the game seeds it.
std::string randomGeneratorName();

// The keys one after another, each taken with its line number.
class SavedKeys {
public:
    explicit SavedKeys(std::string_view keys) : rest(keys) {}
    bool done() const { return rest.empty(); }
    // The next key: a word for an answer, empty for a key press.
    std::string_view take();
    // The line of the file the last key taken came from.
    std::size_t lineNumber() const { return line; }

private:
    std::string_view rest;
    std::size_t line = 6;  // the header's lines
};
