// Result codes: the host's own numbering (Mac-style, also on Windows), in which every
// step of a run reports, and the codes of this plug-in.
#pragma once

#include "host/HostTypes.h"

// The host's codes.
constexpr OSErr noErr = 0;
constexpr OSErr readErr = -19;
constexpr OSErr writErr = -20;
constexpr OSErr openErr = -23;
constexpr OSErr dskFulErr = -34;
constexpr OSErr ioErr = -36;
constexpr OSErr eofErr = -39;
constexpr OSErr fnfErr = -43;
constexpr OSErr paramErr = -50;
constexpr OSErr memFullErr = -108;
constexpr OSErr nilHandleErr = -109;
constexpr OSErr userCanceledErr = -128;
constexpr OSErr filterBadParameters = -30100;
constexpr OSErr filterBadMode = -30101;
constexpr OSErr errPlugInHostInsufficient = -30900;
constexpr OSErr errPlugInPropertyUndefined = -30901;
constexpr OSErr errReportString = -30904;

// Codes of this plug-in.
constexpr OSErr kResultMissingArgument = -1715;      // a required pointer or argument was missing
constexpr OSErr kResultUnsupportedDocument = -30201; // mode, channel count or depth not supported
constexpr OSErr kResultLaunchFailed =
    errPlugInPropertyUndefined; // the external program did not run
