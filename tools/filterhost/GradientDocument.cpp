// The gradient document of --make.
#include "GradientDocument.h"

Document MakeGradientDocument(EColorMode color, int depth, std::int32_t width,
                              std::int32_t height) {
    Document document = MakeDocument(color, depth, width, height, ColorChannelCount(color));
    const double right = width > 1 ? width - 1 : 1;
    const double bottom = height > 1 ? height - 1 : 1;
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x) {
            const double red = x / right;
            const double green = y / bottom;
            // The checker (8-pixel cells) keeps neighbouring rows and columns distinct in
            // blue even where the diagonal alone would be flat.
            const double checker = ((x / 8 + y / 8) % 2) * 0.125;
            const double blue = 0.875 * (1.0 - (red + green) / 2.0) + checker;
            if (color == eColorRgb) {
                WriteUnit(document, x, y, 0, red);
                WriteUnit(document, x, y, 1, green);
                WriteUnit(document, x, y, 2, blue);
            } else {
                WriteUnit(document, x, y, 0, 0.5 * red + 0.3 * green + 0.2 * blue);
            }
        }
    return document;
}
