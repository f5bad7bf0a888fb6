// Numbers taken from answers and data-file fields: atoi and atof semantics,
// with integers outside the 32-bit range saturating instead of wrapping.
#include "console/numbers.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

TEST(NumbersTest, ReadIntegerReadsLikeAtoiAndSaturates) {
    const struct {
        const char* text;
        int value;
    } cases[] = {
        {"42", 42},
        {" 42", 42},
        {"\t\n 42", 42},
        {"+5", 5},
        {"-7", -7},
        {"007", 7},
        {"7abc", 7},
        {"1.9", 1},
        {"12 34", 12},
        {"abc", 0},
        {"", 0},
        {"-", 0},
        {"+", 0},
        {"- 5", 0},
        {"+-5", 0},
        {"0x1A", 0},
        {"2147483647", INT_MAX},
        {"2147483648", INT_MAX},
        {"4294967297", INT_MAX},
        {"99999999999999999999999999", INT_MAX},
        {"-2147483648", INT_MIN},
        {"-2147483649", INT_MIN},
        {"-99999999999", INT_MIN},
        {"-99999999999999999999999999", INT_MIN},
        {"4294967297abc", INT_MAX},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(readInteger(c.text), c.value) << '"' << c.text << '"';
    }
}

TEST(NumbersTest, ReadIntegerStopsAtTheEndOfTheView) {
    const std::string text = "123456";
    EXPECT_EQ(readInteger(std::string_view(text).substr(0, 3)), 123);
    EXPECT_EQ(readInteger(std::string_view(text).substr(3)), 456);
}

TEST(NumbersTest, ReadRealReadsLikeAtof) {
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"12.5", 12.5},   {"0", 0.0},        {"2.5\r", 2.5}, {" 7x", 7.0}, {"abc", 0.0},
        {"", 0.0},        {"-1.5", -1.5},    {"+3", 3.0},    {".5", 0.5},  {"1e2", 100.0},
        {"1200", 1200.0}, {"2.5e-1g", 0.25}, {"- 4", 0.0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(readReal(c.text), c.value) << '"' << c.text << '"';
    }
    const std::string text = "12.75";
    EXPECT_EQ(readReal(std::string_view(text).substr(0, 4)), 12.7);
}

}  // namespace
