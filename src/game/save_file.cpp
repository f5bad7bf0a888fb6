// Reading and writing the save file's header and keys, strictly: a file
// that is not exactly what the game writes is refused with the line at
// fault, and nothing is read past the bounds.
#include "game/save_file.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr std::string_view VersionLine = "brawlarium save ";

// Takes the next line, without its line end, off the front of text; nothing
// when no line end is left.
std::optional<std::string_view> takeLine(std::string_view& text) {
    const auto end = text.find('\n');
    if (end == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end + 1);
    return line;
}

std::optional<unsigned> readNumber(std::string_view text) {
    unsigned value = 0;
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

// The value of a "name value" line, when the line starts with that name.
std::optional<std::string_view> valueOf(std::string_view line, std::string_view name) {
    if (line.size() <= name.size() || line.substr(0, name.size()) != name || line[name.size()] != ' ') {
        return std::nullopt;
    }
    return line.substr(name.size() + 1);
}

bool isDigest(std::string_view text) {
    constexpr std::string_view Prefix = "fnv1a64:";
    if (text.size() != Prefix.size() + 16 || text.substr(0, Prefix.size()) != Prefix) {
        return false;
    }
    const std::string_view hex = text.substr(Prefix.size());
    return std::all_of(hex.begin(), hex.end(),
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

// Whitespace as the questions' word reading sees it: never inside an answer.
bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

std::string lineError(std::size_t number, const std::string& what) {
    return "line " + std::to_string(number) + ": " + what;
}

// Reads the five header lines and the "keys" line off the front of text.
ReadSaveFile readHeader(std::string_view& text) {
    ReadSaveFile read;
    const auto first = takeLine(text);
    if (!first || first->substr(0, VersionLine.size()) != VersionLine) {
        read.error = "it is not a save file: its first line is not 'brawlarium save " +
                     std::to_string(SaveFormatVersion) + "'";
        return read;
    }
    const auto version = readNumber(first->substr(VersionLine.size()));
    if (!version || *version != SaveFormatVersion) {
        read.error = "it is in save format '" + std::string(first->substr(VersionLine.size())) +
                     "', this game reads version " + std::to_string(SaveFormatVersion);
        return read;
    }
    // Each line after the first: its name, why it is needed, and its value.
    struct Field {
        std::string_view name;
        const char* needed;
        std::string_view value{};
    };
    Field fields[] = {
        {"generator", "'generator' and a name are needed"},
        {"seed", "'seed' and a whole number from 0 to 4294967295 are needed"},
        {"weapons", "'weapons' and the weapon list's digest are needed"},
        {"armors", "'armors' and the armor list's digest are needed"},
    };
    std::size_t lineNumber = 1;
    for (Field& field : fields) {
        ++lineNumber;
        const auto line = takeLine(text);
        const auto value = line ? valueOf(*line, field.name) : std::nullopt;
        const bool good = value && (field.name == "generator" ? value->size() <= 64
                                    : field.name == "seed"    ? readNumber(*value).has_value()
                                                              : isDigest(*value));
        if (!good) {
            read.error = lineError(lineNumber, field.needed);
            return read;
        }
        field.value = *value;
    }
    const auto keys = takeLine(text);
    if (!keys || *keys != "keys") {
        read.error = lineError(6, "'keys' is needed");
        return read;
    }
    read.header = SaveHeader{std::string(fields[0].value), readNumber(fields[1].value).value_or(0),
                             std::string(fields[2].value), std::string(fields[3].value)};
    return read;
}

// Checks every key line: none holds whitespace, and the last one ends.
std::string keysError(std::string_view keys) {
    std::size_t line = 7;
    for (const char c : keys) {
        if (c == '\n') {
            ++line;
        } else if (isSpace(c)) {
            return lineError(line, "an answer holds a space or a control character");
        }
    }
    if (!keys.empty() && keys.back() != '\n') {
        return lineError(line, "the last key has no line end: the keys are cut short");
    }
    return "";
}

}  // namespace

ReadSaveFile readSaveFile(std::string_view bytes) {
    std::string_view text = bytes.substr(0, MostHeaderBytes + MostKeyBytes + 1);
    ReadSaveFile read = readHeader(text);
    if (!read.header) {
        return read;
    }
    if (text.size() > MostKeyBytes) {
        read.header.reset();
        read.error = "it holds more than " + std::to_string(MostKeyBytes) + " bytes of keys";
        return read;
    }
    read.error = keysError(text);
    if (!read.error.empty()) {
        read.header.reset();
        return read;
    }
    read.keys = std::string(text);
    return read;
}

std::string saveHeaderText(const SaveHeader& header) {
    return std::string(VersionLine) + std::to_string(SaveFormatVersion) + "\ngenerator " + header.generator +
           "\nseed " + std::to_string(header.seed) + "\nweapons " + header.weaponsDigest + "\narmors " +
           header.armorsDigest + "\nkeys\n";
}

std::string headerDifference(const SaveHeader& saved, const SaveHeader& here) {
    if (saved.generator != here.generator) {
        return "it was saved by a build whose random generator is '" + saved.generator + "', not '" +
               here.generator + "' as in this one: its seed plays another game here";
    }
    if (saved.weaponsDigest != here.weaponsDigest && saved.armorsDigest != here.armorsDigest) {
        return "it was saved with another weapon list and another armor list";
    }
    if (saved.weaponsDigest != here.weaponsDigest) {
        return "it was saved with another weapon list";
    }
    if (saved.armorsDigest != here.armorsDigest) {
        return "it was saved with another armor list";
    }
    return "";
}

std::string listDigest(std::string_view bytes) {
    std::uint64_t digest = 14695981039346656037ULL;
    for (const char c : bytes) {
        digest ^= static_cast<unsigned char>(c);
        digest *= 1099511628211ULL;
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(digest));
    return std::string("fnv1a64:") + text;
}

std::string randomGeneratorName() {
    std::srand(1);
    const int first = std::rand();
    const int second = std::rand();
    if (first == 1804289383 && second == 846930886) {
        return "glibc";
    }
    if (first == 0 && second == 740882966) {
        return "musl";
    }
    if (first == 41 && second == 18467) {
        return "msvcrt";
    }
    char text[32];
    std::snprintf(text, sizeof text, "rand-%08x-%08x", static_cast<unsigned>(first),
                  static_cast<unsigned>(second));
    return text;
}

std::string_view SavedKeys::take() {
    const auto end = rest.find('\n');
    const std::string_view key = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    ++line;
    return key;
}
