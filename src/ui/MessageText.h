// Message texts: length-prefixed strings, the "^n" placeholders of the string table and
// the number format used in them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// A message holds at most this many characters: a length byte in front, and one position
// always kept for the terminating NUL.
constexpr std::size_t kMessageTextLimit = 254;

// A length-prefixed text: the length byte, the characters and a NUL.
struct LengthPrefixedText {
    unsigned char bytes[kMessageTextLimit + 2];
};

// `text` as a length-prefixed string, cut at kMessageTextLimit characters.
LengthPrefixedText MakeLengthPrefixed(std::string_view text);

// The characters of a length-prefixed string; a null pointer reads as empty.
std::string_view LengthPrefixedView(const unsigned char* text);

// Replaces "^1" and "^2" by the first and second parameter and removes "^0"; a "^"
// followed by anything else stays. Inserted parameters are taken literally, never scanned
// for placeholders themselves. The result is cut at kMessageTextLimit characters.
std::string ReplacePlaceholders(std::string_view text, std::string_view first,
                                std::string_view second);

// The same replacement without any cut: for the texts that name a path, which is of no use
// to the user once cut.
std::string ReplacePlaceholdersUncut(std::string_view text, std::string_view first,
                                     std::string_view second);

// `value` in decimal with exactly one fractional digit ("3.0"), whatever the C locale.
std::string FormatOneDecimal(double value);
