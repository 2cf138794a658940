// FilterRecord access for the batch transfers.
#include "exchange/FilterAccess.h"

#include "core/Alert.h"
#include "core/Error.h"
#include "core/ResultCodes.h"
#include "core/TextUtilities.h"
#include "host/HostConstants.h"

#include <algorithm>

namespace {

constexpr std::uint32_t kLargestBound = 2147483647u;
constexpr std::uint32_t kLargestPlane = 32767u;

VRect ToVRect(const PlaneRect& rect) {
    return {rect.top, rect.left, rect.bottom, rect.right};
}

Rect ToRect(const PlaneRect& rect) {
    return {static_cast<std::int16_t>(rect.top), static_cast<std::int16_t>(rect.left),
            static_cast<std::int16_t>(rect.bottom), static_cast<std::int16_t>(rect.right)};
}

void StoreRect(FilterRecord* record, const PlaneRect& rect, VRect BigDocumentStruct::*big,
               Rect FilterRecord::*small) {
    RequirePointer(record);
    if (UsesBigCoordinates(record))
        record->bigDocumentData->*big = ToVRect(rect);
    else
        record->*small = ToRect(rect);
}

std::uint32_t AtLeastZero(std::int32_t value) {
    return value < 0 ? 0u : static_cast<std::uint32_t>(value);
}

} // namespace

bool UsesBigCoordinates(const FilterRecord* record) {
    RequirePointer(record);
    return record->bigDocumentData != nullptr &&
           record->bigDocumentData->PluginUsing32BitCoordinates != 0;
}

ImageSize GetImageSize(const FilterRecord* record) {
    RequirePointer(record);
    if (UsesBigCoordinates(record)) {
        const VPoint size = record->bigDocumentData->imageSize32;
        return {std::max(size.v, 0), std::max(size.h, 0)};
    }
    const Point size = record->imageSize;
    return {std::max<std::int32_t>(size.v, 0), std::max<std::int32_t>(size.h, 0)};
}

void SetInRect(FilterRecord* record, const PlaneRect& rect) {
    StoreRect(record, rect, &BigDocumentStruct::inRect32, &FilterRecord::inRect);
}

void SetOutRect(FilterRecord* record, const PlaneRect& rect) {
    StoreRect(record, rect, &BigDocumentStruct::outRect32, &FilterRecord::outRect);
}

void SetMaskRect(FilterRecord* record, const PlaneRect& rect) {
    StoreRect(record, rect, &BigDocumentStruct::maskRect32, &FilterRecord::maskRect);
}

void ClearPlaneRect(PlaneRect& rect) {
    rect = PlaneRect{};
}

void SetPlaneRectBounds(PlaneRect& rect, std::uint32_t left, std::uint32_t right, std::uint32_t top,
                        std::uint32_t bottom) {
    rect.left = static_cast<std::int32_t>(std::min(left, kLargestBound));
    rect.right = static_cast<std::int32_t>(std::min(right, kLargestBound));
    rect.top = static_cast<std::int32_t>(std::min(top, kLargestBound));
    rect.bottom = static_cast<std::int32_t>(std::min(bottom, kLargestBound));
}

void SetRowBatch(PlaneRect& rect, std::uint32_t segment, std::uint32_t capacity,
                 std::uint32_t width, std::uint32_t row, std::uint32_t firstPlane,
                 std::uint32_t planeCount) {
    ClearPlaneRect(rect);
    const std::uint32_t left = segment * capacity;
    const std::uint32_t right = std::min((segment + 1) * capacity, width);
    SetPlaneRectBounds(rect, left, right, row, row + 1);
    const std::uint32_t lo = ClampValue(firstPlane, 0, kLargestPlane);
    const std::uint32_t hi = ClampValue(firstPlane + planeCount - 1, lo, kLargestPlane);
    rect.loPlane = static_cast<std::int16_t>(lo);
    rect.hiPlane = static_cast<std::int16_t>(hi);
}

std::uint32_t GetBatchPixels(const PlaneRect& rect) {
    const std::uint32_t top = AtLeastZero(rect.top);
    const std::uint32_t bottom = AtLeastZero(rect.bottom);
    const std::uint32_t left = AtLeastZero(rect.left);
    const std::uint32_t right = AtLeastZero(rect.right);
    if (bottom < top || bottom - top != 1)
        return 0;
    return right > left ? right - left : 0;
}

std::uint32_t GetSegmentCount(std::uint32_t width, std::uint32_t capacity) {
    Require(capacity != 0);
    return width / capacity + (width % capacity != 0 ? 1 : 0);
}

std::int16_t RequestHostBatch(FilterRecord* record, const PlaneRect& rect) {
    RequirePointer(record);
    if (!CheckAdvanceState(record->advanceState))
        return paramErr;
    record->inputRate = kFixedOne;
    record->maskRate = kFixedOne;
    SetInRect(record, rect);
    record->inLoPlane = rect.loPlane;
    record->inHiPlane = rect.hiPlane;
    SetOutRect(record, rect);
    record->outLoPlane = rect.loPlane;
    record->outHiPlane = rect.hiPlane;
    return record->advanceState();
}

bool MatchesExportPlanes(PluginState* state, std::uint32_t channels) {
    const FilterRecord* record = ValidatePluginState(state)->filterRecord;
    return channels == static_cast<std::uint32_t>(record->planes) ||
           channels == static_cast<std::uint32_t>(record->outLayerPlanes);
}

bool MatchesImportPlanes(PluginState* state, std::uint32_t channels) {
    const FilterRecord* record = ValidatePluginState(state)->filterRecord;
    return channels == static_cast<std::uint32_t>(record->planes) ||
           channels == static_cast<std::uint32_t>(record->inLayerPlanes);
}

std::int16_t TestAbort(PluginState* state) {
    const FilterRecord* record = ValidatePluginState(state)->filterRecord;
    // A host without the callback cannot cancel.
    if (record->abortProc != nullptr && record->abortProc() != 0)
        return userCanceledErr;
    return noErr;
}
