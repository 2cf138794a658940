// Selector numbers, image modes and result codes of the host's filter protocol, and the
// plug-in's own result codes.
#pragma once

#include "host/HostTypes.h"

constexpr std::int16_t filterSelectorAbout = 0;
constexpr std::int16_t filterSelectorParameters = 1;
constexpr std::int16_t filterSelectorPrepare = 2;
constexpr std::int16_t filterSelectorStart = 3;
constexpr std::int16_t filterSelectorContinue = 4;
constexpr std::int16_t filterSelectorFinish = 5;

constexpr std::int16_t plugInModeBitmap = 0;
constexpr std::int16_t plugInModeGrayScale = 1;
constexpr std::int16_t plugInModeIndexedColor = 2;
constexpr std::int16_t plugInModeRGBColor = 3;
constexpr std::int16_t plugInModeCMYKColor = 4;
constexpr std::int16_t plugInModeHSLColor = 5;
constexpr std::int16_t plugInModeHSBColor = 6;
constexpr std::int16_t plugInModeMultichannel = 7;
constexpr std::int16_t plugInModeDuotone = 8;
constexpr std::int16_t plugInModeLabColor = 9;
constexpr std::int16_t plugInModeGray16 = 10;
constexpr std::int16_t plugInModeRGB48 = 11;
constexpr std::int16_t plugInModeLab48 = 12;
constexpr std::int16_t plugInModeCMYK64 = 13;
constexpr std::int16_t plugInModeDeepMultichannel = 14;
constexpr std::int16_t plugInModeDuotone16 = 15;
constexpr std::int16_t plugInModeRGB96 = 16;
constexpr std::int16_t plugInModeGray32 = 17;

// Host result codes (Mac-style numbering, also on Windows).
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
constexpr OSErr kResultMissingArgument = -1715;     // a required pointer or argument was missing
constexpr OSErr kResultUnsupportedDocument = -30201; // mode, channel count or depth not supported
constexpr OSErr kResultLaunchFailed = errPlugInPropertyUndefined; // the external program did not run

constexpr Fixed kFixedOne = 0x00010000;
