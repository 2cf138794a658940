// Text helpers: null checks in front of the C library's string functions.
#include "core/TextUtilities.h"

#include "core/Error.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

std::uint32_t TextLength(const char* text) {
    return static_cast<std::uint32_t>(std::strlen(RequirePointer(text)));
}

bool TextEquals(const char* first, const char* second) {
    return std::strcmp(RequirePointer(first), RequirePointer(second)) == 0;
}

const char* FindChar(const char* text, char character) {
    return std::strchr(RequirePointer(text), character);
}

char* FindChar(char* text, char character) {
    return std::strchr(RequirePointer(text), character);
}

void FormatText(char* buffer, std::uint32_t size, const char* format, ...) {
    Require(buffer != nullptr && format != nullptr && size >= 1);
    std::va_list arguments;
    va_start(arguments, format);
    // vsnprintf cuts a long result instead of aborting the host process as the runtime's
    // checked variant would.
    const int written = std::vsnprintf(buffer, size, format, arguments);
    va_end(arguments);
    if (written < 0)
        buffer[0] = '\0';
    buffer[size - 1] = '\0';
}

std::int64_t ReadDecimal(const char* text) {
    RequirePointer(text);
    // atoi's white space: blank, tab, line feed, vertical tab, form feed, carriage return.
    while (*text == ' ' || (*text >= '\t' && *text <= '\r'))
        ++text;
    const bool negative = *text == '-';
    if (*text == '-' || *text == '+')
        ++text;
    constexpr std::int64_t kCeiling = std::int64_t{1} << 32;
    std::int64_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        if (value < kCeiling)
            value = value * 10 + (*text - '0');
    }
    return negative ? -value : value;
}

bool IsBlank(char character) {
    return character == ' ' || character == '\t';
}

std::uint32_t ClampValue(std::uint32_t value, std::uint32_t lower, std::uint32_t upper) {
    if (value < lower)
        return lower;
    if (value > upper)
        return upper;
    return value;
}
