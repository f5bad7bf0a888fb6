// Number reading for typed answers and data-file fields.
#include "console/numbers.h"

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <string>

std::optional<unsigned> readWholeNumber(std::string_view text) {
    unsigned value = 0;
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

int readInteger(std::string_view text) {
    // strtoll reads exactly what atoi reads and saturates instead of
    // overflowing; the 32-bit clamp does the same for the wider type.
    const std::string copy(text);
    const long long value = std::strtoll(copy.c_str(), nullptr, 10);
    if (value > INT_MAX) {
        return INT_MAX;
    }
    if (value < INT_MIN) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

double readReal(std::string_view text) {
    const std::string copy(text);
    return std::strtod(copy.c_str(), nullptr);
}

namespace {
// The text past `end`, a pointer into `copy`, the NUL-ended copy of `text`.
UnreadText unreadFrom(std::string_view text, const std::string& copy, const char* end) {
    const auto used = static_cast<std::size_t>(end - copy.c_str());
    return {used > 0, used > 0 ? text.substr(used) : text};
}
}  // namespace

UnreadText unreadAfterInteger(std::string_view text) {
    const std::string copy(text);
    char* end = nullptr;
    static_cast<void>(std::strtoll(copy.c_str(), &end, 10));
    return unreadFrom(text, copy, end);
}

UnreadText unreadAfterReal(std::string_view text) {
    const std::string copy(text);
    char* end = nullptr;
    static_cast<void>(std::strtod(copy.c_str(), &end));
    return unreadFrom(text, copy, end);
}
