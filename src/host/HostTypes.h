// Scalar types, geometry records and callback types of the host's filter interface.
//
// Widths are fixed so that Linux x86_64 gets the same layout as 64-bit Windows: never
// `long`, whose width differs between the two.
#pragma once

#include "platform/CallingConvention.h"

#include <cstdint>

using Boolean = std::uint8_t; // one byte, as the host's BYTE-based Boolean
using OSErr = std::int16_t;   // the host's result codes
using Fixed = std::int32_t;   // 16.16 fixed point
using OSType = std::uint32_t; // four-character code
using Ptr = char*;
using Handle = char**; // host handles are opaque; only the host or our fallback looks inside

struct Point {
    std::int16_t v;
    std::int16_t h;
};

struct Rect {
    std::int16_t top;
    std::int16_t left;
    std::int16_t bottom;
    std::int16_t right;
};

struct VPoint {
    std::int32_t v;
    std::int32_t h;
};

struct VRect {
    std::int32_t top;
    std::int32_t left;
    std::int32_t bottom;
    std::int32_t right;
};

struct PSRGBColor {
    std::uint16_t red;
    std::uint16_t green;
    std::uint16_t blue;
};

using FilterColor = std::uint8_t[4];

struct PlugInMonitor {
    Fixed gamma;
    Fixed redX;
    Fixed redY;
    Fixed greenX;
    Fixed greenY;
    Fixed blueX;
    Fixed blueY;
    Fixed whiteX;
    Fixed whiteY;
    Fixed ambient;
};

// Callbacks the host places in the FilterRecord. Only abortProc and advanceState are
// called by the plug-in; the others are declared for the record's layout.
typedef Boolean(HOST_API* TestAbortProc)();
typedef void(HOST_API* ProgressProc)(std::int32_t done, std::int32_t total);
typedef OSErr(HOST_API* AdvanceStateProc)();
typedef void(HOST_API* HostProc)(std::int16_t selector, std::intptr_t* data);
typedef void(HOST_API* ProcessEventProc)(void* event);
typedef OSErr(HOST_API* DisplayPixelsProc)(const void* source, const VRect* srcRect,
                                          std::int32_t dstRow, std::int32_t dstCol,
                                          void* platformContext);
typedef OSErr(HOST_API* ColorServicesProc)(void* info);
typedef OSErr(HOST_API* GetPropertyProc)(std::uint32_t signature, std::uint32_t key,
                                        std::int32_t index, std::intptr_t* simpleProperty,
                                        Handle* complexProperty);

static_assert(sizeof(Point) == 4 && sizeof(Rect) == 8, "16-bit geometry records");
static_assert(sizeof(VPoint) == 8 && sizeof(VRect) == 16, "32-bit geometry records");
static_assert(sizeof(PSRGBColor) == 6 && alignof(PSRGBColor) == 2, "PSRGBColor");
static_assert(sizeof(PlugInMonitor) == 40, "PlugInMonitor");
