// Selector numbers, image modes and the fixed-point one of the host's filter protocol.
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

constexpr Fixed kFixedOne = 0x00010000;
