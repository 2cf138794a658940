// Driving a plug-in through the filter protocol as a host does, and the callbacks it
// gives the plug-in (advanceState, abortProc, progressProc).
#pragma once

#include "Document.h"
#include "HostOptions.h"
#include "PluginLoader.h"

#include <cstdint>
#include <ostream>
#include <string>

// What the host keeps for the plug-in from one run to the next within one process.
struct HostProcess {
    std::intptr_t window = 0;     // the host's main window
    std::intptr_t dataSlot = 0;   // the plug-in's data slot
    Handle parameters = nullptr;  // the plug-in's parameters handle
    bool parametersAsked = false; // the parameters selector runs in the first run only
};

enum ERunOutcome { eRunSucceeded = 0, eRunPluginFailed = 1, eRunHostFailed = 2 };

// The host's own signature in hostSig.
constexpr OSType kHostSignature = 0x66686F73; // 'fhos'

// Most continue calls one run may take before the host gives up on the plug-in, and
// most continue calls in a row that leave the very same request behind: a plug-in that
// forgets to empty its rectangles when it is done would otherwise be fed for ever.
constexpr std::int32_t kMaxContinueCalls = 2000000;
constexpr std::int32_t kMaxRepeatedRequests = 100;

// The image mode the host reports for the document, with the override of --mode cmyk|lab.
std::int16_t HostImageMode(EColorMode color, int depth, EModeOverride override);

// The colour planes of the image mode the host reports: 4 for CMYK, 3 for Lab and RGB,
// 1 for gray.
std::int32_t ModeColorPlanes(const HostOptions& options, EColorMode color);

// The planes the host reports: --planes, else the colour planes of the mode (4 for CMYK).
std::int32_t HostPlanes(const HostOptions& options, EColorMode color);

// Fits the document to the options: converts it to --depth, adds alpha planes for
// --planes, checks --mode and --selection against it. False with a message otherwise.
bool FitDocumentToOptions(const HostOptions& options, Document& document, std::string& error);

// Runs the selector sequence once (parameters first in the first run of the process),
// printing one line per call to `out` and the reason of a failure to `diagnostics`.
// The document is changed by what the plug-in writes back.
ERunOutcome RunFilterOnce(const HostOptions& options, Document& document, PluginEntry entry,
                          HostProcess& process, std::int32_t runNumber, std::ostream& out,
                          std::ostream& diagnostics);

// Runs the about selector and prints its result.
ERunOutcome RunAbout(const HostOptions& options, PluginEntry entry, HostProcess& process,
                     std::ostream& out);
