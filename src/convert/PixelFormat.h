// The pixel format of a document or an exchange file, computed from the FilterRecord.
#pragma once

#include "host/FilterRecord.h"

#include <cstdint>

enum EPixelFormat : std::int32_t {
    ePixelNone = 0, // unsupported document
    ePixelRGB8 = 1,
    ePixelRGB16 = 2,
    ePixelRGB32 = 3, // single-precision float samples
    ePixelGray8 = 4,
    ePixelGray16 = 5,
    ePixelGray32 = 6,
};

// Depth classes: which exchange layout and file extension a document gets.
enum EDepthClass : std::int32_t {
    eDepthNone = 0,
    eDepth8 = 1,
    eDepth16 = 2,
    eDepth32 = 3,
};

// RGB (modes RGB, RGB48, RGB96) with at least 3 planes; gray (Gray, Gray16, Gray32) with
// at least 1. Both throw EError for a null record.
bool IsRGBDocument(const FilterRecord* record);
bool IsGrayDocument(const FilterRecord* record);

// The document's format; the sample size comes from `depth` alone.
EPixelFormat GetPixelFormat(const FilterRecord* record);

// The depth class of the document's format.
EDepthClass GetDepthClass(const FilterRecord* record);

// 3 for the RGB formats, 1 for the gray ones, 0 for any other nonzero value; throws
// EError for ePixelNone.
std::uint32_t GetChannelCount(EPixelFormat format);

// Format groups, for the converters' dispatch.
bool IsRGBFormat(EPixelFormat format);
bool IsGrayFormat(EPixelFormat format);
