// Reading numbers out of text the way atoi and atof do, for typed answers and
// data-file fields alike.
#pragma once

#include <optional>
#include <string_view>

// Leading white space, an optional sign, then decimal digits up to the first
// other character; 0 when there are none. Values beyond the signed 32-bit
// range saturate to the nearest limit instead of wrapping.
int readInteger(std::string_view text);

// Plain decimal digits, nothing else, that fit an unsigned: a seed, a pause,
// a version; nothing for any other text.
std::optional<unsigned> readWholeNumber(std::string_view text);

// A decimal real (optional fraction and exponent) after leading white space,
// as atof reads it; 0 when there is none.
double readReal(std::string_view text);

// What readInteger or readReal leaves unread of a text: the characters after
// the number, or the whole text when it holds no number at all.
struct UnreadText {
    bool hasNumber = false;
    std::string_view rest;
};
UnreadText unreadAfterInteger(std::string_view text);
UnreadText unreadAfterReal(std::string_view text);
