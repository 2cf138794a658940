// Length-prefixed strings, placeholder replacement and the one-decimal number format.
#include "ui/MessageText.h"

#include <algorithm>
#include <charconv>
#include <cstring>

LengthPrefixedText MakeLengthPrefixed(std::string_view text) {
    LengthPrefixedText result{};
    const std::size_t length = std::min(text.size(), kMessageTextLimit);
    result.bytes[0] = static_cast<unsigned char>(length);
    std::memcpy(result.bytes + 1, text.data(), length);
    return result;
}

std::string_view LengthPrefixedView(const unsigned char* text) {
    if (text == nullptr)
        return {};
    return {reinterpret_cast<const char*>(text + 1), text[0]};
}

namespace {

std::string ReplaceUpTo(std::string_view text, std::string_view first, std::string_view second,
                        std::size_t limit) {
    std::string result;
    std::size_t position = 0;
    // Stops once the limit is reached: the rest would be cut anyway.
    while (position < text.size() && result.size() < limit) {
        const char c = text[position];
        const char next = position + 1 < text.size() ? text[position + 1] : '\0';
        if (c == '^' && next >= '0' && next <= '2') {
            if (next == '1')
                result.append(first);
            else if (next == '2')
                result.append(second);
            position += 2;
        } else {
            result.push_back(c);
            ++position;
        }
    }
    if (result.size() > limit)
        result.resize(limit);
    return result;
}

} // namespace

std::string ReplacePlaceholders(std::string_view text, std::string_view first,
                                std::string_view second) {
    return ReplaceUpTo(text, first, second, kMessageTextLimit);
}

std::string ReplacePlaceholdersUncut(std::string_view text, std::string_view first,
                                     std::string_view second) {
    return ReplaceUpTo(text, first, second, std::string::npos);
}

std::string FormatOneDecimal(double value) {
    char buffer[64];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 1);
    if (error != std::errc())
        return {};
    return std::string(buffer, end);
}
