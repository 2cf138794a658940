// The stand-in program's image modes.
#include "ImageModes.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr double kExposure = 4.0; // two stops: shadows open up, the sky keeps its detail
constexpr double kDisplayGamma = 2.2;

double Luminance(const double rgb[3]) {
    return 0.2126 * rgb[0] + 0.7152 * rgb[1] + 0.0722 * rgb[2];
}

// A sample as linear light, never negative, never NaN or infinite.
double LinearSample(const ExchangeImage& image, std::size_t index) {
    const double value = ReadSample(image, index);
    if (!IsFloatImage(image))
        return std::pow(value / 65535.0, kDisplayGamma);
    return std::isfinite(value) && value > 0.0 ? value : 0.0;
}

} // namespace

bool ParseAppMode(const char* text, AppMode& mode, std::string& error) {
    mode = AppMode{};
    const std::string value = text != nullptr ? text : "";
    struct Name {
        const char* text;
        EAppMode mode;
    };
    const Name names[] = {{"", eModeTonemap},          {"tonemap", eModeTonemap},
                          {"copy", eModeCopy},         {"invert", eModeInvert},
                          {"none", eModeNone},         {"badheader", eModeBadHeader},
                          {"truncate", eModeTruncate}, {"crash", eModeCrash},
                          {"short", eModeShort},       {"long", eModeLong},
                          {"garbage", eModeGarbage},   {"fifo", eModeFifo},
                          {"devzero", eModeDevZero},   {"crashwrite", eModeCrashWrite},
                          {"folder", eModeFolder},     {"link", eModeLink}};
    for (const Name& name : names)
        if (value == name.text) {
            mode.mode = name.mode;
            return true;
        }
    const std::string prefix = "sleep=";
    if (value.compare(0, prefix.size(), prefix) == 0) {
        const std::string digits = value.substr(prefix.size());
        if (!digits.empty() && digits.size() <= 6 &&
            digits.find_first_not_of("0123456789") == std::string::npos &&
            std::stoul(digits) <= 600000) {
            mode.mode = eModeSleep;
            mode.sleepMs = static_cast<std::uint32_t>(std::stoul(digits));
            return true;
        }
    }
    error = "unknown LUMETRA_APP_MODE '" + value +
            "' (tonemap, copy, invert, none, badheader, truncate, crash, sleep=<ms>, short, long, "
            "garbage, fifo, devzero, crashwrite, folder, link)";
    return false;
}

void ToneMap(ExchangeImage& image) {
    const std::size_t pixels = SampleCount(image) / 3;
    double brightest = 0.0;
    for (std::size_t p = 0; p < pixels; ++p) {
        const double rgb[3] = {LinearSample(image, 3 * p), LinearSample(image, 3 * p + 1),
                               LinearSample(image, 3 * p + 2)};
        brightest = std::max(brightest, Luminance(rgb));
    }
    // The exposed luminance that maps to white: the file's white for display values, the
    // brightest pixel for linear ones.
    const double white =
        kExposure * (IsFloatImage(image) ? (brightest > 0.0 ? brightest : 1.0) : 1.0);
    const double scale = IsFloatImage(image) ? 1.0 : 65535.0;
    for (std::size_t p = 0; p < pixels; ++p) {
        double rgb[3] = {LinearSample(image, 3 * p), LinearSample(image, 3 * p + 1),
                         LinearSample(image, 3 * p + 2)};
        const double luminance = Luminance(rgb);
        const double exposed = kExposure * luminance;
        const double mapped = exposed * (1.0 + exposed / (white * white)) / (1.0 + exposed);
        const double ratio = luminance > 0.0 ? mapped / luminance : 0.0;
        for (int c = 0; c < 3; ++c) {
            // Float documents hold linear light, so they get the curve without the display
            // gamma; 16-bit documents hold display values and get it back.
            const double light = std::min(1.0, rgb[c] * ratio);
            const double value = IsFloatImage(image) ? light : std::pow(light, 1.0 / kDisplayGamma);
            WriteSample(image, 3 * p + c, value * scale);
        }
    }
}

void Invert(ExchangeImage& image) {
    const double white = IsFloatImage(image) ? 1.0 : 65535.0;
    const std::size_t count = SampleCount(image);
    for (std::size_t i = 0; i < count; ++i)
        WriteSample(image, i, white - ReadSample(image, i));
}

std::string ResultFile(const ExchangeImage& image, EAppMode mode) {
    ExchangeHeader header = image.header;
    if (mode == eModeBadHeader)
        header.width += 1;
    if (mode == eModeGarbage)
        return std::string(64, 'x');
    std::string file = FormatExchangeHeader(header);
    if (mode == eModeShort || mode == eModeLong) {
        file += image.raster;
        if (mode == eModeShort)
            file.pop_back();
        else
            file += '\0';
        return file;
    }
    if (mode != eModeTruncate) {
        file += image.raster;
        return file;
    }
    const std::size_t rowBytes = image.raster.size() / std::size_t(image.header.height);
    const std::size_t cut = std::max<std::size_t>(rowBytes / 2, 1);
    file.append(image.raster, 0, image.raster.size() - cut);
    return file;
}
