// Pixel format rules: which documents the plug-in supports and how they are sampled.
#include "convert/PixelFormat.h"

#include "core/Error.h"
#include "host/HostConstants.h"

namespace {

EPixelFormat FormatForDepth(std::int32_t depth, EPixelFormat eight, EPixelFormat sixteen,
                            EPixelFormat thirtyTwo) {
    switch (depth) {
    case 8:
        return eight;
    case 16:
        return sixteen;
    case 32:
        return thirtyTwo;
    default:
        return ePixelNone;
    }
}

} // namespace

bool IsRGBDocument(const FilterRecord* record) {
    RequirePointer(record);
    const std::int16_t mode = record->imageMode;
    return (mode == plugInModeRGBColor || mode == plugInModeRGB48 || mode == plugInModeRGB96) &&
           record->planes >= 3;
}

bool IsGrayDocument(const FilterRecord* record) {
    RequirePointer(record);
    const std::int16_t mode = record->imageMode;
    return (mode == plugInModeGrayScale || mode == plugInModeGray16 ||
            mode == plugInModeGray32) &&
           record->planes >= 1;
}

EPixelFormat GetPixelFormat(const FilterRecord* record) {
    if (IsRGBDocument(record))
        return FormatForDepth(record->depth, ePixelRGB8, ePixelRGB16, ePixelRGB32);
    if (IsGrayDocument(record))
        return FormatForDepth(record->depth, ePixelGray8, ePixelGray16, ePixelGray32);
    return ePixelNone;
}

EDepthClass GetDepthClass(const FilterRecord* record) {
    switch (GetPixelFormat(record)) {
    case ePixelRGB8:
    case ePixelGray8:
        return eDepth8;
    case ePixelRGB16:
    case ePixelGray16:
        return eDepth16;
    case ePixelRGB32:
    case ePixelGray32:
        return eDepth32;
    default:
        return eDepthNone;
    }
}

std::uint32_t GetChannelCount(EPixelFormat format) {
    Require(format != ePixelNone);
    if (IsRGBFormat(format))
        return 3;
    if (IsGrayFormat(format))
        return 1;
    return 0;
}

bool IsRGBFormat(EPixelFormat format) { return format >= ePixelRGB8 && format <= ePixelRGB32; }

bool IsGrayFormat(EPixelFormat format) {
    return format >= ePixelGray8 && format <= ePixelGray32;
}
