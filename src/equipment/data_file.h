// Reading the game's data files: a set number of lines, each of fields
// separated by ';', of which the first few are read as atoi and atof read
// numbers. What the reader refuses, and what it warns about.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Why a data file could not be loaded, ready to be written as one line:
// "weaponlist.txt:3: the line has 4 fields, 6 are needed".
struct LoadError {
    std::string file;
    int line = 0;  // 0 when the file as a whole is at fault
    std::string reason;

    // "file:line: reason", or "file: reason" for the file as a whole.
    std::string message() const { return message(file); }
    // The same with `fileShown` in place of the file's path: the path with
    // what the file is used as, for one (see introduceListFile).
    std::string message(const std::string& fileShown) const;
};

// A reader stops collecting faults after this many.
constexpr std::size_t MaxLoadFaults = 50;

// The longest line the game takes, in characters.
constexpr std::size_t MaxLineLength = 299;

// How much of a data file a reader reads: the lines the game needs, or all
// of them, to warn about the lines it would ignore.
enum class LinesRead { Needed, All };

// "1 field", "2 fields": the count and the noun, in the plural unless the
// count is 1.
std::string counted(long long count, std::string_view noun);

// Splits a line on ';' (or on any of `separators`) the way strtok does: runs
// of separators count as one, and separators at the start or the end make
// no empty field.
std::vector<std::string_view> splitFields(std::string_view line, std::string_view separators = ";");

// A number written with thousands separators, "1.200" or "1,200" (also
// "1,200.50" and "1.200,50"), as it was probably meant: "1200" ("1200.50").
// Nothing for any other text.
std::optional<std::string> withoutThousandsSeparators(std::string_view text);

// The fields of one line, the number fields read the way atoi and atof read
// them; every field that holds more than its number, or no number at all,
// gets a note saying what the game reads it as. Blanks after the number are
// harmless.
class FieldReader {
public:
    FieldReader(const std::vector<std::string_view>& fields, std::vector<std::string>& notes)
        : fields(fields), notes(notes) {}

    std::string_view text(std::size_t position) const { return fields[position]; }
    // `field` names the field in the notes: "die size".
    int integer(std::size_t position, const char* field) const;
    // A price: also noted when written with a thousands separator.
    double real(std::size_t position, const char* field) const;

private:
    const std::vector<std::string_view>& fields;
    std::vector<std::string>& notes;
};

// What a data file holds: the lines the game reads, the fields each needs
// and the name of the last of them, after which fields are ignored.
struct DataFileLayout {
    int lines;
    std::size_t fields;
    const char* lastField;
};

// What a reader found in a file: the faults that refuse it, the warnings
// about what it reads differently from what was probably meant, and for
// each line the game reads, whether it was taken in without a fault.
struct DataFileReading {
    std::vector<LoadError> faults;
    std::vector<LoadError> warnings;
    std::vector<bool> linesRead;
};

// Takes the fields of the line at `index` (from 0), at least the layout's
// number of them; returns why the line is refused, or nothing.
using TakeFields = std::function<std::optional<std::string>(int index, const FieldReader& fields)>;

// Reads the layout's lines of a data file and hands the fields of each to
// `take`. Returns every fault found, in the order of the file: a line at
// fault does not stop the reading, so that whoever writes the lists sees
// all of them at once; a missing line ends it, since every later one is
// missing too, and so does a line too long to take in, which may never end.
// With LinesRead::All, the lines after the last one read are counted for a
// warning, within a bound.
DataFileReading readDataFile(const std::string& fileName, const DataFileLayout& layout, LinesRead extent,
                             const TakeFields& take);
