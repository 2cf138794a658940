// The FilterRecord access the transfers share: batch rectangles, coordinates of either
// width, the document size, the plane tests and the cancel test.
#include "exchange/FilterAccess.h"
#include "core/Error.h"
#include "core/ResultCodes.h"
#include "host/HostConstants.h"
#include "support/FakeHost.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(PlaneRectTest, RowBatches) {
    struct Case {
        std::uint32_t segment, capacity, width, row, first, count;
        PlaneRect rect;
    };
    const Case cases[] = {
        {0, 1000, 2500, 7, 0, 3, {7, 0, 8, 1000, 0, 2}},
        {1, 1000, 2500, 7, 0, 3, {7, 1000, 8, 2000, 0, 2}},
        {2, 1000, 2500, 7, 0, 3, {7, 2000, 8, 2500, 0, 2}},
        {1, 1000, 1001, 0, 0, 1, {0, 1000, 1, 1001, 0, 0}},
        // Planes are limited to 32767, the last never below the first.
        {0, 10, 5, 0, 40000, 3, {0, 0, 1, 5, 32767, 32767}},
        {0, 10, 5, 0, 2, 0, {0, 0, 1, 5, 2, 2}},
        // Bounds beyond 2^31 - 1 are limited to it.
        {0, 10, 5, 0x80000000u, 0, 1, {2147483647, 0, 2147483647, 5, 0, 0}},
    };
    for (const Case& c : cases) {
        PlaneRect rect{-5, -5, -5, -5, -5, -5};
        SetRowBatch(rect, c.segment, c.capacity, c.width, c.row, c.first, c.count);
        EXPECT_EQ(rect.top, c.rect.top);
        EXPECT_EQ(rect.left, c.rect.left);
        EXPECT_EQ(rect.bottom, c.rect.bottom);
        EXPECT_EQ(rect.right, c.rect.right);
        EXPECT_EQ(rect.loPlane, c.rect.loPlane);
        EXPECT_EQ(rect.hiPlane, c.rect.hiPlane);
    }
}

TEST(PlaneRectTest, BatchPixels) {
    struct Case {
        PlaneRect rect;
        std::uint32_t pixels;
    };
    const Case cases[] = {
        {{7, 1000, 8, 2000, 0, 2}, 1000},
        {{0, 0, 1, 1, 0, 0}, 1},
        {{0, 5, 1, 5, 0, 0}, 0},  // empty
        {{0, 6, 1, 5, 0, 0}, 0},  // right before left
        {{0, 0, 2, 5, 0, 0}, 0},  // two rows
        {{1, 0, 1, 5, 0, 0}, 0},  // no row
        {{-1, 0, 0, 5, 0, 0}, 0}, // raised to 0: no row
        {{-1, -3, 1, 4, 0, 0}, 4},
        {{0, 0, 1, std::numeric_limits<std::int32_t>::max(), 0, 0}, 2147483647u},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetBatchPixels(c.rect), c.pixels)
            << c.rect.top << "," << c.rect.left << "," << c.rect.bottom << "," << c.rect.right;
    PlaneRect rect{1, 2, 3, 4, 5, 6};
    ClearPlaneRect(rect);
    EXPECT_EQ(rect.right | rect.hiPlane, 0);
    SetPlaneRectBounds(rect, 0xFFFFFFFFu, 3, 0, 1);
    EXPECT_EQ(rect.left, 2147483647);
    EXPECT_EQ(GetSegmentCount(0, 1000), 0u);
    EXPECT_EQ(GetSegmentCount(2500, 1000), 3u);
    EXPECT_THROW(GetSegmentCount(5, 0), EError);
}

TEST(FilterAccessTest, RectanglesGoWhereTheCoordinatesSay) {
    FakeHost host;
    const PlaneRect rect{7, 70000, 8, 70010, 0, 2};
    host.big.PluginUsing32BitCoordinates = 1;
    SetInRect(&host.record, rect);
    SetOutRect(&host.record, rect);
    SetMaskRect(&host.record, rect);
    for (const VRect* r : {&host.big.inRect32, &host.big.outRect32, &host.big.maskRect32}) {
        EXPECT_EQ(r->top, 7);
        EXPECT_EQ(r->left, 70000);
        EXPECT_EQ(r->right, 70010);
    }
    EXPECT_EQ(host.record.inRect.right, 0);

    host.big.PluginUsing32BitCoordinates = 0;
    SetInRect(&host.record, rect);
    SetOutRect(&host.record, rect);
    SetMaskRect(&host.record, rect);
    for (const Rect* r : {&host.record.inRect, &host.record.outRect, &host.record.maskRect}) {
        EXPECT_EQ(r->top, 7);
        EXPECT_EQ(r->bottom, 8);
        EXPECT_EQ(r->left, static_cast<std::int16_t>(70000 & 0xFFFF)); // the low 16 bits
    }
    host.record.bigDocumentData = nullptr;
    SetInRect(&host.record, PlaneRect{1, 2, 3, 4, 0, 0});
    EXPECT_EQ(host.record.inRect.right, 4);
    EXPECT_THROW(SetInRect(nullptr, rect), EError);
    EXPECT_THROW(SetMaskRect(nullptr, rect), EError);
}

TEST(FilterAccessTest, ImageSizeFromTheActiveCoordinates) {
    FakeHost host;
    host.SetDocument(plugInModeRGBColor, 8, 3, 20, 30);
    host.big.imageSize32 = {200000, 300000};
    host.big.PluginUsing32BitCoordinates = 1;
    ImageSize size = GetImageSize(&host.record);
    EXPECT_EQ(size.height, 200000);
    EXPECT_EQ(size.width, 300000);
    host.big.imageSize32 = {-4, -5};
    size = GetImageSize(&host.record);
    EXPECT_EQ(size.height, 0);
    EXPECT_EQ(size.width, 0);
    host.big.PluginUsing32BitCoordinates = 0;
    size = GetImageSize(&host.record);
    EXPECT_EQ(size.height, 20);
    EXPECT_EQ(size.width, 30);
    host.record.imageSize = {-1, 12};
    EXPECT_EQ(GetImageSize(&host.record).height, 0);
    EXPECT_THROW(GetImageSize(nullptr), EError);
}

TEST(FilterAccessTest, PlaneTestsAndCancel) {
    FakeHost host;
    PluginState state{};
    InitialisePluginState(state);
    state.filterRecord = &host.record;
    host.record.planes = 4;
    host.record.outLayerPlanes = 3;
    host.record.inLayerPlanes = 0;
    EXPECT_TRUE(MatchesExportPlanes(&state, 3));
    EXPECT_TRUE(MatchesExportPlanes(&state, 4));
    EXPECT_FALSE(MatchesImportPlanes(&state, 3));
    EXPECT_FALSE(MatchesExportPlanes(&state, 1));
    host.record.inLayerPlanes = 3;
    EXPECT_TRUE(MatchesImportPlanes(&state, 3));

    static bool cancel = false;
    host.record.abortProc = []() -> Boolean { return cancel ? 1 : 0; };
    EXPECT_EQ(TestAbort(&state), noErr);
    cancel = true;
    EXPECT_EQ(TestAbort(&state), userCanceledErr);
    host.record.abortProc = nullptr; // a host that cannot cancel
    EXPECT_EQ(TestAbort(&state), noErr);
    EXPECT_THROW(TestAbort(nullptr), EError);
    state.filterRecord = nullptr;
    EXPECT_THROW(MatchesExportPlanes(&state, 3), EError);
}

} // namespace
