// The filter protocol as the test host runs it.
#include "FilterSession.h"

#include "HostMemory.h"
#include "PixelRequests.h"
#include "core/ResultCodes.h"
#include "host/FilterRecord.h"
#include "host/HostConstants.h"
#include "platform/HostWindow.h"

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>

namespace {

// Everything one run hands to the plug-in, at stable addresses for the whole run.
struct Session {
    const HostOptions* options = nullptr;
    Document* document = nullptr;
    FilterRecord record{};
    BigDocumentStruct big{};
    PlatformData platform{};
    HandleProcs procs{};
    SPBasicSuite basic{};
    HostBuffers buffers;
    ServeStyle style;
    Document original; // the document as it was at the start, for hosts that fill from it
    std::int32_t planes = 0;
    std::int32_t runNumber = 0;
    std::int32_t advanceCalls = 0;
    std::int32_t progressCalls = 0;
    std::ofstream requestLog;
    PluginEntry entry = nullptr; // for a call made from inside a callback
    HostProcess* process = nullptr;
    std::ostream* out = nullptr;
};

// The run in progress. The callbacks carry no context argument, so they find their run
// here; it is set only while the plug-in is being called.
Session* gSession = nullptr;

const char* SelectorName(std::int16_t selector) {
    switch (selector) {
    case filterSelectorAbout:
        return "about";
    case filterSelectorParameters:
        return "parameters";
    case filterSelectorPrepare:
        return "prepare";
    case filterSelectorStart:
        return "start";
    case filterSelectorContinue:
        return "continue";
    default:
        return "finish";
    }
}

std::int16_t Clip16(std::int32_t value) {
    return static_cast<std::int16_t>(std::min<std::int32_t>(value, 32767));
}

Rect ToRect16(const VRect& r) {
    return {Clip16(r.top), Clip16(r.left), Clip16(r.bottom), Clip16(r.right)};
}

VRect ToRect32(const Rect& r) {
    return {r.top, r.left, r.bottom, r.right};
}

bool Uses32BitCoordinates(const Session& s) {
    return s.record.bigDocumentData != nullptr && !s.options->coords16 &&
           s.big.PluginUsing32BitCoordinates != 0;
}

PixelRequest ReadRequest(const Session& s, bool coords32) {
    const FilterRecord& r = s.record;
    PixelRequest request;
    request.in.rect = coords32 ? s.big.inRect32 : ToRect32(r.inRect);
    request.out.rect = coords32 ? s.big.outRect32 : ToRect32(r.outRect);
    request.in.loPlane = r.inLoPlane;
    request.in.hiPlane = r.inHiPlane;
    request.out.loPlane = r.outLoPlane;
    request.out.hiPlane = r.outHiPlane;
    request.inputRate = s.options->behaviour.readsInputRate ? r.inputRate : kFixedOne;
    return request;
}

bool SameArea(const PlaneRequest& a, const PlaneRequest& b) {
    return a.rect.top == b.rect.top && a.rect.left == b.rect.left &&
           a.rect.bottom == b.rect.bottom && a.rect.right == b.rect.right &&
           a.loPlane == b.loPlane && a.hiPlane == b.hiPlane;
}

bool SameRequest(const PixelRequest& a, const PixelRequest& b) {
    return SameArea(a.in, b.in) && SameArea(a.out, b.out) && a.inputRate == b.inputRate;
}

void PublishBuffers(Session& s) {
    FilterRecord& r = s.record;
    PixelBuffer& in = s.buffers.in;
    PixelBuffer& out = s.buffers.out;
    const bool strides = s.options->behaviour.columnBytes;
    r.inData = in.held ? in.bytes.data() : nullptr;
    r.inRowBytes = in.held ? in.rowBytes : 0;
    r.inColumnBytes = in.held && strides ? in.columnBytes : 0;
    r.inPlaneBytes = in.held ? in.planeBytes : 0;
    r.outData = out.held ? out.bytes.data() : nullptr;
    r.outRowBytes = out.held ? out.rowBytes : 0;
    r.outColumnBytes = out.held && strides ? out.columnBytes : 0;
    r.outPlaneBytes = out.held ? out.planeBytes : 0;
    // The host has no mask to offer (haveMask is 0): a mask request gets nothing.
    r.maskData = nullptr;
    r.maskRowBytes = 0;
}

void Release(Session& s) {
    ReleaseBuffers(*s.document, s.buffers);
    PublishBuffers(s);
}

void LogRequest(Session& s, const PixelRequest& request, bool coords32, OSErr result) {
    if (!s.requestLog.is_open())
        return;
    auto rect = [](const PlaneRequest& p) {
        return std::to_string(p.rect.top) + " " + std::to_string(p.rect.left) + " " +
               std::to_string(p.rect.bottom) + " " + std::to_string(p.rect.right) + " " +
               std::to_string(p.loPlane) + " " + std::to_string(p.hiPlane);
    };
    s.requestLog << "in " << rect(request.in) << " out " << rect(request.out) << " rate "
                 << request.inputRate << " mask " << s.record.maskRate << " coords "
                 << (coords32 ? 32 : 16) << " result " << result << "\n";
    s.requestLog.flush();
}

// Whether the host faults of the options are played in this run.
bool FaultsApply(const Session& s) {
    return s.options->faultRun == 0 || s.options->faultRun == s.runNumber;
}

Boolean HOST_API TestAbort() {
    const Session* s = gSession;
    if (s == nullptr || s->options->abortAfter < 0 || !FaultsApply(*s))
        return 0;
    return s->advanceCalls >= s->options->abortAfter ? 1 : 0;
}

void HOST_API UpdateProgress(std::int32_t, std::int32_t) {
    if (gSession != nullptr)
        ++gSession->progressCalls;
}

// The user picks the filter again while the plug-in is busy in this run.
void ReenterStart(Session& s) {
    std::int16_t result = 0;
    s.entry(filterSelectorStart, &s.record, &s.process->dataSlot, &result);
    *s.out << "filterhost: reentered start result " << result << std::endl;
}

OSErr HOST_API AdvanceState() {
    Session* s = gSession;
    if (s == nullptr)
        return paramErr;
    ++s->advanceCalls;
    if (s->advanceCalls == s->options->reenterStartCall && FaultsApply(*s))
        ReenterStart(*s);
    const bool coords32 = Uses32BitCoordinates(*s);
    const PixelRequest request = ReadRequest(*s, coords32);
    OSErr result;
    if (s->advanceCalls == s->options->advanceErrorCall && FaultsApply(*s)) {
        Release(*s); // the output of the previous request still belongs to the document
        result = s->options->advanceErrorCode;
    } else {
        result = ServePixelRequest(*s->document, s->planes, request, s->buffers, s->style);
        PublishBuffers(*s);
    }
    LogRequest(*s, request, coords32, result);
    return result;
}

PlugInMonitor SrgbMonitor() {
    auto fixed = [](double value) { return static_cast<Fixed>(value * 65536.0 + 0.5); };
    return {fixed(2.2),  fixed(0.64), fixed(0.33),   fixed(0.30),  fixed(0.60),
            fixed(0.15), fixed(0.06), fixed(0.3127), fixed(0.329), fixed(0.0)};
}

// A record that ends after the fields of interface version 6.0, followed by some zero
// bytes, as hosts that allocate only that much pass it: what lies beyond is not theirs.
void PoisonRecordTail(FilterRecord& record) {
    constexpr std::size_t kZeroTail = 54;
    constexpr std::uint8_t kGarbage = 0xA5;
    const std::size_t end =
        offsetof(FilterRecord, canUseICCProfiles) + sizeof record.canUseICCProfiles + kZeroTail;
    auto* bytes = reinterpret_cast<std::uint8_t*>(&record);
    std::memset(bytes + end, kGarbage, sizeof record - end);
}

// The played host's filter case; the "with selection" case follows each case that has one.
std::int16_t FilterCase(const HostBehaviour& behaviour, bool selection) {
    const std::int16_t base = behaviour.filterCase >= 0 ? behaviour.filterCase : 1;
    return static_cast<std::int16_t>(base + (selection && base > 0 ? 1 : 0));
}

void SetUpRecord(Session& s, const HostOptions& o, HostProcess& process) {
    const Document& d = *s.document;
    const HostBehaviour& b = o.behaviour;
    FilterRecord& r = s.record;
    const VRect whole{0, 0, d.height, d.width};
    const VRect filter = o.selectionGiven ? o.selection : whole;
    const std::int32_t colorPlanes = std::min(s.planes, ModeColorPlanes(o, d.color));
    const std::int16_t extraPlanes = static_cast<std::int16_t>(s.planes - colorPlanes);
    const std::int32_t maxSpace = b.maxSpace != 0 ? b.maxSpace : 256 << 20;
    const Fixed rate = b.readsInputRate ? kFixedOne : 0;

    s.procs = b.inertSizeProcs ? MakeInertSizeHandleProcs() : MakeHostHandleProcs();
    s.procs.handleProcsVersion = o.handleProcsVersion;
    s.procs.numHandleProcs = o.handleProcsCount;
    s.big.PluginUsing32BitCoordinates = 0;
    s.big.imageSize32 = {d.height, d.width};
    s.big.filterRect32 = filter;
    s.big.wholeSize32 = s.big.imageSize32;

    r.abortProc = TestAbort;
    r.progressProc = UpdateProgress;
    r.parameters = process.parameters;
    r.imageSize = {Clip16(d.height), Clip16(d.width)};
    r.planes = static_cast<std::int16_t>(s.planes);
    r.filterRect = ToRect16(filter);
    r.background = {65535, 65535, 65535};
    r.foreground = {0, 0, 0};
    r.maxSpace = maxSpace;
    r.bufferSpace = 0;
    r.backColor[0] = r.backColor[1] = r.backColor[2] = 255;
    r.hostSig = b.hostSig != 0 ? b.hostSig : kHostSignature;
    r.imageMode = HostImageMode(d.color, d.depth, o.modeOverride);
    r.imageHRes = r.imageVRes = 72 << 16;
    r.wholeSize = r.imageSize;
    r.monitor = SrgbMonitor();
    r.platformData = o.platformData ? &s.platform : nullptr;
    r.handleProcs = o.handleProcs ? &s.procs : nullptr;
    r.filterCase = FilterCase(b, o.selectionGiven);
    r.dummyPlaneValue = -1;
    r.advanceState = o.advanceState ? AdvanceState : nullptr;
    r.inputRate = rate;
    r.maskRate = rate;
    r.inLayerPlanes = o.layerPlanesGiven ? o.inLayerPlanes : static_cast<std::int16_t>(colorPlanes);
    r.outLayerPlanes =
        o.layerPlanesGiven ? o.outLayerPlanes : static_cast<std::int16_t>(colorPlanes);
    r.inTransparencyMask = r.outTransparencyMask = std::min<std::int16_t>(extraPlanes, 1);
    r.inNonLayerPlanes = r.outNonLayerPlanes =
        static_cast<std::int16_t>(extraPlanes - r.inTransparencyMask);
    r.sSPBasic = o.basicSuite ? &s.basic : nullptr;
    r.depth = d.depth;
    r.bigDocumentData = o.bigDocument ? &s.big : nullptr;
    r.maxSpace64 = maxSpace;
    r.bufferSpace64 = 0;
    if (b.poisonRecordTail)
        PoisonRecordTail(r);
}

std::int16_t CallPlugin(Session& s, PluginEntry entry, std::int16_t selector, void* block,
                        HostProcess& process, std::ostream& out) {
    std::int16_t result = 0;
    TakeHostTimerMessages();
    entry(selector, block, &process.dataSlot, &result);
    // A host that keeps the slot in 4 bytes hands back only what they hold.
    if (s.options->behaviour.slot32)
        process.dataSlot = static_cast<std::intptr_t>(static_cast<std::uint32_t>(process.dataSlot));
    const int timerMessages = TakeHostTimerMessages();
    out << "filterhost: " << SelectorName(selector) << " result " << result << std::endl;
    if (s.options->windowTimerMs > 0)
        out << "filterhost: " << SelectorName(selector) << " window-timer-messages "
            << timerMessages << std::endl;
    // Between two calls the host's own loop handles its messages.
    PumpWaitingMessages();
    return result;
}

std::unique_ptr<Session> NewSession(const HostOptions& options, Document* document,
                                    HostProcess& process) {
    auto session = std::make_unique<Session>();
    session->options = &options;
    session->document = document;
    session->basic = MakeHostBasicSuite();
    session->platform.hwnd = options.nullWindow ? 0 : process.window;
    if (document != nullptr) {
        session->planes = HostPlanes(options, document->color);
        SetUpRecord(*session, options, process);
        session->style.packedRows = options.behaviour.packedRows;
        if (options.behaviour.refillFromOriginal) {
            session->original = *document;
            session->style.source = &session->original;
        }
    }
    return session;
}

// The parameters call, for hosts that make it before they have set up the document:
// its size, planes, filter rectangle and mode read 0 during the call.
std::int16_t CallParameters(Session& s, PluginEntry entry, HostProcess& process,
                            std::ostream& out) {
    FilterRecord& r = s.record;
    if (s.options->behaviour.sizesAtParameters)
        return CallPlugin(s, entry, filterSelectorParameters, &r, process, out);
    const FilterRecord set = r;
    r.imageSize = {0, 0};
    r.planes = 0;
    r.filterRect = {0, 0, 0, 0};
    r.imageMode = 0;
    const std::int16_t result = CallPlugin(s, entry, filterSelectorParameters, &r, process, out);
    r.imageSize = set.imageSize;
    r.planes = set.planes;
    r.filterRect = set.filterRect;
    r.imageMode = set.imageMode;
    return result;
}

// Whether the plug-in still asks for data, by the played host's test.
bool AsksForData(const Session& s, const PixelRequest& request, bool coords32) {
    const VRect mask = coords32 ? s.big.maskRect32 : ToRect32(s.record.maskRect);
    switch (s.options->behaviour.loop) {
    case eLoopInOutOrMask:
        return !IsEmptyRect(request.in.rect) || !IsEmptyRect(request.out.rect) ||
               !IsEmptyRect(mask);
    case eLoopRightNotZero:
        return request.in.rect.right != 0 || request.out.rect.right != 0 ||
               (s.record.haveMask != 0 && mask.right != 0);
    case eLoopInOrOut:
        break;
    }
    return !IsEmptyRect(request.in.rect) || !IsEmptyRect(request.out.rect);
}

// The continue loop; the output of the last request may still be pending when it ends
// (hosts that store it late).
ERunOutcome RunContinueLoop(Session& s, PluginEntry entry, HostProcess& process, std::ostream& out,
                            std::ostream& diagnostics) {
    FilterRecord& r = s.record;
    const bool lateStore = s.options->behaviour.lateStore;
    PixelRequest previous;
    std::int32_t repeats = 0;
    for (std::int32_t calls = 0;; ++calls) {
        const bool coords32 = Uses32BitCoordinates(s);
        const PixelRequest request = ReadRequest(s, coords32);
        if (!AsksForData(s, request, coords32))
            return eRunSucceeded;
        repeats = calls > 0 && SameRequest(request, previous) ? repeats + 1 : 0;
        previous = request;
        if (repeats == kMaxRepeatedRequests || calls == kMaxContinueCalls) {
            diagnostics << "filterhost: the plug-in still asks for data after " << calls
                        << " continue calls (" << repeats
                        << " times the same area in a row); a plug-in must empty inRect and "
                           "outRect when it is done"
                        << std::endl;
            return eRunPluginFailed;
        }
        const OSErr served = ServePixelRequest(*s.document, s.planes, request, s.buffers, s.style);
        PublishBuffers(s);
        if (served != noErr) {
            diagnostics << "filterhost: the plug-in asked for data the host cannot deliver "
                           "(result "
                        << served << "); a host would end the filter here" << std::endl;
            Release(s);
            return eRunPluginFailed;
        }
        const OSErr continued = CallPlugin(s, entry, filterSelectorContinue, &r, process, out);
        if (!lateStore || continued != noErr)
            Release(s);
        if (continued != noErr) {
            if (s.options->behaviour.finishAfterContinueError)
                CallPlugin(s, entry, filterSelectorFinish, &r, process, out);
            return eRunPluginFailed;
        }
    }
}

// The filter selectors of one run, up to the first nonzero result.
ERunOutcome RunSelectors(Session& s, PluginEntry entry, HostProcess& process, std::ostream& out,
                         std::ostream& diagnostics) {
    FilterRecord& r = s.record;
    const HostBehaviour& b = s.options->behaviour;
    if (!process.parametersAsked || b.parametersEveryRun) {
        process.parametersAsked = true;
        const std::int16_t parameters = CallParameters(s, entry, process, out);
        // A host that keeps the slot in 4 bytes saves them now, for a later Repeat.
        if (b.slot32)
            out << "filterhost: saved data slot " << static_cast<std::uint32_t>(process.dataSlot)
                << std::endl;
        if (parameters != noErr)
            return eRunPluginFailed;
    }
    if (CallPlugin(s, entry, filterSelectorPrepare, &r, process, out) != noErr)
        return eRunPluginFailed;
    if (s.options->coords16)
        s.big.PluginUsing32BitCoordinates = 0;
    const OSErr started = CallPlugin(s, entry, filterSelectorStart, &r, process, out);
    if (!b.lateStore || started != noErr)
        Release(s);
    if (started != noErr)
        return eRunPluginFailed;
    const ERunOutcome looped = RunContinueLoop(s, entry, process, out, diagnostics);
    if (looped != eRunSucceeded)
        return looped;
    // The host's own last advanceState stores what is still pending, before finish or,
    // for some hosts, after it.
    if (!b.advanceAfterFinish)
        Release(s);
    if (!b.finishAfterSuccess)
        return eRunSucceeded;
    const std::int16_t finished = CallPlugin(s, entry, filterSelectorFinish, &r, process, out);
    Release(s);
    return finished == noErr ? eRunSucceeded : eRunPluginFailed;
}

} // namespace

std::int16_t HostImageMode(EColorMode color, int depth, EModeOverride override) {
    switch (override) {
    case eOverrideCmyk:
        return depth == 8 ? plugInModeCMYKColor : plugInModeCMYK64;
    case eOverrideLab:
        return depth == 8 ? plugInModeLabColor : plugInModeLab48;
    case eOverrideNone:
        break;
    }
    if (color == eColorRgb)
        return depth == 8 ? plugInModeRGBColor : depth == 16 ? plugInModeRGB48 : plugInModeRGB96;
    return depth == 8 ? plugInModeGrayScale : depth == 16 ? plugInModeGray16 : plugInModeGray32;
}

std::int32_t ModeColorPlanes(const HostOptions& options, EColorMode color) {
    switch (options.modeOverride) {
    case eOverrideCmyk:
        return 4;
    case eOverrideLab:
        return 3;
    case eOverrideNone:
        break;
    }
    return ColorChannelCount(color);
}

std::int32_t HostPlanes(const HostOptions& options, EColorMode color) {
    if (options.planes > 0)
        return options.planes;
    return ModeColorPlanes(options, color) + (options.behaviour.alphaPlane ? 1 : 0);
}

bool FitDocumentToOptions(const HostOptions& options, Document& document, std::string& error) {
    if (options.colorGiven && !options.make && options.color != document.color) {
        error = std::string("--mode ") + (options.color == eColorRgb ? "rgb" : "gray") +
                " does not match the " + (document.color == eColorRgb ? "colour" : "gray") +
                " image " + options.input;
        return false;
    }
    if (options.selectionGiven &&
        (options.selection.bottom > document.height || options.selection.right > document.width)) {
        error = "--selection lies outside the " + std::to_string(document.width) + "x" +
                std::to_string(document.height) + " document";
        return false;
    }
    const HostBehaviour& b = options.behaviour;
    if (b.rgbOnly && document.color != eColorRgb) {
        error = "--host-profile " + b.profile + " serves RGB documents only";
        return false;
    }
    if (options.depth != 0)
        ConvertDepth(document, options.depth);
    else if (b.eightBitOnly && document.depth != 8)
        ConvertDepth(document, 8);
    WidenChannels(document, HostPlanes(options, document.color));
    return true;
}

ERunOutcome RunFilterOnce(const HostOptions& options, Document& document, PluginEntry entry,
                          HostProcess& process, std::int32_t runNumber, std::ostream& out,
                          std::ostream& diagnostics) {
    if (options.behaviour.freshSlotEachRun)
        process.dataSlot = 0;
    std::unique_ptr<Session> session = NewSession(options, &document, process);
    session->runNumber = runNumber;
    session->entry = entry;
    session->process = &process;
    session->out = &out;
    if (!options.requestLog.empty()) {
        session->requestLog.open(options.requestLog, std::ios::app);
        if (!session->requestLog) {
            diagnostics << "filterhost: cannot open the request log " << options.requestLog
                        << std::endl;
            return eRunHostFailed;
        }
    }
    const auto begin = std::chrono::steady_clock::now();
    gSession = session.get();
    const ERunOutcome outcome = RunSelectors(*session, entry, process, out, diagnostics);
    gSession = nullptr;
    Release(*session);
    process.parameters = session->record.parameters;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    char took[32];
    std::snprintf(took, sizeof took, "%.3f", seconds);
    out << "filterhost: run " << runNumber << " progress-calls " << session->progressCalls
        << std::endl;
    out << "filterhost: run " << runNumber << " took " << took << " s" << std::endl;
    return outcome;
}

ERunOutcome RunAbout(const HostOptions& options, PluginEntry entry, HostProcess& process,
                     std::ostream& out) {
    std::unique_ptr<Session> session = NewSession(options, nullptr, process);
    AboutRecord about{};
    about.platformData = options.platformData ? &session->platform : nullptr;
    about.sSPBasic = options.basicSuite ? &session->basic : nullptr;
    gSession = session.get();
    const std::int16_t result =
        CallPlugin(*session, entry, filterSelectorAbout, &about, process, out);
    gSession = nullptr;
    return result == noErr ? eRunSucceeded : eRunPluginFailed;
}
