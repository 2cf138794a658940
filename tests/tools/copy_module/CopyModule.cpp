// A filter module built only for the tests of the test host: it copies (or inverts) the
// pixels of the filter rectangle from input to output through the host's buffers, in
// row segments, so that the host's data path can be checked end to end.
//
// The environment steers it:
//   COPY_MODULE_OPERATION  copy (default) or invert
//   COPY_MODULE_STYLE      advance (default: advanceState inside start) or continue (one
//                          segment per continue call, the older protocol)
//   COPY_MODULE_SEGMENT    most pixels per request (default 1000)
//   COPY_MODULE_PUMP_MS    pump the thread's messages this long during start
#include "core/ResultCodes.h"
#include "host/FilterRecord.h"
#include "host/HostConstants.h"
#include "platform/CallingConvention.h"
#include "platform/HostWindow.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string Setting(const char* name, const char* fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : fallback;
}

bool SupportedMode(std::int16_t mode) {
    return mode == plugInModeGrayScale || mode == plugInModeGray16 || mode == plugInModeGray32 ||
           mode == plugInModeRGBColor || mode == plugInModeRGB48 || mode == plugInModeRGB96;
}

bool Uses32BitCoordinates(const FilterRecord* record) {
    return record->bigDocumentData != nullptr &&
           record->bigDocumentData->PluginUsing32BitCoordinates != 0;
}

VRect FilterRect(const FilterRecord* record) {
    if (Uses32BitCoordinates(record))
        return record->bigDocumentData->filterRect32;
    const Rect& r = record->filterRect;
    return {r.top, r.left, r.bottom, r.right};
}

// Asks for the same area as input and output, every plane, in the coordinates agreed.
void SetRequest(FilterRecord* record, const VRect& area) {
    if (Uses32BitCoordinates(record)) {
        record->bigDocumentData->inRect32 = area;
        record->bigDocumentData->outRect32 = area;
    } else {
        const Rect small{static_cast<std::int16_t>(area.top), static_cast<std::int16_t>(area.left),
                         static_cast<std::int16_t>(area.bottom),
                         static_cast<std::int16_t>(area.right)};
        record->inRect = small;
        record->outRect = small;
    }
    record->inLoPlane = record->outLoPlane = 0;
    record->inHiPlane = record->outHiPlane = static_cast<std::int16_t>(record->planes - 1);
    record->inputRate = kFixedOne;
    record->maskRate = kFixedOne;
}

VRect CurrentRequest(const FilterRecord* record) {
    if (Uses32BitCoordinates(record))
        return record->bigDocumentData->outRect32;
    const Rect& r = record->outRect;
    return {r.top, r.left, r.bottom, r.right};
}

// The segment after `area` in row order, or an empty one after the last.
VRect NextSegment(const VRect& filter, const VRect& area, std::int32_t segment) {
    VRect next = area;
    next.left = area.right;
    if (next.left >= filter.right) {
        next.left = filter.left;
        next.top = area.top + 1;
    }
    if (next.top >= filter.bottom)
        return {0, 0, 0, 0};
    next.bottom = next.top + 1;
    next.right = next.left + segment < filter.right ? next.left + segment : filter.right;
    return next;
}

VRect FirstSegment(const VRect& filter, std::int32_t segment) {
    return NextSegment(filter, {filter.top - 1, filter.right, filter.top, filter.right}, segment);
}

std::int32_t SegmentLength() {
    const int value = std::atoi(Setting("COPY_MODULE_SEGMENT", "1000").c_str());
    return value > 0 ? value : 1000;
}

void TransferSample(const std::uint8_t* in, std::uint8_t* out, std::int32_t depth, bool invert) {
    if (depth == 8) {
        *out = invert ? static_cast<std::uint8_t>(255 - *in) : *in;
    } else if (depth == 16) {
        std::uint16_t value;
        std::memcpy(&value, in, sizeof value);
        if (invert)
            value = static_cast<std::uint16_t>(32768 - value);
        std::memcpy(out, &value, sizeof value);
    } else {
        float value;
        std::memcpy(&value, in, sizeof value);
        if (invert)
            value = 1.0f - value;
        std::memcpy(out, &value, sizeof value);
    }
}

// Copies the delivered input into the output buffer, row by row through the host's
// row strides, pixel by pixel through its column strides.
void CopyDelivered(const FilterRecord* record, const VRect& area) {
    const bool invert = Setting("COPY_MODULE_OPERATION", "copy") == "invert";
    const std::int32_t planes = record->planes;
    for (std::int32_t y = 0; y < area.bottom - area.top; ++y) {
        const auto* inRow =
            static_cast<const std::uint8_t*>(record->inData) + y * record->inRowBytes;
        auto* outRow = static_cast<std::uint8_t*>(record->outData) + y * record->outRowBytes;
        for (std::int32_t x = 0; x < area.right - area.left; ++x)
            for (std::int32_t plane = 0; plane < planes; ++plane)
                TransferSample(inRow + x * record->inColumnBytes + plane * record->inPlaneBytes,
                               outRow + x * record->outColumnBytes + plane * record->outPlaneBytes,
                               record->depth, invert);
    }
}

void ClearRequest(FilterRecord* record) {
    SetRequest(record, {0, 0, 0, 0});
}

std::int16_t Prepare(FilterRecord* record) {
    if (!SupportedMode(record->imageMode))
        return filterBadMode;
    if (record->bigDocumentData != nullptr)
        record->bigDocumentData->PluginUsing32BitCoordinates = 1;
    record->bufferSpace = 0;
    return noErr;
}

std::int16_t StartAdvancing(FilterRecord* record) {
    if (record->advanceState == nullptr)
        return errPlugInHostInsufficient;
    const std::int32_t pumpMs = std::atoi(Setting("COPY_MODULE_PUMP_MS", "0").c_str());
    if (pumpMs > 0)
        PumpMessagesFor(static_cast<std::uint32_t>(pumpMs));
    const VRect filter = FilterRect(record);
    const std::int32_t segment = SegmentLength();
    for (VRect area = FirstSegment(filter, segment); area.bottom > area.top;
         area = NextSegment(filter, area, segment)) {
        SetRequest(record, area);
        const OSErr result = record->advanceState();
        if (result != noErr)
            return result;
        if (record->abortProc != nullptr && record->abortProc())
            return userCanceledErr;
        if (record->inData == nullptr || record->outData == nullptr)
            return paramErr;
        CopyDelivered(record, area);
    }
    ClearRequest(record);
    return noErr;
}

std::int16_t Start(FilterRecord* record) {
    if (Setting("COPY_MODULE_STYLE", "advance") == "continue") {
        SetRequest(record, FirstSegment(FilterRect(record), SegmentLength()));
        return noErr;
    }
    return StartAdvancing(record);
}

// The older protocol: the host delivered what the previous call asked for.
std::int16_t Continue(FilterRecord* record) {
    const VRect area = CurrentRequest(record);
    if (record->inData == nullptr || record->outData == nullptr)
        return paramErr;
    CopyDelivered(record, area);
    SetRequest(record, NextSegment(FilterRect(record), area, SegmentLength()));
    return noErr;
}

std::int16_t About(const AboutRecord* about) {
    return about->platformData != nullptr && about->sSPBasic != nullptr ? noErr : paramErr;
}

} // namespace

extern "C" PLUGIN_EXPORT void HOST_API PluginMain(std::int16_t selector, void* block,
                                                  std::intptr_t* data, std::int16_t* result) {
    if (block == nullptr || data == nullptr || result == nullptr)
        return;
    auto* record = static_cast<FilterRecord*>(block);
    switch (selector) {
    case filterSelectorAbout:
        *result = About(static_cast<const AboutRecord*>(block));
        break;
    case filterSelectorPrepare:
        *result = Prepare(record);
        break;
    case filterSelectorStart:
        ++*data; // counts the runs, so the slot shows whether the host kept it
        *result = Start(record);
        break;
    case filterSelectorContinue:
        *result = Continue(record);
        break;
    case filterSelectorFinish:
        ClearRequest(record);
        *result = noErr;
        break;
    default:
        *result = noErr;
        break;
    }
}
