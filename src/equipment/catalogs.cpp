// The weapon and armor price lists: loading the data files, the listings,
// equipping, and the purchases paid from a character's gold.
#include "equipment/catalogs.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <streambuf>
#include <string_view>
#include <vector>

#include "character/character.h"
#include "console/numbers.h"

std::string LoadError::message(const std::string& fileShown) const {
    std::string text = fileShown;
    if (line > 0) {
        text += ":" + std::to_string(line);
    }
    return text + ": " + reason;
}

std::string introduceListFile(const std::string& file, const char* standardName, const char* use) {
    if (std::filesystem::path(file).filename() == standardName) {
        return file;
    }
    return file + " (used as the " + use + ")";
}

namespace {

constexpr std::size_t MaxLineLength = 299;
// A loader takes in at most this much of one line, so that a file without
// end (a link to a device, say) is refused instead of read without limit.
constexpr std::size_t LongestLineTaken = std::size_t{64} * 1024;
// After the lines the game reads, the check counts ignored lines in at most
// this much of the rest of the file.
constexpr std::size_t IgnoredTextTaken = std::size_t{1024} * 1024;

bool isBlank(std::string_view text) { return text.find_first_not_of(" \t\r") == std::string_view::npos; }

// Splits a line on ';' (or on any of `separators`) the way strtok does: runs
// of separators count as one, and separators at the start or the end make
// no empty field.
std::vector<std::string_view> splitFields(std::string_view line, std::string_view separators = ";") {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (start < line.size()) {
        const std::size_t end = line.find_first_of(separators, start);
        const std::size_t stop = end == std::string_view::npos ? line.size() : end;
        if (stop > start) {
            fields.push_back(line.substr(start, stop - start));
        }
        start = stop + 1;
    }
    return fields;
}

// How many digits the text starts with.
std::size_t leadingDigits(std::string_view text) {
    const std::size_t end = text.find_first_not_of("0123456789");
    return end == std::string_view::npos ? text.size() : end;
}

// A number written with thousands separators, "1.200" or "1,200" (also
// "1,200.50" and "1.200,50"), as it was probably meant: "1200" ("1200.50").
// Nothing for any other text.
std::optional<std::string> withoutThousandsSeparators(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view rest = text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
    std::string meant;
    if (rest[0] == '+' || rest[0] == '-') {
        meant.push_back(rest[0]);
        rest.remove_prefix(1);
    }
    const std::size_t lead = leadingDigits(rest);
    if (lead < 1 || lead > 3 || lead == rest.size() || (rest[lead] != '.' && rest[lead] != ',')) {
        return std::nullopt;
    }
    const char separator = rest[lead];
    meant.append(rest.substr(0, lead));
    rest.remove_prefix(lead);
    int groups = 0;
    while (!rest.empty() && rest[0] == separator && leadingDigits(rest.substr(1)) == 3) {
        meant.append(rest.substr(1, 3));
        rest.remove_prefix(4);
        ++groups;
    }
    // After the groups: nothing, or the other sign as a decimal mark.
    const char decimalMark = separator == '.' ? ',' : '.';
    if (rest.size() > 1 && rest[0] == decimalMark && leadingDigits(rest.substr(1)) == rest.size() - 1) {
        meant += "." + std::string(rest.substr(1));
        rest = {};
    }
    if (groups == 0 || !rest.empty()) {
        return std::nullopt;
    }
    return meant;
}

// Reads the number fields of one line the way atoi and atof do, and notes
// every field that holds more than its number, or no number at all, with
// what the game reads it as. Blanks after the number are harmless.
class FieldReader {
public:
    FieldReader(const std::vector<std::string_view>& fields, std::vector<std::string>& notes)
        : fields(fields), notes(notes) {}

    std::string_view text(std::size_t position) const { return fields[position]; }

    int integer(std::size_t position, const char* field) const {
        const int value = readInteger(fields[position]);
        note(position, field, unreadAfterInteger(fields[position]), std::to_string(value));
        return value;
    }

    double real(std::size_t position, const char* field) const {
        const double value = readReal(fields[position]);
        std::ostringstream shown;
        shown << value;
        if (const std::optional<std::string> meant = withoutThousandsSeparators(fields[position])) {
            notes.push_back("the " + std::string(field) + " \"" + std::string(fields[position]) +
                            "\" is read as " + shown.str() + ", not as " + *meant +
                            ": numbers take no thousands separator");
        } else {
            note(position, field, unreadAfterReal(fields[position]), shown.str());
        }
        return value;
    }

private:
    void note(std::size_t position, const char* field, UnreadText unread, const std::string& readAs) const {
        const std::string quoted = "\"" + std::string(fields[position]) + "\"";
        if (!unread.hasNumber) {
            notes.push_back("the " + std::string(field) + " " + quoted + " holds no number and is read as " +
                            readAs);
        } else if (!isBlank(unread.rest)) {
            notes.push_back("the " + std::string(field) + " " + quoted + " is read as " + readAs + ": \"" +
                            std::string(unread.rest) + "\" after the number is ignored");
        }
    }

    const std::vector<std::string_view>& fields;
    std::vector<std::string>& notes;
};

enum class LineRead { Line, TooLong, NoMore };

// Reads the next line, without its line end, as std::getline does, but takes
// in at most `limit` characters: the rest of a longer line is left unread.
LineRead readLine(std::streambuf& file, std::string& line, std::size_t limit) {
    using Traits = std::streambuf::traits_type;
    line.clear();
    Traits::int_type next = file.sgetc();
    if (Traits::eq_int_type(next, Traits::eof())) {
        return LineRead::NoMore;
    }
    for (; !Traits::eq_int_type(next, Traits::eof()); next = file.snextc()) {
        const char character = Traits::to_char_type(next);
        if (character == '\n') {
            file.sbumpc();
            return LineRead::Line;
        }
        if (line.size() == limit) {
            return LineRead::TooLong;
        }
        line.push_back(character);
    }
    return LineRead::Line;
}

// Why a file cannot be read, in the system's words: a folder, which the C
// library may open but not read, is named as such on every platform.
std::string cannotOpen(int error) {
    return "cannot open the file for reading" + (error != 0 ? ": " + std::string(std::strerror(error)) : "");
}

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

std::string lines(int count) { return std::to_string(count) + (count == 1 ? " line" : " lines"); }

// What a loader found in a file: the faults that refuse it and the warnings
// about what it reads differently from what was probably meant.
struct DataFileReading {
    std::vector<LoadError> faults;
    std::vector<LoadError> warnings;
    // For each line the game reads, whether it was taken in without a fault.
    std::vector<bool> linesRead;
};

// After the lines the game reads: one warning for every line that still
// holds something, at the first of them. The count stops at a bound, so that
// a file without end gets its report too.
void noteIgnoredLines(std::streambuf& file, const std::string& fileName, int count,
                      std::vector<LoadError>& warnings) {
    using Traits = std::streambuf::traits_type;
    std::string line;
    int firstIgnored = 0;
    int ignored = 0;
    std::size_t left = IgnoredTextTaken;
    bool more = false;
    for (int lineNumber = count + 1;; ++lineNumber) {
        const LineRead read = readLine(file, line, left);
        if (read == LineRead::NoMore) {
            break;
        }
        if (!isBlank(line)) {
            firstIgnored = ignored++ == 0 ? lineNumber : firstIgnored;
        }
        if (read == LineRead::TooLong || line.size() + 1 >= left) {
            more = read == LineRead::TooLong || !Traits::eq_int_type(file.sgetc(), Traits::eof());
            break;
        }
        left -= line.size() + 1;
    }
    if (ignored > 0) {
        warnings.push_back({fileName, firstIgnored,
                            lines(ignored) + (more ? " and more" : "") + " after line " +
                                std::to_string(count) + (ignored == 1 && !more ? " is" : " are") +
                                " ignored: the game reads only the first " + std::to_string(count)});
    }
}

// Fields after the last one the game reads: it ignores them, which may not
// be what whoever wrote them meant, so they get a note. Blank ones are harmless.
void noteIgnoredFields(std::string_view line, const std::vector<std::string_view>& fields,
                       std::size_t fieldCount, std::vector<std::string>& notes) {
    const auto extraFields = fields.begin() + static_cast<std::ptrdiff_t>(fieldCount);
    if (std::all_of(extraFields, fields.end(), isBlank)) {
        return;
    }
    const auto start = static_cast<std::size_t>(extraFields->data() - line.data());
    const auto end = static_cast<std::size_t>(fields.back().data() + fields.back().size() - line.data());
    const std::size_t extra = fields.size() - fieldCount;
    notes.push_back(std::to_string(extra) +
                    (extra == 1 ? " field after the price is" : " fields after the price are") +
                    " ignored: \"" + std::string(line.substr(start, end - start)) + "\"");
}

// For a line with too few fields: when tabs, or commas, would make up the
// fields needed, the likely slip, to follow the field count.
std::string separatorHint(std::string_view line, std::size_t fieldCount) {
    for (const auto& [separators, named] : {std::pair{";\t", "tabs"}, std::pair{";,", "','"}}) {
        if (line.find(separators[1]) != std::string_view::npos &&
            splitFields(line, separators).size() >= fieldCount) {
            return std::string(": fields are separated by ';', not by ") + named;
        }
    }
    return "";
}

// Takes in the next of `count` lines, without the carriage return of a
// Windows line end. Returns why the reading ends here, or nothing.
std::string takeLine(std::streambuf& file, std::string& line, int count) {
    switch (readLine(file, line, LongestLineTaken)) {
    case LineRead::NoMore:
        return "missing line: " + std::to_string(count) + " lines are needed";
    case LineRead::TooLong:
        return "the line runs past " + std::to_string(LongestLineTaken) +
               " characters without a line end: the rest of the file is not read";
    case LineRead::Line:
        break;
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return "";
}

// Reads the first `count` lines of a data file and hands the fields of each
// to `take`, with the list of notes to add its warnings to. Returns every
// fault found, in the order of the file: a line at fault does not stop the
// reading, so that whoever writes the lists sees all of them at once; a
// missing line ends it, since every later one is missing too, and so does a
// line too long to take in, which may never end. The fields handed over
// always number at least `fieldCount`.
template <typename TakeFields>
DataFileReading readDataFile(const std::string& fileName, int count, std::size_t fieldCount, LinesRead extent,
                             TakeFields take) {
    std::error_code ignored;
    if (std::filesystem::is_directory(fileName, ignored)) {
        return {{{fileName, 0, cannotOpen(EISDIR)}}, {}, {}};
    }
    errno = 0;
    std::ifstream file_open(fileName);
    if (!file_open) {
        return {{{fileName, 0, cannotOpen(errno)}}, {}, {}};
    }
    DataFileReading reading;
    reading.linesRead.resize(static_cast<std::size_t>(count));
    std::vector<LoadError>& faults = reading.faults;
    std::string TextInformation;
    std::streambuf& text = *file_open.rdbuf();
    for (int index = 0; index < count && faults.size() < MaxLoadFaults; ++index) {
        const int lineNumber = index + 1;
        std::string end = takeLine(text, TextInformation, count);
        if (!end.empty()) {
            faults.push_back({fileName, lineNumber, std::move(end)});
            return reading;
        }
        // The text ends at a NUL byte, as it would for a C string.
        std::string_view line(TextInformation.c_str());
        if (index == 0 && line.substr(0, ByteOrderMark.size()) == ByteOrderMark) {
            reading.warnings.push_back({fileName, lineNumber,
                                        "the file starts with a UTF-8 byte-order mark: the game reads it as "
                                        "part of the first name"});
        }
        if (line.size() > MaxLineLength) {
            faults.push_back({fileName, lineNumber,
                              "the line is longer than " + std::to_string(MaxLineLength) + " characters"});
            continue;
        }
        const std::vector<std::string_view> fields = splitFields(line);
        if (fields.size() < fieldCount) {
            faults.push_back({fileName, lineNumber,
                              "the line has " + std::to_string(fields.size()) +
                                  (fields.size() == 1 ? " field, " : " fields, ") +
                                  std::to_string(fieldCount) + " are needed" +
                                  separatorHint(line, fieldCount)});
            continue;
        }
        std::vector<std::string> notes;
        LoadError fault = take(index, FieldReader(fields, notes));
        noteIgnoredFields(line, fields, fieldCount, notes);
        for (std::string& note : notes) {
            reading.warnings.push_back({fileName, lineNumber, std::move(note)});
        }
        if (!fault.reason.empty()) {
            fault.file = fileName;
            fault.line = lineNumber;
            faults.push_back(fault);
        } else {
            reading.linesRead[static_cast<std::size_t>(index)] = true;
        }
    }
    if (extent == LinesRead::All && faults.size() < MaxLoadFaults) {
        noteIgnoredLines(text, fileName, count, reading.warnings);
    }
    return reading;
}

const LoadError NoFault{};

}  // namespace

WeaponCatalog::WeaponCatalog(const std::string& fileName, LinesRead extent) {
    std::cout << "Loading Weapon List\n";
    DataFileReading reading = readDataFile(fileName, Size, 6, extent, [this](int i, const FieldReader& f) {
        names[i] = std::string(f.text(0));
        diceCounts[i] = f.integer(1, "dice count");
        dieSizes[i] = f.integer(2, "die size");
        criticalThresholds[i] = f.integer(3, "critical threshold");
        criticalMultipliers[i] = f.integer(4, "critical multiplier");
        prices[i] = f.real(5, "price");
        if (dieSizes[i] < 1) {
            // The damage roll draws modulo the die size.
            return LoadError{"", 0,
                             "the die size is " + std::to_string(dieSizes[i]) + ", it must be 1 or more"};
        }
        return LoadError{};
    });
    faults = std::move(reading.faults);
    warnings = std::move(reading.warnings);
    std::copy(reading.linesRead.begin(), reading.linesRead.end(), linesRead.begin());
}

ArmorCatalog::ArmorCatalog(const std::string& fileName, LinesRead extent) {
    std::cout << "Loading Armor List\n";
    DataFileReading reading = readDataFile(fileName, Size, 4, extent, [this](int i, const FieldReader& f) {
        names[i] = std::string(f.text(0));
        armorBonuses[i] = f.integer(1, "armor bonus");
        maxDexterityBonuses[i] = f.integer(2, "max dexterity bonus");
        prices[i] = f.real(3, "price");
        return LoadError{};
    });
    faults = std::move(reading.faults);
    warnings = std::move(reading.warnings);
    std::copy(reading.linesRead.begin(), reading.linesRead.end(), linesRead.begin());
}

const LoadError& WeaponCatalog::loadError() const { return faults.empty() ? NoFault : faults.front(); }

const LoadError& ArmorCatalog::loadError() const { return faults.empty() ? NoFault : faults.front(); }

void WeaponCatalog::list() const {
    std::cout << "------LISTING WEAPONS-------\n";
    for (int i = 0; i < Size; ++i) {
        std::cout << "[" << i + 1 << "] " << names[i];
        if (names[i].size() < 12) {
            std::cout << "\t";
        }
        std::cout << "\t" << diceCounts[i] << "d" << dieSizes[i] << " (";
        if (criticalThresholds[i] == 20) {
            std::cout << "20/x";
        } else {
            std::cout << criticalThresholds[i] << "-20/x";
        }
        std::cout << criticalMultipliers[i] << ")\t" << prices[i] << "g" << std::endl;
    }
    std::cout << "[R] Return to the equipment menu.\n";
    std::cout << "---END WEAPON LIST--------\n";
}

void ArmorCatalog::list() const {
    std::cout << "------LISTING ARMOR-------\n";
    for (int i = 0; i < Size; ++i) {
        const int row = i + 1;
        std::cout << "[" << row << "] " << names[i];
        // Two-digit row numbers take one more column, so their names get the
        // extra tab one character sooner.
        const std::size_t tabBelow = row <= 9 ? 12 : 11;
        if (names[i].size() < tabBelow) {
            std::cout << "\t";
        }
        std::cout << "\tAC: +" << armorBonuses[i] << "\t";
        std::cout << "Max Dex: +" << maxDexterityBonuses[i] << "\t";
        std::cout << prices[i] << "g" << std::endl;
    }
    std::cout << "[R] Return to the equipment menu.\n";
    std::cout << "---END ARMOR LIST--------\n";
}

int WeaponCatalog::equip(int index, Character& character) const {
    Weapon& weapon = character.weapon;
    if (names[index] == weapon.name) {
        std::cout << "Already equipped with that weapon!\n";
        return 0;
    }
    weapon.name = names[index];
    std::cout << "Setting character weapon to " << weapon.name << std::endl;
    weapon.diceCount = diceCounts[index];
    weapon.dieSize = dieSizes[index];
    weapon.criticalThreshold = criticalThresholds[index];
    weapon.criticalMultiplier = criticalMultipliers[index];
    weapon.price = prices[index];
    return 1;
}

int ArmorCatalog::equip(int index, Character& character) const {
    Armor& armor = character.armor;
    if (names[index] == armor.name) {
        std::cout << "Armor already equipped!\n";
        return 0;
    }
    armor.name = names[index];
    std::cout << "Setting character armor to " << armor.name << std::endl;
    armor.armorBonus = armorBonuses[index];
    armor.maxDexterityBonus = maxDexterityBonuses[index];
    armor.price = prices[index];
    return 1;
}

namespace {
// Pays for an entry and puts it on: the gold test comes first, so an item
// that is worn and too dear only gets the can't-afford message.
template <typename Catalog>
int buy(Character& character, int index, const Catalog& catalog) {
    const double price = catalog.prices[index];
    if (!(character.gold >= price)) {
        std::cout << "You can't afford that, poor ass!\n";
        return 0;
    }
    if (catalog.equip(index, character) == 0) {
        return 0;
    }
    character.gold -= price;
    return 1;
}
}  // namespace

int Character::buyWeapon(int index, const WeaponCatalog& catalog) { return buy(*this, index, catalog); }

int Character::buyArmor(int index, const ArmorCatalog& catalog) { return buy(*this, index, catalog); }
