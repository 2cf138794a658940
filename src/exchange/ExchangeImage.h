// The header of an exchange image: writing it field by field into the export file, and
// reading and comparing the header of the processed file.
//
// Each of the four fields (magic, width, height, maxval or scale) stands on a line of its
// own ended by one line feed. The reader is more lenient: a field ends at a line feed or
// at one blank, so "640 480" on one line is read too. The raster follows the fourth line
// feed at once: 16-bit big-endian samples for "P6", little-endian floats for "PF", three
// per pixel, top row first.
#pragma once

#include "convert/ExchangeHeader.h"
#include "core/PluginState.h"

#include <cstdint>

// One header line or token: at most 31 written characters before the line feed, at most
// 32 read characters before the delimiter.
constexpr std::uint32_t kHeaderLineSize = 33;

// Writes the four header lines into the export file. 0; -50 when the state holds no
// converter or a line is too long; -20 when a write fails. A failure leaves the lines
// written before it in the file.
std::int16_t WriteExchangeHeader(PluginState* state, const ExchangeHeader& header);

// Writes one header line: the value formatted with "%s" (text form) or "%i" (integer
// form) and a line feed. 0; -50 for 32 characters or more (nothing written); -20. Throws
// EError for a null format or text, or a format other than the form's own.
std::int16_t WriteHeaderLine(PluginState* state, const char* format, const char* value);
std::int16_t WriteHeaderLine(PluginState* state, const char* format, std::int32_t value);

// Write into the export file: 0, or -20 unless every byte was written. Throw EError for
// null data, a count of 0 (an empty text included) or a closed file.
std::int16_t WriteText(PluginState* state, const char* text);
std::int16_t WriteBytes(PluginState* state, const void* data, std::uint32_t count);

// Reads one token from the processed file into `buffer` (zero-filled first): the bytes up
// to a line feed or blank, which is consumed and not stored. 0; -50 when the file ends
// first or `size` bytes pass without a delimiter. Throws EError for a null buffer.
std::int16_t ReadHeaderToken(PluginState* state, char* buffer, std::uint32_t size);

// Reads the four header tokens into `header` (reset first): the magic byte for byte, the
// width and height as decimal values of at least 0, the maxval as it is. 0, or -50 from
// the first token that cannot be read (the fields before it keep their values). A number
// beyond the 32-bit range reads as a value that matches no expected header.
std::int16_t ReadExchangeHeader(PluginState* state, ExchangeHeader& header);

// Same magic (byte for byte, case-sensitive), width, height and maxval.
bool IsSameHeader(const ExchangeHeader& first, const ExchangeHeader& second);
