// The test host's command line: what to run, on which document, and which host to play.
#pragma once

#include "Document.h"
#include "host/HostTypes.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

enum EHostAction { eActionFilter, eActionAbout, eActionInfo, eActionHelp };

// An image mode the plug-in must refuse, played over the real document.
enum EModeOverride { eOverrideNone, eOverrideCmyk, eOverrideLab };

// How the host decides after start and after each continue that the plug-in still asks
// for data: a rectangle that is not empty (in or out), also the mask rectangle even
// without a mask, or any rectangle (in or out) whose right edge is not 0.
enum ELoopTest { eLoopInOrOut, eLoopInOutOrMask, eLoopRightNotZero };

// What the handle procs do with a handle they did not make: answer null, unreported (an
// ordinary host) or reported after the runs; or take it for a pointer into this process's
// memory and hand back the foreign block the host keeps for that (checked unchanged after
// the runs).
enum EForeignLock { eForeignNone, eForeignNull, eForeignMemory };

// The ways a played host differs from an ordinary one; the defaults are the ordinary host.
struct HostBehaviour {
    std::string profile;              // --host-profile NAME; empty for none
    bool slot32 = false;              // the data slot is kept in 4 bytes between calls
    bool parametersEveryRun = false;  // else in the first run of the process only
    bool freshSlotEachRun = false;    // an empty data slot at the start of every run
    bool reloadEachRun = false;       // the module is loaded for each run and unloaded after
    bool disposeSlotAfterRun = false; // after the unload, the host disposes the slot's handle
    bool lateStore = false;           // output stored at the next advanceState only
    bool refillFromOriginal = false;  // buffers filled from the document as it was at start
    bool packedRows = false;          // rows of exactly width * planes samples
    bool columnBytes = true;          // in/outColumnBytes and in/outPlaneBytes set
    bool readsInputRate = true;       // else inputRate and maskRate stay 0 and full resolution
    bool sizesAtParameters = true;    // else parameters sees size, planes and mode 0
    ELoopTest loop = eLoopInOrOut;
    bool finishAfterSuccess = true;
    bool finishAfterContinueError = false;
    bool advanceAfterFinish = false; // the last output is stored only after finish
    bool inertSizeProcs = false;     // getSize answers 0, setSize, dispose and unlock do nothing
    bool alphaPlane = false;         // one more plane than the colour planes (a layer's alpha)
    bool rgbOnly = false;            // refuses gray documents
    bool eightBitOnly = false;       // converts to 8 bits, refuses --depth 16 or 32
    bool poisonRecordTail = false;   // the record ends after the 6.0 fields, garbage beyond
    OSType hostSig = 0;              // 0: the test host's own
    std::int32_t maxSpace = 0;       // 0: 256 MiB
    std::int16_t filterCase = -1;    // -1: 1, or 2 with a selection
};

struct HostOptions {
    EHostAction action = eActionFilter;
    std::string plugin;
    std::string input; // --input
    bool make = false; // --make WIDTHxHEIGHT
    std::int32_t makeWidth = 0;
    std::int32_t makeHeight = 0;
    bool colorGiven = false; // --mode rgb|gray
    EColorMode color = eColorRgb;
    EModeOverride modeOverride = eOverrideNone; // --mode cmyk|lab
    int depth = 0;                              // --depth; 0: as read (8 for --make)
    std::string output;                         // --output
    std::string preview;                        // --preview
    std::string requestLog;                     // --request-log

    bool advanceState = true;            // --no-advance-state
    bool handleProcs = true;             // --handle-procs none
    std::int16_t handleProcsVersion = 1; // --handle-procs VERSION,COUNT
    std::int16_t handleProcsCount = 8;
    bool bigDocument = true;           // --no-big-document
    bool basicSuite = true;            // --no-basic-suite
    bool coords16 = false;             // --coords16
    std::int32_t abortAfter = -1;      // --abort-after N; -1: never
    std::int32_t advanceErrorCall = 0; // --advance-error N,CODE; 0: never
    std::int16_t advanceErrorCode = 0;
    std::int32_t reenterStartCall = 0; // --reenter-start N; 0: never
    int planes = 0;                    // --planes N; 0: the colour planes (4 for CMYK)
    bool layerPlanesGiven = false;     // --layer-planes IN,OUT
    std::int16_t inLayerPlanes = 0;
    std::int16_t outLayerPlanes = 0;
    bool selectionGiven = false; // --selection TOP,LEFT,BOTTOM,RIGHT
    VRect selection{};
    std::int32_t runs = 1;     // --runs N
    std::int32_t faultRun = 0; // --faults-in-run N; 0: host faults in every run
    // --run-env N,NAME=VALUE: variables set in this process before run N, so that the
    // programs a plug-in starts in that run inherit them.
    std::vector<std::pair<std::int32_t, std::string>> runEnvironment;
    bool countOpenFiles = false;    // --count-open-files
    bool platformData = true;       // --no-platform-data
    bool nullWindow = false;        // --null-window
    std::int32_t windowTimerMs = 0; // --window-timer MS; 0: no timer
    bool printWindow = false;       // --print-window
    HostBehaviour behaviour;        // --host-profile NAME
    bool repeatGiven = false;       // --repeat-slot VALUE
    std::uint32_t repeatSlot = 0;
    EForeignLock foreignLock = eForeignNone; // --foreign-lock null|memory
};

// Parses the arguments after the program name. On failure returns false with a message
// for the user in `error`.
bool ParseHostOptions(const std::vector<std::string>& arguments, HostOptions& options,
                      std::string& error);

// The text of --help: every switch with a line of explanation.
std::string HostUsage();
