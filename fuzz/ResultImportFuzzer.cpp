// Fuzz target: the import of a processed file. The first bytes of an input choose the
// document (one of the six formats, its size, the host's coordinates and faults); the
// rest is the processed file, read through the plug-in's own header reader and import
// into a small in-process host.
//
// Properties beyond the sanitizers': the header reader gives 0 or -50; the import gives
// a code it documents (-50 for an unreadable header, -19 for another header or a file
// that ends early, and a fault's code only when the host plays that fault); every
// request is one row segment inside the document, in raster order, with the document's
// planes; the plug-in writes only into the output buffer of the batch it asked for
// (each batch gets a buffer of exactly its size); a success has asked for every pixel,
// and the file then held the whole raster.
#include "FuzzSupport.h"

#include "core/FileAccess.h"
#include "core/PluginState.h"
#include "core/ResultCodes.h"
#include "exchange/ExchangeImage.h"
#include "exchange/ResultImport.h"
#include "host/HostConstants.h"

#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct DocumentFormat {
    std::int16_t mode;
    std::int32_t depth;
    std::int16_t channels;
    const char* magic;
    std::int32_t maxval;
    std::uint32_t fileBytesPerPixel;
};

constexpr DocumentFormat kFormats[] = {
    {plugInModeRGBColor, 8, 3, "P6", 65535, 6}, {plugInModeRGB48, 16, 3, "P6", 65535, 6},
    {plugInModeRGB96, 32, 3, "PF", -1, 12},     {plugInModeGrayScale, 8, 1, "P6", 65535, 6},
    {plugInModeGray16, 16, 1, "P6", 65535, 6},  {plugInModeGray32, 32, 1, "PF", -1, 12},
};

// The document bytes in front of the processed file.
constexpr std::size_t kPrefixSize = 6;
constexpr std::int32_t kMaxWidth = 1200; // beyond one 1000-pixel segment
constexpr std::int32_t kMaxHeight = 8;
constexpr std::int32_t kSegmentPixels = 1000;
constexpr OSErr kHostFault = -5000; // a code the import never gives of its own

enum : std::uint8_t {
    kCoordinates16 = 1, // the host ignores the request for 32-bit coordinates
    kCancel = 2,        // abortProc reports a cancel after `count` requests
    kFailRequest = 4,   // advanceState fails request number `count`
    kAlphaPlane = 8,    // one plane more than the colour planes, as a layer has
    kNarrowRow = 16,    // outRowBytes one byte short of a batch
};

struct Host {
    FilterRecord record{};
    BigDocumentStruct big{};
    DocumentFormat format{};
    std::int32_t width = 0, height = 0, bytesPerSample = 0;
    std::uint8_t flags = 0, count = 0;
    std::int32_t requests = 0;
    std::int64_t delivered = 0;
    std::int32_t nextRow = 0, nextColumn = 0;
    std::vector<std::uint8_t> batch; // the output of the request in progress, exact size
};

Host* gHost = nullptr;
std::string gProcessedPath;

VRect RequestedRect(const Host& host, bool output) {
    if (host.big.PluginUsing32BitCoordinates != 0)
        return output ? host.big.outRect32 : host.big.inRect32;
    const Rect& r = output ? host.record.outRect : host.record.inRect;
    return {r.top, r.left, r.bottom, r.right};
}

OSErr HOST_API AdvanceState() {
    Host& host = *gHost;
    const FilterRecord& r = host.record;
    const VRect in = RequestedRect(host, false);
    const VRect out = RequestedRect(host, true);
    if (std::memcmp(&in, &out, sizeof in) != 0 || r.inLoPlane != r.outLoPlane ||
        r.inHiPlane != r.outHiPlane)
        Violation("input and output requests differ");
    if (r.outLoPlane != 0 || r.outHiPlane != host.format.channels - 1 || r.inputRate != kFixedOne ||
        r.maskRate != kFixedOne)
        Violation("a request for other planes or another resolution");
    if (out.top != host.nextRow || out.left != host.nextColumn || out.bottom != out.top + 1 ||
        out.right <= out.left || out.right > host.width || out.bottom > host.height ||
        out.right - out.left > kSegmentPixels)
        Violation("a request that is not the next row segment inside the document");
    host.nextColumn = out.right;
    if (host.nextColumn == host.width) {
        host.nextColumn = 0;
        ++host.nextRow;
    }
    ++host.requests;
    host.batch.clear();
    host.batch.shrink_to_fit();
    host.record.outData = nullptr;
    if ((host.flags & kFailRequest) != 0 && host.requests == host.count)
        return kHostFault;

    const std::int32_t pixels = out.right - out.left;
    const std::int32_t bytes = pixels * host.format.channels * host.bytesPerSample;
    host.batch.assign(static_cast<std::size_t>(bytes), 0);
    host.record.outData = host.batch.data();
    host.record.outRowBytes = (host.flags & kNarrowRow) != 0
                                  ? bytes - 1
                                  : host.width * host.format.channels * host.bytesPerSample;
    host.delivered += pixels;
    return noErr;
}

Boolean HOST_API Abort() {
    return (gHost->flags & kCancel) != 0 && gHost->requests >= gHost->count;
}

void SetUpDocument(Host& host, const std::uint8_t* prefix) {
    host.format = kFormats[prefix[0] % 6];
    host.width = 1 + (prefix[1] | prefix[2] << 8) % kMaxWidth;
    host.height = 1 + prefix[3] % kMaxHeight;
    host.flags = prefix[4];
    host.count = prefix[5];
    host.bytesPerSample = host.format.depth / 8;

    FilterRecord& r = host.record;
    r.imageMode = host.format.mode;
    r.depth = host.format.depth;
    r.planes =
        static_cast<std::int16_t>(host.format.channels + ((host.flags & kAlphaPlane) ? 1 : 0));
    r.inLayerPlanes = host.format.channels;
    r.outLayerPlanes = host.format.channels;
    r.imageSize = {static_cast<std::int16_t>(host.height), static_cast<std::int16_t>(host.width)};
    r.filterRect = {0, 0, r.imageSize.v, r.imageSize.h};
    r.advanceState = AdvanceState;
    r.abortProc = Abort;
    r.bigDocumentData = &host.big;
    host.big.imageSize32 = {host.height, host.width};
    host.big.filterRect32 = {0, 0, host.height, host.width};
    host.big.PluginUsing32BitCoordinates = (host.flags & kCoordinates16) ? 0 : 1;
}

// The header reader alone: its code, the header, and where the raster begins.
std::int16_t ReadHeaderOnly(PluginState& state, ExchangeHeader& header, std::int64_t& end) {
    if (!OpenFile(state.processedFile, gProcessedPath.c_str(), false, false))
        Violation("cannot open the processed file");
    const std::int16_t result = ReadExchangeHeader(&state, header);
    if (result != noErr && result != paramErr)
        Violation("the header reader gave a code other than 0 and -50");
    end = ::lseek(state.processedFile, 0, SEEK_CUR);
    CloseFile(state.processedFile);
    return result;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    gProcessedPath = PrivateFolder() + "/Lumetra_Processed.bin";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < kPrefixSize)
        return 0;
    Host host;
    gHost = &host;
    SetUpDocument(host, data);
    const std::size_t fileSize = size - kPrefixSize;
    WriteWholeFile(gProcessedPath, data + kPrefixSize, fileSize);

    PluginState state{};
    InitialisePluginState(state);
    state.filterRecord = &host.record;
    std::int16_t hostResult = 0;
    state.hostResult = &hostResult;
    std::strcpy(state.processedFilePath, gProcessedPath.c_str());

    ExchangeHeader header;
    std::int64_t headerEnd = 0;
    const std::int16_t headerResult = ReadHeaderOnly(state, header, headerEnd);
    const bool sameHeader = headerResult == noErr && header.magic == host.format.magic &&
                            header.width == static_cast<std::uint32_t>(host.width) &&
                            header.height == static_cast<std::uint32_t>(host.height) &&
                            header.maxval == host.format.maxval;

    if (OpenProcessedFile(&state) != noErr)
        Violation("the processed file does not open");
    const std::int16_t result = ImportDocument(&state);
    if (CloseProcessedFile(&state) != noErr || state.converter != nullptr)
        Violation("the import left its file or converter behind");

    if (headerResult != noErr || !sameHeader) {
        if (result != (headerResult != noErr ? paramErr : readErr) || host.requests != 0)
            Violation("a header that is unreadable or not the document's was not refused");
        return 0;
    }
    const std::int64_t raster =
        static_cast<std::int64_t>(host.width) * host.height * host.format.fileBytesPerPixel;
    const bool complete = static_cast<std::int64_t>(fileSize) >= headerEnd + raster;
    switch (result) {
    case noErr:
        if (!complete || host.delivered != static_cast<std::int64_t>(host.width) * host.height)
            Violation("a success without every pixel of the file");
        break;
    case readErr:
        if (complete)
            Violation("a complete file was reported as short");
        break;
    case userCanceledErr:
        if ((host.flags & kCancel) == 0)
            Violation("a cancel that the host did not report");
        break;
    case kHostFault:
        if ((host.flags & kFailRequest) == 0)
            Violation("a fault code that the host did not return");
        break;
    case paramErr:
        if ((host.flags & kNarrowRow) == 0)
            Violation("-50 for a file whose header is the document's");
        break;
    default:
        Violation("a result code the import does not give");
    }
    return 0;
}
