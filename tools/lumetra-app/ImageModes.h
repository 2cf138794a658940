// What the stand-in program does with the image, chosen by LUMETRA_APP_MODE.
#pragma once

#include "ExchangeImage.h"

#include <cstdint>
#include <string>

enum EAppMode {
    eModeTonemap,    // the default: a global HDR-style tone curve
    eModeCopy,       // the image unchanged
    eModeInvert,     // 65535 - v, or 1 - v for floats
    eModeNone,       // writes nothing and ends successfully
    eModeBadHeader,  // a copy whose header says width + 1
    eModeTruncate,   // a copy without the last half row of the raster
    eModeCrash,      // ends abnormally without writing
    eModeSleep,      // sleeps, then copies
    eModeShort,      // a copy one byte shorter than header and raster
    eModeLong,       // a copy with one byte more after the raster
    eModeGarbage,    // bytes that are no exchange header at all
    eModeFifo,       // a FIFO in place of the result (Linux only)
    eModeDevZero,    // a symbolic link to /dev/zero in place of the result (Linux only)
    eModeCrashWrite, // writes the truncate mode's file, then ends abnormally with it open
    eModeFolder,     // an empty folder in place of the result
    eModeLink,       // a symbolic link to the job's input image in place of the result (Linux)
};

struct AppMode {
    EAppMode mode = eModeTonemap;
    std::uint32_t sleepMs = 0;
};

// Parses the variable's value; null or empty means tonemap. False with a message for
// an unknown mode or a bad sleep time (sleep=<ms>, 0 to 600000).
bool ParseAppMode(const char* text, AppMode& mode, std::string& error);

// Brightens shadows and compresses highlights: an exposure of one stop and a
// Reinhard-style curve on luminance with the colour ratios kept, then a display gamma of
// 2.2. "P6" samples are taken as display values (gamma 2.2) with 65535 as white; "PF"
// samples as linear light whose brightest pixel becomes white. The result lies in 0..1
// (0..65535 for "P6").
void ToneMap(ExchangeImage& image);

// 65535 - v for "P6", 1 - v for "PF".
void Invert(ExchangeImage& image);

// The bytes of the result file for the mode (after ToneMap or Invert where they apply):
// header and raster, with the header or the raster spoilt for badheader, truncate, short,
// long and garbage.
std::string ResultFile(const ExchangeImage& image, EAppMode mode);
