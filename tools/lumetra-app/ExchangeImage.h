// The exchange image the stand-in program reads and writes: "P6" with 16-bit big-endian
// samples and maxval 65535, or "PF" with little-endian floats and scale -1; three
// samples per pixel, top row first in both.
//
// The header is read by the plug-in's own rules: four tokens, each ended by exactly one
// line feed or one blank, at most 32 bytes before the delimiter; numbers are read as the
// C runtime's atoi reads them (so "-1.0" is -1). It is written as the plug-in writes it:
// each field followed by one line feed.
#pragma once

#include <cstdint>
#include <string>

struct ExchangeHeader {
    std::string magic; // "P6" or "PF"
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t maxval = 0; // 65535 for "P6", -1 for "PF"
};

struct ExchangeImage {
    ExchangeHeader header;
    std::string raster; // exactly width * height * 3 samples, as stored in the file
};

// Reads the token that starts at `position`: the bytes up to the first line feed or
// blank, which is consumed. False at the end of the data or when 33 bytes pass without
// a delimiter.
bool ReadHeaderToken(const std::string& bytes, std::size_t& position, std::string& token);

// The value atoi gives the token (leading white space, optional sign, digits up to the
// first other byte; 0 without digits), saturated to the 32-bit range.
std::int32_t TokenValue(const std::string& token);

// Parses a whole file. Refuses (false with a reason) any magic but "P6" and "PF", a
// maxval other than 65535 ("P6") or -1 ("PF"), an image without pixels, and a raster
// shorter than the header promises. Bytes after the raster are ignored.
bool ParseExchangeImage(const std::string& bytes, ExchangeImage& image, std::string& error);

// "P6\n<width>\n<height>\n65535\n" or "PF\n<width>\n<height>\n-1\n".
std::string FormatExchangeHeader(const ExchangeHeader& header);

bool IsFloatImage(const ExchangeImage& image);
std::size_t SampleCount(const ExchangeImage& image);

// One sample: the 16-bit value (0..65535) of a "P6" image, the float of a "PF" image.
double ReadSample(const ExchangeImage& image, std::size_t index);

// Stores a sample: "P6" values are rounded and clamped to 0..65535, "PF" values stored
// as single-precision floats.
void WriteSample(ExchangeImage& image, std::size_t index, double value);
