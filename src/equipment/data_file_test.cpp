// The general data-file reader: lines, fields, the longest line, the lines
// counted, and the slips it notes, on a small layout of three lines of a
// name and a price; and the thousands separators it recognises.
#include "equipment/data_file.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/data_files.h"

namespace {

TEST(DataFileTest, ReadsLinesAndFieldsAndNotesEachFaultAndSlip) {
    const std::string longName(299 - 2, 'n');
    const struct {
        std::string contents;
        LinesRead extent;
        // "F" stands for the file's path.
        std::vector<std::string> faults;
        std::vector<std::string> warnings;
        std::vector<bool> linesRead;
    } cases[] = {
        {"a;1\nb;2\nc;3\n", LinesRead::Needed, {}, {}, {true, true, true}},
        {"a;1\r\nb;2\r\n;;c;;3;", LinesRead::Needed, {}, {}, {true, true, true}},
        {longName + ";1\nx" + longName + ";2\n" + std::string("c;3\0ignored;x\n", 14),
         LinesRead::Needed,
         {"F:2: the line is longer than 299 characters"},
         {},
         {true, false, true}},
        {"a;1\nb\nc\t3\n",
         LinesRead::Needed,
         {"F:2: the line has 1 field, 2 are needed",
          "F:3: the line has 1 field, 2 are needed: fields are separated by ';', not by tabs"},
         {},
         {true, false, false}},
        {"a;1\nrefused;2\n",
         LinesRead::Needed,
         {"F:2: refused", "F:3: missing line: 3 lines are needed"},
         {},
         {true, false, false}},
        {"\xEF\xBB\xBF"
         "a;1,200\nb;2;x;y\nc;3;x\nd\n\ne;4\n",
         LinesRead::All,
         {},
         {"F:1: the file starts with a UTF-8 byte-order mark: the game reads it as part of the first name",
          "F:1: the price \"1,200\" is read as 1, not as 1200: numbers take no thousands separator",
          "F:2: 2 fields after the price are ignored: \"x;y\"",
          "F:3: 1 field after the price is ignored: \"x\"",
          "F:4: 2 lines after line 3 are ignored: the game reads only the first 3"},
         {true, true, true}},
    };
    for (const auto& c : cases) {
        const ScratchFile file(c.contents);
        const DataFileReading reading = readDataFile(
            file.path(), {3, 2, "price"}, c.extent,
            [](int, const FieldReader& fields) -> std::optional<std::string> {
                fields.real(1, "price");
                return fields.text(0) == "refused" ? std::optional<std::string>("refused") : std::nullopt;
            });
        const auto messages = [&file](const std::vector<LoadError>& errors) {
            std::vector<std::string> lines;
            lines.reserve(errors.size());
            for (const LoadError& error : errors) {
                lines.push_back("F" + error.message().substr(file.path().size()));
            }
            return lines;
        };
        EXPECT_EQ(messages(reading.faults), c.faults) << c.contents;
        EXPECT_EQ(messages(reading.warnings), c.warnings) << c.contents;
        EXPECT_EQ(reading.linesRead, c.linesRead) << c.contents;
    }
}

TEST(DataFileTest, ThousandsSeparatorsAreReadAsMeant) {
    const struct {
        const char* text;
        std::optional<std::string> meant;
    } cases[] = {
        {"1.200", "1200"},
        {"1,200", "1200"},
        {" -12.345.678 ", "-12345678"},
        {"1,200.50", "1200.50"},
        {"+1.200,5", "+1200.5"},
        {"12.5", {}},
        {"1.2000", {}},
        {"1234.567", {}},
        {"1.200.5", {}},
        {"1,20", {}},
        {"1.200x", {}},
        {"", {}},
        {"abc", {}},
        {"1,200,000", "1200000"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(withoutThousandsSeparators(c.text), c.meant) << c.text;
    }
}

}  // namespace
