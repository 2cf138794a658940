// The document the test host holds: its colour, depth, size and interleaved samples.
//
// Samples are kept as the host keeps them: 8-bit values 0..255, 16-bit values in the
// host's range 0..32768, 32-bit floats with 1.0 as white. Channels beyond the colour
// channels are extra planes (alpha), filled opaque when the document is made.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

enum EColorMode { eColorRgb, eColorGray };

constexpr std::uint16_t kHost16Max = 32768; // 16-bit white in the host's range

struct Document {
    EColorMode color = eColorRgb;
    int depth = 8;                     // bits per sample: 8, 16 or 32
    std::int32_t width = 0;            // pixels
    std::int32_t height = 0;           // rows
    int channels = 0;                  // stored channels per pixel (colour first, then extras)
    std::vector<std::uint8_t> samples; // top row first, pixels interleaved, native byte order
};

// Largest width or height a document may have, and the largest sample storage.
constexpr std::int32_t kMaxDocumentSide = 1 << 20;
constexpr std::uint64_t kMaxDocumentBytes = std::uint64_t(1) << 31;

int ColorChannelCount(EColorMode color);
int BytesPerSample(int depth);

// Bytes of the sample storage of a document of this shape, or 0 when the shape is
// invalid (a side below 1 or above kMaxDocumentSide, a depth other than 8, 16 or 32,
// fewer channels than colour channels) or the storage would exceed kMaxDocumentBytes.
std::uint64_t DocumentBytes(EColorMode color, int depth, std::int32_t width, std::int32_t height,
                            int channels);

// A black document with opaque extra channels. Throws std::bad_alloc when the shape is
// invalid (see DocumentBytes) or memory runs out.
Document MakeDocument(EColorMode color, int depth, std::int32_t width, std::int32_t height,
                      int channels);

// Byte offset of one sample in `samples`.
std::size_t SampleOffset(const Document& document, std::int32_t x, std::int32_t y, int channel);

// One sample as a value between 0 and 1 (floats unchanged, 16-bit values above the host's
// white read as white), and back (integer depths clamp and round to nearest).
double ReadUnit(const Document& document, std::int32_t x, std::int32_t y, int channel);
void WriteUnit(Document& document, std::int32_t x, std::int32_t y, int channel, double value);

// 16-bit mapping between a file sample (0..maxval) and the host's range (0..32768),
// rounding to nearest. Values beyond the range are clamped first.
std::uint16_t FileToHost16(std::uint32_t value, std::uint32_t maxval);
std::uint32_t HostToFile16(std::uint32_t value, std::uint32_t maxval);

// Converts the document to another depth (values mapped through the unit range; floats
// clamped to 0..1 when they go to an integer depth).
void ConvertDepth(Document& document, int depth);

// Adds opaque extra channels until the document has `channels`; never removes any.
void WidenChannels(Document& document, int channels);
