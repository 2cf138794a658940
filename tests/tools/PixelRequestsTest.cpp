// What advanceState delivers and writes back: rectangle and plane checks, the input
// rate, the layout of the buffers, and the write-back of the output.
#include "PixelRequests.h"
#include "GradientDocument.h"
#include "core/ResultCodes.h"
#include "host/HostConstants.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

PlaneRequest Area(std::int32_t top, std::int32_t left, std::int32_t bottom, std::int32_t right,
                  std::int32_t lo, std::int32_t hi) {
    PlaneRequest request;
    request.rect = {top, left, bottom, right};
    request.loPlane = lo;
    request.hiPlane = hi;
    return request;
}

std::uint16_t At16(const std::uint8_t* p) {
    std::uint16_t value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

std::uint16_t Doc16(const Document& d, std::int32_t x, std::int32_t y, int c) {
    return At16(d.samples.data() + SampleOffset(d, x, y, c));
}

TEST(PlaneRequestTest, AcceptsOnlyAreasInsideTheDocumentAndItsPlanes) {
    const Document d = MakeGradientDocument(eColorRgb, 8, 20, 10);
    struct Case {
        PlaneRequest request;
        OSErr expected;
        const char* what;
    };
    const Case cases[] = {
        {Area(0, 0, 10, 20, 0, 2), noErr, "the whole document"},
        {Area(9, 19, 10, 20, 2, 2), noErr, "the last sample"},
        {Area(5, 5, 5, 9, -7, 99), noErr, "an empty rectangle asks for nothing"},
        {Area(3, 8, 2, 9, 0, 2), noErr, "bottom above top is empty too"},
        {Area(-1, 0, 1, 20, 0, 2), paramErr, "above the top"},
        {Area(0, -3, 1, 2, 0, 2), paramErr, "left of the document"},
        {Area(0, 0, 11, 20, 0, 2), paramErr, "below the bottom"},
        {Area(0, 0, 10, 21, 0, 2), paramErr, "right of the document"},
        {Area(0, 0, 1, 1, 0, 3), paramErr, "a plane the document does not have"},
        {Area(0, 0, 1, 1, -1, 0), paramErr, "a negative plane"},
        {Area(0, 0, 1, 1, 2, 1), paramErr, "lo above hi"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckPlaneRequest(d, 3, c.request), c.expected) << c.what;
    EXPECT_EQ(CheckPlaneRequest(d, 2, Area(0, 0, 1, 1, 0, 2)), paramErr)
        << "the host advertises fewer planes than it stores";
}

TEST(PlaneRequestTest, OnlyWholeInputRatesAreServed) {
    EXPECT_EQ(SamplingStep(kFixedOne), 1);
    EXPECT_EQ(SamplingStep(2 * kFixedOne), 2);
    EXPECT_EQ(SamplingStep(5 * kFixedOne), 5);
    EXPECT_EQ(SamplingStep(kFixedOne / 2), 0);
    EXPECT_EQ(SamplingStep(kFixedOne + 1), 0);
    EXPECT_EQ(SamplingStep(0), 0);
    EXPECT_EQ(SamplingStep(-kFixedOne), 0);
}

TEST(ServeTest, DeliversInterleavedPlanesInPaddedRows) {
    Document d = MakeGradientDocument(eColorRgb, 16, 30, 8);
    HostBuffers buffers;
    PixelRequest request;
    request.in = Area(2, 5, 4, 12, 1, 2); // green and blue of a 7 x 2 area
    ASSERT_EQ(ServePixelRequest(d, 3, request, buffers), noErr);
    const PixelBuffer& in = buffers.in;
    ASSERT_TRUE(in.held);
    EXPECT_FALSE(buffers.out.held);
    EXPECT_EQ(in.planeBytes, 2);
    EXPECT_EQ(in.columnBytes, 4);
    EXPECT_GE(in.rowBytes, 7 * 4 + 8) << "rows are padded";
    EXPECT_EQ(in.rowBytes % 8, 0);
    for (std::int32_t y = 0; y < 2; ++y)
        for (std::int32_t x = 0; x < 7; ++x)
            for (int plane = 0; plane < 2; ++plane)
                ASSERT_EQ(At16(in.bytes.data() + y * in.rowBytes + x * 4 + plane * 2),
                          Doc16(d, 5 + x, 2 + y, 1 + plane))
                    << x << "," << y << " plane " << plane;
}

TEST(ServeTest, AnInputRateSamplesEveryNthPixelFromTheCorner) {
    Document d = MakeGradientDocument(eColorGray, 8, 10, 7);
    HostBuffers buffers;
    PixelRequest request;
    request.in = Area(1, 1, 7, 10, 0, 0); // 9 x 6 at rate 3: 3 x 2 samples
    request.inputRate = 3 * kFixedOne;
    ASSERT_EQ(ServePixelRequest(d, 1, request, buffers), noErr);
    for (std::int32_t y = 0; y < 2; ++y)
        for (std::int32_t x = 0; x < 3; ++x)
            EXPECT_EQ(buffers.in.bytes[y * buffers.in.rowBytes + x],
                      d.samples[SampleOffset(d, 1 + 3 * x, 1 + 3 * y, 0)]);
    request.inputRate = kFixedOne / 2;
    EXPECT_EQ(ServePixelRequest(d, 1, request, buffers), paramErr);
    EXPECT_FALSE(buffers.in.held);
    request.in = Area(0, 0, 0, 0, 0, 0); // no input: the rate does not matter
    request.out = Area(0, 0, 1, 1, 0, 0);
    EXPECT_EQ(ServePixelRequest(d, 1, request, buffers), noErr);
}

TEST(ServeTest, OutputStartsAsTheDocumentAndIsWrittenBackAtTheNextRequest) {
    Document d = MakeGradientDocument(eColorRgb, 8, 6, 4);
    const Document original = d;
    HostBuffers buffers;
    PixelRequest request;
    request.out = Area(1, 2, 3, 5, 0, 2);
    ASSERT_EQ(ServePixelRequest(d, 3, request, buffers), noErr);
    PixelBuffer& out = buffers.out;
    ASSERT_TRUE(out.held);
    EXPECT_EQ(out.bytes[0], original.samples[SampleOffset(original, 2, 1, 0)]);
    out.bytes[0] = 11;                        // red at (2, 1)
    out.bytes[out.rowBytes + 2 * 3 + 2] = 22; // blue at (4, 2)
    out.bytes[out.rowBytes - 1] = 33;         // padding: never written back
    EXPECT_EQ(d.samples, original.samples) << "nothing is written before the next request";

    request.out = Area(0, 0, 1, 100, 0, 2); // rejected, but the previous output counts
    EXPECT_EQ(ServePixelRequest(d, 3, request, buffers), paramErr);
    EXPECT_FALSE(buffers.out.held);
    EXPECT_EQ(d.samples[SampleOffset(d, 2, 1, 0)], 11);
    EXPECT_EQ(d.samples[SampleOffset(d, 4, 2, 2)], 22);
    std::size_t changed = 0;
    for (std::size_t i = 0; i < d.samples.size(); ++i)
        changed += d.samples[i] != original.samples[i] ? 1 : 0;
    EXPECT_EQ(changed, 2u);
}

TEST(ServeTest, WriteBackTouchesOnlyTheRequestedPlanes) {
    Document d = MakeGradientDocument(eColorRgb, 16, 3, 2);
    WidenChannels(d, 4);
    const Document original = d;
    HostBuffers buffers;
    PixelRequest request;
    request.out = Area(0, 0, 2, 3, 3, 3); // alpha only
    ASSERT_EQ(ServePixelRequest(d, 4, request, buffers), noErr);
    EXPECT_EQ(buffers.out.columnBytes, 2);
    for (std::int32_t y = 0; y < 2; ++y)
        std::memset(buffers.out.bytes.data() + y * buffers.out.rowBytes, 0, 3 * 2);
    ReleaseBuffers(d, buffers);
    EXPECT_FALSE(buffers.out.held);
    for (std::int32_t y = 0; y < 2; ++y)
        for (std::int32_t x = 0; x < 3; ++x) {
            EXPECT_EQ(Doc16(d, x, y, 3), 0);
            for (int c = 0; c < 3; ++c)
                EXPECT_EQ(Doc16(d, x, y, c), Doc16(original, x, y, c));
        }
}

TEST(ServeTest, AnEmptyRequestReleasesTheBuffers) {
    Document d = MakeGradientDocument(eColorGray, 32, 4, 4);
    HostBuffers buffers;
    PixelRequest request;
    request.in = request.out = Area(0, 0, 4, 4, 0, 0);
    ASSERT_EQ(ServePixelRequest(d, 1, request, buffers), noErr);
    const float half = 0.5f;
    std::memcpy(buffers.out.bytes.data(), &half, sizeof half);
    ASSERT_EQ(ServePixelRequest(d, 1, PixelRequest{}, buffers), noErr);
    EXPECT_FALSE(buffers.in.held);
    EXPECT_FALSE(buffers.out.held);
    EXPECT_EQ(ReadUnit(d, 0, 0, 0), 0.5);
}

} // namespace
