// Small argument-checking text helpers shared by the file formats and the path code.
#pragma once

#include <cstdint>

// strlen, byte-wise equality and strchr that throw EError for a null text.
std::uint32_t TextLength(const char* text);
bool TextEquals(const char* first, const char* second);
const char* FindChar(const char* text, char character);
char* FindChar(char* text, char character);

// printf-style formatting bounded by `size` (at least 1); the last byte of the buffer is
// always zero, so the result is always terminated. A result that does not fit is cut.
void FormatText(char* buffer, std::uint32_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// The decimal value of a text by atoi's rules: leading white space is skipped, an
// optional sign taken, then the digits up to the first other character; no digits give 0.
// Unlike atoi it never overflows: a value beyond the 32-bit range comes back as a 64-bit
// value that is beyond it too (the digits stop counting past 2^32). Throws for null.
std::int64_t ReadDecimal(const char* text);

// Blank for the settings file and header rules: space or horizontal tab only.
bool IsBlank(char character);

// `value` limited to [lower, upper], in unsigned comparison.
std::uint32_t ClampValue(std::uint32_t value, std::uint32_t lower, std::uint32_t upper);
