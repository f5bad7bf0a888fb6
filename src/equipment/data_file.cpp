// The general reader of the game's data files: lines taken in within a
// bound, fields split as strtok splits them, numbers read as atoi and atof
// read them, and every fault and likely slip noted with its line.
#include "equipment/data_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <streambuf>
#include <utility>

#include "console/numbers.h"

namespace {

// A reader takes in at most this much of one line, so that a file without
// end (a link to a device, say) is refused instead of read without limit.
constexpr std::size_t LongestLineTaken = std::size_t{64} * 1024;
// After the lines the game reads, the check counts ignored lines in at most
// this much of the rest of the file.
constexpr std::size_t IgnoredTextTaken = std::size_t{1024} * 1024;

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

bool isBlank(std::string_view text) { return text.find_first_not_of(" \t\r") == std::string_view::npos; }

// How many digits the text starts with.
std::size_t leadingDigits(std::string_view text) {
    const std::size_t end = text.find_first_not_of("0123456789");
    return end == std::string_view::npos ? text.size() : end;
}

std::string quotedField(std::string_view text) { return "\"" + std::string(text) + "\""; }

// The note for a number field that holds more than its number, or none.
std::optional<std::string> unreadNote(const char* field, std::string_view text, UnreadText unread,
                                      const std::string& readAs) {
    if (!unread.hasNumber) {
        return "the " + std::string(field) + " " + quotedField(text) + " holds no number and is read as " +
               readAs;
    }
    if (!isBlank(unread.rest)) {
        return "the " + std::string(field) + " " + quotedField(text) + " is read as " + readAs + ": " +
               quotedField(unread.rest) + " after the number is ignored";
    }
    return std::nullopt;
}

enum class LineEnd { Line, TooLong, NoMore };

// Reads the next line, without its line end, as std::getline does, but takes
// in at most `limit` characters: the rest of a longer line is left unread.
LineEnd readLine(std::streambuf& buffer, std::string& line, std::size_t limit) {
    using Traits = std::streambuf::traits_type;
    line.clear();
    Traits::int_type next = buffer.sgetc();
    if (Traits::eq_int_type(next, Traits::eof())) {
        return LineEnd::NoMore;
    }
    for (; !Traits::eq_int_type(next, Traits::eof()); next = buffer.snextc()) {
        const char character = Traits::to_char_type(next);
        if (character == '\n') {
            buffer.sbumpc();
            return LineEnd::Line;
        }
        if (line.size() == limit) {
            return LineEnd::TooLong;
        }
        line.push_back(character);
    }
    return LineEnd::Line;
}

// Why a file cannot be read, in the system's words: a folder, which the C
// library may open but not read, is named as such on every platform.
std::string cannotOpen(int error) {
    return "cannot open the file for reading" + (error != 0 ? ": " + std::string(std::strerror(error)) : "");
}

// After the lines the game reads: one warning for every line that still
// holds something, at the first of them. The count stops at a bound, so that
// a file without end gets its report too.
std::optional<LoadError> ignoredLinesWarning(std::streambuf& buffer, const std::string& fileName, int count) {
    using Traits = std::streambuf::traits_type;
    std::string line;
    int firstIgnored = 0;
    int ignored = 0;
    std::size_t left = IgnoredTextTaken;
    bool more = false;
    for (int lineNumber = count + 1;; ++lineNumber) {
        const LineEnd end = readLine(buffer, line, left);
        if (end == LineEnd::NoMore) {
            break;
        }
        if (!isBlank(line)) {
            firstIgnored = ignored++ == 0 ? lineNumber : firstIgnored;
        }
        if (end == LineEnd::TooLong || line.size() + 1 >= left) {
            more = end == LineEnd::TooLong || !Traits::eq_int_type(buffer.sgetc(), Traits::eof());
            break;
        }
        left -= line.size() + 1;
    }
    if (ignored == 0) {
        return std::nullopt;
    }
    return LoadError{fileName, firstIgnored,
                     counted(ignored, "line") + (more ? " and more" : "") + " after line " +
                         std::to_string(count) + (ignored == 1 && !more ? " is" : " are") +
                         " ignored: the game reads only the first " + std::to_string(count)};
}

// Fields after the last one the game reads: it ignores them, which may not
// be what whoever wrote them meant, so they get a note. Blank ones are harmless.
std::optional<std::string> ignoredFieldsNote(std::string_view line,
                                             const std::vector<std::string_view>& fields,
                                             const DataFileLayout& layout) {
    const auto extraFields = fields.begin() + static_cast<std::ptrdiff_t>(layout.fields);
    if (std::all_of(extraFields, fields.end(), isBlank)) {
        return std::nullopt;
    }
    const auto start = static_cast<std::size_t>(extraFields->data() - line.data());
    const auto end = static_cast<std::size_t>(fields.back().data() + fields.back().size() - line.data());
    const std::size_t extra = fields.size() - layout.fields;
    return counted(static_cast<long long>(extra), "field") + " after the " + layout.lastField +
           (extra == 1 ? " is" : " are") + " ignored: " + quotedField(line.substr(start, end - start));
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

// Takes in the next of `count` lines into `line`, without the carriage
// return of a Windows line end. Returns why the reading ends here, if it does.
std::optional<std::string> takeNextLine(std::streambuf& buffer, std::string& line, int count) {
    switch (readLine(buffer, line, LongestLineTaken)) {
    case LineEnd::NoMore:
        return "missing line: " + std::to_string(count) + " lines are needed";
    case LineEnd::TooLong:
        return "the line runs past " + std::to_string(LongestLineTaken) +
               " characters without a line end: the rest of the file is not read";
    case LineEnd::Line:
        break;
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return std::nullopt;
}

// Why a line is refused before its fields are taken: too long, or too few
// fields. Nothing when its fields can be taken.
std::optional<std::string> lineFault(std::string_view line, const std::vector<std::string_view>& fields,
                                     const DataFileLayout& layout) {
    if (line.size() > MaxLineLength) {
        return "the line is longer than " + std::to_string(MaxLineLength) + " characters";
    }
    if (fields.size() < layout.fields) {
        return "the line has " + counted(static_cast<long long>(fields.size()), "field") + ", " +
               std::to_string(layout.fields) + " are needed" + separatorHint(line, layout.fields);
    }
    return std::nullopt;
}

}  // namespace

std::string LoadError::message(const std::string& fileShown) const {
    std::string text = fileShown;
    if (line > 0) {
        text += ":" + std::to_string(line);
    }
    return text + ": " + reason;
}

std::string counted(long long count, std::string_view noun) {
    return std::to_string(count) + " " + std::string(noun) + (count == 1 ? "" : "s");
}

std::vector<std::string_view> splitFields(std::string_view line, std::string_view separators) {
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

int FieldReader::integer(std::size_t position, const char* field) const {
    const int value = readInteger(fields[position]);
    if (auto note = unreadNote(field, fields[position], unreadAfterInteger(fields[position]),
                               std::to_string(value))) {
        notes.push_back(std::move(*note));
    }
    return value;
}

double FieldReader::real(std::size_t position, const char* field) const {
    const double value = readReal(fields[position]);
    std::ostringstream shown;
    shown << value;
    if (const std::optional<std::string> meant = withoutThousandsSeparators(fields[position])) {
        notes.push_back("the " + std::string(field) + " " + quotedField(fields[position]) + " is read as " +
                        shown.str() + ", not as " + *meant + ": numbers take no thousands separator");
    } else if (auto note =
                   unreadNote(field, fields[position], unreadAfterReal(fields[position]), shown.str())) {
        notes.push_back(std::move(*note));
    }
    return value;
}

DataFileReading readDataFile(const std::string& fileName, const DataFileLayout& layout, LinesRead extent,
                             const TakeFields& take) {
    std::error_code ignored;
    if (std::filesystem::is_directory(fileName, ignored)) {
        return {{{fileName, 0, cannotOpen(EISDIR)}}, {}, {}};
    }
    errno = 0;
    std::ifstream file(fileName);
    if (!file) {
        return {{{fileName, 0, cannotOpen(errno)}}, {}, {}};
    }
    DataFileReading reading;
    reading.linesRead.resize(static_cast<std::size_t>(layout.lines));
    std::vector<LoadError>& faults = reading.faults;
    std::string lineTaken;
    std::streambuf& buffer = *file.rdbuf();
    for (int index = 0; index < layout.lines && faults.size() < MaxLoadFaults; ++index) {
        const int lineNumber = index + 1;
        if (std::optional<std::string> readingEnds = takeNextLine(buffer, lineTaken, layout.lines)) {
            faults.push_back({fileName, lineNumber, std::move(*readingEnds)});
            return reading;
        }
        // The text ends at a NUL byte, as it would for a C string.
        const std::string_view line(lineTaken.c_str());
        if (index == 0 && line.substr(0, ByteOrderMark.size()) == ByteOrderMark) {
            reading.warnings.push_back({fileName, lineNumber,
                                        "the file starts with a UTF-8 byte-order mark: the game reads it as "
                                        "part of the first name"});
        }
        const std::vector<std::string_view> fields = splitFields(line);
        if (std::optional<std::string> fault = lineFault(line, fields, layout)) {
            faults.push_back({fileName, lineNumber, std::move(*fault)});
            continue;
        }
        std::vector<std::string> notes;
        std::optional<std::string> fault = take(index, FieldReader(fields, notes));
        if (std::optional<std::string> note = ignoredFieldsNote(line, fields, layout)) {
            notes.push_back(std::move(*note));
        }
        for (std::string& note : notes) {
            reading.warnings.push_back({fileName, lineNumber, std::move(note)});
        }
        if (fault) {
            faults.push_back({fileName, lineNumber, std::move(*fault)});
        } else {
            reading.linesRead[static_cast<std::size_t>(index)] = true;
        }
    }
    if (extent == LinesRead::All && faults.size() < MaxLoadFaults) {
        if (std::optional<LoadError> warning = ignoredLinesWarning(buffer, fileName, layout.lines)) {
            reading.warnings.push_back(std::move(*warning));
        }
    }
    return reading;
}
