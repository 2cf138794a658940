// Exchange image headers over the file access layer. The header is written one line per
// write and read one byte per read: it is a few dozen bytes, and reading no further than
// its last delimiter leaves the file positioned at the first raster byte.
#include "exchange/ExchangeImage.h"

#include "core/Error.h"
#include "core/FileAccess.h"
#include "core/ResultCodes.h"
#include "core/TextUtilities.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

constexpr char kLineFeed = '\n';
constexpr char kBlank = ' ';

// Values that no converter ever expects (widths and heights are at most 2^31 - 1, maxvals
// are 255, 65535 or -1), so an overlong number fails the comparison.
constexpr std::uint32_t kUnmatchableSize = std::numeric_limits<std::uint32_t>::max();
constexpr std::int32_t kUnmatchableMaxval = std::numeric_limits<std::int32_t>::min();

bool FitsInt32(std::int64_t value) {
    return value >= std::numeric_limits<std::int32_t>::min() &&
           value <= std::numeric_limits<std::int32_t>::max();
}

std::uint32_t SizeValue(const char* token) {
    const std::int64_t value = ReadDecimal(token);
    if (!FitsInt32(value))
        return value < 0 ? 0 : kUnmatchableSize;
    return static_cast<std::uint32_t>(std::max<std::int64_t>(value, 0));
}

std::int32_t MaxvalValue(const char* token) {
    const std::int64_t value = ReadDecimal(token);
    return FitsInt32(value) ? static_cast<std::int32_t>(value) : kUnmatchableMaxval;
}

// ReadHeaderToken, also telling where the token ended: a zero byte inside a token stays
// part of it, so the magic "P6" followed by a zero is not "P6".
std::int16_t ReadToken(PluginState* state, char* buffer, std::uint32_t size,
                       std::uint32_t& length) {
    ValidatePluginState(state);
    RequirePointer(buffer);
    std::memset(buffer, 0, size);
    length = 0;
    for (std::uint32_t i = 0; i < size; ++i) {
        // At the end of the file nothing more can arrive: the token is incomplete.
        if (!ReadExact(state->processedFile, &buffer[i], 1))
            return paramErr;
        if (buffer[i] == kLineFeed || buffer[i] == kBlank) {
            buffer[i] = '\0';
            length = i;
            return noErr;
        }
    }
    return paramErr;
}

template <typename Value>
std::int16_t WriteFormattedLine(PluginState* state, const char* format, Value value) {
    char line[kHeaderLineSize] = {};
    FormatText(line, kHeaderLineSize, format, value);
    const std::uint32_t length = TextLength(line);
    if (length >= kHeaderLineSize - 1)
        return paramErr;
    line[length] = kLineFeed;
    line[length + 1] = '\0';
    return WriteText(state, line);
}

} // namespace

std::int16_t WriteExchangeHeader(PluginState* state, const ExchangeHeader& header) {
    if (ValidatePluginState(state)->converter == nullptr)
        return paramErr;
    std::int16_t result = WriteHeaderLine(state, "%s", header.magic.c_str());
    if (result == noErr)
        result = WriteHeaderLine(state, "%i", static_cast<std::int32_t>(header.width));
    if (result == noErr)
        result = WriteHeaderLine(state, "%i", static_cast<std::int32_t>(header.height));
    if (result == noErr)
        result = WriteHeaderLine(state, "%i", header.maxval);
    return result;
}

std::int16_t WriteHeaderLine(PluginState* state, const char* format, const char* value) {
    ValidatePluginState(state);
    RequirePointer(value);
    // The format must match the value's type: anything else would read the wrong argument.
    Require(TextEquals(format, "%s"));
    return WriteFormattedLine(state, format, value);
}

std::int16_t WriteHeaderLine(PluginState* state, const char* format, std::int32_t value) {
    ValidatePluginState(state);
    Require(TextEquals(format, "%i"));
    return WriteFormattedLine(state, format, static_cast<int>(value));
}

std::int16_t WriteText(PluginState* state, const char* text) {
    ValidatePluginState(state);
    return WriteBytes(state, text, TextLength(text));
}

std::int16_t WriteBytes(PluginState* state, const void* data, std::uint32_t count) {
    return WriteExact(ValidatePluginState(state)->exportFile, data, count) ? noErr : writErr;
}

std::int16_t ReadHeaderToken(PluginState* state, char* buffer, std::uint32_t size) {
    std::uint32_t length = 0;
    return ReadToken(state, buffer, size, length);
}

std::int16_t ReadExchangeHeader(PluginState* state, ExchangeHeader& header) {
    ValidatePluginState(state);
    header = ExchangeHeader{};
    char token[kHeaderLineSize];
    std::uint32_t length = 0;
    std::int16_t result = ReadToken(state, token, kHeaderLineSize, length);
    if (result != noErr)
        return result;
    header.magic.assign(token, length);
    if ((result = ReadHeaderToken(state, token, kHeaderLineSize)) != noErr)
        return result;
    header.width = SizeValue(token);
    if ((result = ReadHeaderToken(state, token, kHeaderLineSize)) != noErr)
        return result;
    header.height = SizeValue(token);
    if ((result = ReadHeaderToken(state, token, kHeaderLineSize)) != noErr)
        return result;
    header.maxval = MaxvalValue(token);
    return noErr;
}

bool IsSameHeader(const ExchangeHeader& first, const ExchangeHeader& second) {
    return first.magic == second.magic && first.width == second.width &&
           first.height == second.height && first.maxval == second.maxval;
}
