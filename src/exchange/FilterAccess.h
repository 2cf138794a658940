// What the export and import share of the FilterRecord: the batch rectangle, the document
// size in 16-bit or 32-bit coordinates, the rectangle setters, the plane-count tests and
// the cancel test.
#pragma once

#include "convert/ExchangeHeader.h"
#include "core/PluginState.h"

#include <cstdint>

// One batch: a segment of one row and a plane range.
struct PlaneRect {
    std::int32_t top;
    std::int32_t left;
    std::int32_t bottom; // row after the last
    std::int32_t right;  // column after the last
    std::int16_t loPlane;
    std::int16_t hiPlane; // inclusive
};

// True when the host offers the big-document block and the plug-in has switched to it.
bool UsesBigCoordinates(const FilterRecord* record);

// The document size (never negative), from imageSize32 or imageSize. Throws for null.
ImageSize GetImageSize(const FilterRecord* record);

// Store the rectangle into the 32-bit or (cut to 16 bits) the 16-bit field. Planes are
// not touched. Throw for a null record.
void SetInRect(FilterRecord* record, const PlaneRect& rect);
void SetOutRect(FilterRecord* record, const PlaneRect& rect);
void SetMaskRect(FilterRecord* record, const PlaneRect& rect);

void ClearPlaneRect(PlaneRect& rect);

// Stores each bound limited to 2147483647 in unsigned comparison (so negative values
// become 2147483647).
void SetPlaneRectBounds(PlaneRect& rect, std::uint32_t left, std::uint32_t right, std::uint32_t top,
                        std::uint32_t bottom);

// Segment `segment` of row `row`: columns segment × capacity up to the smaller of the next
// segment's start and the width; planes first to first + count - 1, limited to 32767.
void SetRowBatch(PlaneRect& rect, std::uint32_t segment, std::uint32_t capacity,
                 std::uint32_t width, std::uint32_t row, std::uint32_t firstPlane,
                 std::uint32_t planeCount);

// Pixels in a one-row batch; 0 for anything that is not exactly one row.
std::uint32_t GetBatchPixels(const PlaneRect& rect);

// Segments of at most `capacity` pixels in a row of `width` pixels.
std::uint32_t GetSegmentCount(std::uint32_t width, std::uint32_t capacity);

// Asks the host for the batch at full resolution, with the same rectangle and planes for
// input and output. -50 when the host offers no advanceState (after telling the user),
// else advanceState's code. Throws EError for a null record.
std::int16_t RequestHostBatch(FilterRecord* record, const PlaneRect& rect);

// Whether the converter's document-side channel count matches the host's planes (or its
// layer plane count for output, respectively input).
bool MatchesExportPlanes(PluginState* state, std::uint32_t channels);
bool MatchesImportPlanes(PluginState* state, std::uint32_t channels);

// -128 when the host's abort callback reports a cancel, else 0.
std::int16_t TestAbort(PluginState* state);
