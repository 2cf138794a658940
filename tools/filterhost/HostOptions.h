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
    int planes = 0;                // --planes N; 0: the colour planes (4 for CMYK)
    bool layerPlanesGiven = false; // --layer-planes IN,OUT
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
};

// Parses the arguments after the program name. On failure returns false with a message
// for the user in `error`.
bool ParseHostOptions(const std::vector<std::string>& arguments, HostOptions& options,
                      std::string& error);

// The text of --help: every switch with a line of explanation.
std::string HostUsage();
