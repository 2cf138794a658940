// Which documents map to which pixel format, depth class and channel count.
#include "convert/PixelFormat.h"

#include "core/Error.h"
#include "host/HostConstants.h"

#include <gtest/gtest.h>

namespace {

struct DocumentCase {
    std::int16_t mode;
    std::int32_t depth;
    std::int16_t planes;
    EPixelFormat format;
    EDepthClass depthClass;
};

void PrintTo(const DocumentCase& c, std::ostream* os) {
    *os << "mode " << c.mode << ", depth " << c.depth << ", planes " << c.planes;
}

class PixelFormatTest : public testing::TestWithParam<DocumentCase> {};

TEST_P(PixelFormatTest, FormatAndDepthClassFollowModePlanesAndDepth) {
    const DocumentCase& c = GetParam();
    FilterRecord record{};
    record.imageMode = c.mode;
    record.depth = c.depth;
    record.planes = c.planes;
    EXPECT_EQ(GetPixelFormat(&record), c.format);
    EXPECT_EQ(GetDepthClass(&record), c.depthClass);
}

INSTANTIATE_TEST_SUITE_P(
    Documents, PixelFormatTest,
    testing::Values(
        DocumentCase{plugInModeRGBColor, 8, 3, ePixelRGB8, eDepth8},
        DocumentCase{plugInModeRGB48, 16, 4, ePixelRGB16, eDepth16},
        DocumentCase{plugInModeRGB96, 32, 3, ePixelRGB32, eDepth32},
        DocumentCase{plugInModeGrayScale, 8, 1, ePixelGray8, eDepth8},
        DocumentCase{plugInModeGray16, 16, 2, ePixelGray16, eDepth16},
        DocumentCase{plugInModeGray32, 32, 1, ePixelGray32, eDepth32},
        // The sample size comes from the depth alone, not from which mode number is set.
        DocumentCase{plugInModeRGBColor, 16, 3, ePixelRGB16, eDepth16},
        DocumentCase{plugInModeGray16, 32, 1, ePixelGray32, eDepth32},
        // Too few planes, odd depths and other modes are unsupported.
        DocumentCase{plugInModeRGBColor, 8, 2, ePixelNone, eDepthNone},
        DocumentCase{plugInModeGrayScale, 8, 0, ePixelNone, eDepthNone},
        DocumentCase{plugInModeRGB48, 12, 3, ePixelNone, eDepthNone},
        DocumentCase{plugInModeGrayScale, 1, 1, ePixelNone, eDepthNone},
        DocumentCase{plugInModeCMYKColor, 8, 4, ePixelNone, eDepthNone},
        DocumentCase{plugInModeLabColor, 8, 3, ePixelNone, eDepthNone},
        DocumentCase{plugInModeIndexedColor, 8, 1, ePixelNone, eDepthNone}));

TEST(PixelFormat, NullRecordThrows) {
    EXPECT_THROW(IsRGBDocument(nullptr), EError);
    EXPECT_THROW(IsGrayDocument(nullptr), EError);
    EXPECT_THROW(GetPixelFormat(nullptr), EError);
    EXPECT_THROW(GetDepthClass(nullptr), EError);
}

TEST(PixelFormat, ChannelCounts) {
    EXPECT_THROW(GetChannelCount(ePixelNone), EError);
    const std::uint32_t expected[] = {0, 3, 3, 3, 1, 1, 1, 0};
    for (std::int32_t format = 1; format <= 7; ++format)
        EXPECT_EQ(GetChannelCount(static_cast<EPixelFormat>(format)), expected[format])
            << "format " << format;
    EXPECT_EQ(GetChannelCount(static_cast<EPixelFormat>(-1)), 0u);
}

} // namespace
