// The PNG preview, written with stb_image_write (this file holds its implementation).
#include "PngPreview.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

bool WritePngPreview(const std::string& path, const Document& document, std::string& error) {
    const int channels = ColorChannelCount(document.color);
    // The writer indexes with int: keep every byte count well inside its range.
    if (std::uint64_t(document.width) * std::uint64_t(document.height) * channels > (1u << 30)) {
        error = "the document is too large for a preview " + path;
        return false;
    }
    std::vector<unsigned char> pixels;
    try {
        pixels.resize(std::size_t(document.width) * std::size_t(document.height) * channels);
    } catch (const std::bad_alloc&) {
        error = "not enough memory for the preview " + path;
        return false;
    }
    std::size_t i = 0;
    for (std::int32_t y = 0; y < document.height; ++y)
        for (std::int32_t x = 0; x < document.width; ++x)
            for (int channel = 0; channel < channels; ++channel) {
                double unit = std::min(1.0, std::max(0.0, ReadUnit(document, x, y, channel)));
                if (document.depth == 32)
                    unit = std::pow(unit, 1.0 / 2.2);
                pixels[i++] = static_cast<unsigned char>(std::lround(unit * 255.0));
            }
    const int stride = document.width * channels;
    if (stbi_write_png(path.c_str(), document.width, document.height, channels, pixels.data(),
                       stride) == 0) {
        error = "cannot write the preview " + path;
        return false;
    }
    return true;
}
