// The host's side of the filter protocol, driven with plug-ins scripted inside the test:
// the selector sequence, the record the host fills, advanceState in 32-bit and 16-bit
// coordinates, the switches that play other hosts, and the memory services.
#include "FilterSession.h"
#include "GradientDocument.h"
#include "HostMemory.h"
#include "core/ResultCodes.h"
#include "host/FilterRecord.h"
#include "host/HostConstants.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>

namespace {

using Behaviour = std::function<std::int16_t(std::int16_t selector, void* block)>;

Behaviour gBehaviour;
std::vector<std::int16_t> gSelectors;

void HOST_API ScriptedPlugin(std::int16_t selector, void* block, std::intptr_t* data,
                             std::int16_t* result) {
    gSelectors.push_back(selector);
    if (selector == filterSelectorStart)
        ++*data;
    *result = gBehaviour ? gBehaviour(selector, block) : noErr;
}

HostOptions Options(const std::string& switches) {
    std::istringstream in("--plugin scripted --make 1x1 " + switches);
    std::vector<std::string> words;
    for (std::string word; in >> word;)
        words.push_back(word);
    HostOptions options;
    std::string error;
    EXPECT_TRUE(ParseHostOptions(words, options, error)) << error;
    return options;
}

struct Outcome {
    ERunOutcome outcome;
    std::string out;
    std::string diagnostics;
};

class FilterSessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        gSelectors.clear();
        gBehaviour = nullptr;
        process.window = 4242;
    }
    void TearDown() override {
        gBehaviour = nullptr;
        DisposeAllHostHandles();
        std::remove(kLog);
    }

    Outcome Run(const std::string& switches, Document& document, std::int32_t run = 1) {
        options = Options(switches);
        std::string error;
        EXPECT_TRUE(FitDocumentToOptions(options, document, error)) << error;
        std::ostringstream out;
        std::ostringstream diagnostics;
        const ERunOutcome outcome =
            RunFilterOnce(options, document, ScriptedPlugin, process, run, out, diagnostics);
        return {outcome, out.str(), diagnostics.str()};
    }

    static std::vector<std::string> LogLines() {
        std::ifstream in(kLog);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    static constexpr const char* kLog = "filter-session-requests.txt";
    HostOptions options;
    HostProcess process;
};

void Ask(FilterRecord* r, const VRect& in, const VRect& out, std::int16_t hiPlane) {
    if (r->bigDocumentData != nullptr) {
        r->bigDocumentData->inRect32 = in;
        r->bigDocumentData->outRect32 = out;
    }
    r->inRect = {static_cast<std::int16_t>(in.top), static_cast<std::int16_t>(in.left),
                 static_cast<std::int16_t>(in.bottom), static_cast<std::int16_t>(in.right)};
    r->outRect = {static_cast<std::int16_t>(out.top), static_cast<std::int16_t>(out.left),
                  static_cast<std::int16_t>(out.bottom), static_cast<std::int16_t>(out.right)};
    r->inLoPlane = r->outLoPlane = 0;
    r->inHiPlane = r->outHiPlane = hiPlane;
}

// Asks for 32-bit coordinates in prepare (unless told not to), runs `start`, and then
// empties the rectangles as a plug-in must when it is done (unless told not to).
Behaviour Filter(std::function<std::int16_t(FilterRecord*)> start, bool ask32 = true,
                 bool empty = true) {
    return [start, ask32, empty](std::int16_t selector, void* block) -> std::int16_t {
        auto* r = static_cast<FilterRecord*>(block);
        if (selector == filterSelectorPrepare && ask32 && r->bigDocumentData != nullptr)
            r->bigDocumentData->PluginUsing32BitCoordinates = 1;
        if (selector != filterSelectorStart)
            return noErr;
        const std::int16_t result = start(r);
        if (empty)
            Ask(r, {0, 0, 0, 0}, {0, 0, 0, 0}, 0);
        return result;
    };
}

TEST_F(FilterSessionTest, RunsTheSelectorsInOrderAndKeepsTheSlotBetweenRuns) {
    Document d = MakeGradientDocument(eColorRgb, 8, 4, 4);
    Outcome first = Run("", d, 1);
    EXPECT_EQ(first.outcome, eRunSucceeded);
    Outcome second = Run("", d, 2);
    EXPECT_EQ(second.outcome, eRunSucceeded);
    EXPECT_EQ(gSelectors, (std::vector<std::int16_t>{1, 2, 3, 5, 2, 3, 5}))
        << "parameters only in the first run, no continue without a request";
    EXPECT_EQ(process.dataSlot, 2) << "the slot survives from run to run";
    EXPECT_EQ(first.out.substr(0, first.out.find("filterhost: run")),
              "filterhost: parameters result 0\nfilterhost: prepare result 0\n"
              "filterhost: start result 0\nfilterhost: finish result 0\n");
    EXPECT_NE(second.out.find("filterhost: run 2 took "), std::string::npos);
    EXPECT_NE(second.out.find("filterhost: run 2 progress-calls 0"), std::string::npos);
}

TEST_F(FilterSessionTest, StopsAtTheFirstNonzeroResult) {
    Document d = MakeGradientDocument(eColorGray, 16, 2, 2);
    gBehaviour = [](std::int16_t selector, void*) -> std::int16_t {
        return selector == filterSelectorPrepare ? filterBadMode : noErr;
    };
    const Outcome o = Run("", d);
    EXPECT_EQ(o.outcome, eRunPluginFailed);
    EXPECT_EQ(gSelectors, (std::vector<std::int16_t>{1, 2}));
    EXPECT_NE(o.out.find("filterhost: prepare result -30101\n"), std::string::npos);
    EXPECT_EQ(o.out.find("start"), std::string::npos);
}

TEST_F(FilterSessionTest, TheRecordDescribesTheDocumentAndTheHost) {
    struct Case {
        EColorMode color;
        int depth;
        const char* switches;
        std::int16_t mode;
        std::int16_t planes;
    };
    const Case cases[] = {
        {eColorRgb, 8, "", plugInModeRGBColor, 3},
        {eColorRgb, 16, "", plugInModeRGB48, 3},
        {eColorRgb, 32, "", plugInModeRGB96, 3},
        {eColorGray, 8, "", plugInModeGrayScale, 1},
        {eColorGray, 16, "", plugInModeGray16, 1},
        {eColorGray, 32, "", plugInModeGray32, 1},
        {eColorRgb, 8, "--mode cmyk", plugInModeCMYKColor, 4},
        {eColorRgb, 16, "--mode cmyk", plugInModeCMYK64, 4},
        {eColorGray, 16, "--mode lab", plugInModeLab48, 3},
        {eColorRgb, 16, "--planes 4", plugInModeRGB48, 4},
    };
    for (const Case& c : cases) {
        Document d = MakeGradientDocument(c.color, c.depth, 40000, 3);
        FilterRecord seen{};
        BigDocumentStruct big{};
        gBehaviour = [&](std::int16_t selector, void* block) -> std::int16_t {
            if (selector == filterSelectorPrepare) {
                seen = *static_cast<FilterRecord*>(block);
                big = *seen.bigDocumentData;
            }
            return noErr;
        };
        ASSERT_EQ(Run(c.switches, d).outcome, eRunSucceeded);
        EXPECT_EQ(seen.imageMode, c.mode) << c.switches;
        EXPECT_EQ(seen.planes, c.planes) << c.switches;
        EXPECT_EQ(seen.depth, c.depth);
        EXPECT_EQ(seen.imageSize.v, 3);
        EXPECT_EQ(seen.imageSize.h, 32767) << "a size beyond 16 bits is clipped";
        EXPECT_EQ(big.imageSize32.h, 40000);
        EXPECT_EQ(big.imageSize32.v, 3);
        EXPECT_EQ(big.filterRect32.right, 40000);
        EXPECT_EQ(big.PluginUsing32BitCoordinates, 0);
        EXPECT_EQ(seen.filterCase, 1);
        EXPECT_EQ(seen.hostSig, kHostSignature);
        EXPECT_EQ(seen.imageHRes, 72 << 16);
        EXPECT_EQ(seen.isFloating, 0);
        EXPECT_EQ(seen.inputRate, kFixedOne);
        EXPECT_GT(seen.maxSpace, 0);
        EXPECT_TRUE(seen.abortProc != nullptr);
        EXPECT_TRUE(seen.progressProc != nullptr);
        EXPECT_TRUE(seen.advanceState != nullptr);
        EXPECT_TRUE(seen.sSPBasic != nullptr);
        EXPECT_TRUE(seen.handleProcs != nullptr);
        EXPECT_TRUE(seen.platformData != nullptr);
        const std::int16_t color =
            c.mode == plugInModeCMYKColor || c.mode == plugInModeCMYK64
                ? 4
                : (c.color == eColorRgb || c.mode == plugInModeLab48 ? 3 : 1);
        EXPECT_EQ(seen.inLayerPlanes, color) << c.switches;
        EXPECT_EQ(seen.outLayerPlanes, color);
        EXPECT_EQ(seen.inTransparencyMask, c.planes > color ? 1 : 0);
    }
}

TEST_F(FilterSessionTest, SwitchesTakeAwayOrChangeWhatTheHostOffers) {
    Document d = MakeGradientDocument(eColorRgb, 8, 10, 8);
    FilterRecord seen{};
    std::intptr_t window = -1;
    std::int16_t handleVersion = 0, handleCount = 0;
    gBehaviour = [&](std::int16_t selector, void* block) -> std::int16_t {
        if (selector != filterSelectorPrepare)
            return noErr;
        seen = *static_cast<FilterRecord*>(block);
        if (seen.platformData != nullptr)
            window = static_cast<PlatformData*>(seen.platformData)->hwnd;
        if (seen.handleProcs != nullptr) {
            handleVersion = seen.handleProcs->handleProcsVersion;
            handleCount = seen.handleProcs->numHandleProcs;
        }
        return noErr;
    };
    Run("", d);
    EXPECT_EQ(window, 4242) << "the host's window";
    EXPECT_TRUE(seen.sSPBasic != nullptr);
    Run("--no-advance-state --handle-procs none --no-big-document --no-basic-suite "
        "--no-platform-data",
        d);
    EXPECT_TRUE(seen.sSPBasic == nullptr);
    EXPECT_TRUE(seen.advanceState == nullptr);
    EXPECT_TRUE(seen.handleProcs == nullptr);
    EXPECT_TRUE(seen.bigDocumentData == nullptr);
    EXPECT_TRUE(seen.platformData == nullptr);
    Run("--handle-procs 2,7 --null-window --selection 1,2,5,9 --layer-planes 2,1", d);
    EXPECT_EQ(handleVersion, 2);
    EXPECT_EQ(handleCount, 7);
    EXPECT_EQ(window, 0);
    EXPECT_EQ(seen.filterCase, 2);
    EXPECT_EQ(seen.filterRect.top, 1);
    EXPECT_EQ(seen.filterRect.left, 2);
    EXPECT_EQ(seen.filterRect.bottom, 5);
    EXPECT_EQ(seen.filterRect.right, 9);
    EXPECT_EQ(seen.inLayerPlanes, 2);
    EXPECT_EQ(seen.outLayerPlanes, 1);
}

TEST_F(FilterSessionTest, AdvanceStateCopiesThroughAndWritesBackWhenStartReturns) {
    Document d = MakeGradientDocument(eColorRgb, 16, 1200, 2);
    const Document original = d;
    gBehaviour = Filter([](FilterRecord* r) -> std::int16_t {
        const VRect row{1, 100, 2, 1200};
        Ask(r, row, row, 2);
        if (r->advanceState() != noErr || r->inData == nullptr || r->outData == nullptr)
            return paramErr;
        // Swap red and blue of the second row's last 1100 pixels.
        auto* in = static_cast<std::uint8_t*>(r->inData);
        auto* out = static_cast<std::uint8_t*>(r->outData);
        for (int x = 0; x < 1100; ++x) {
            std::memcpy(out + x * r->outColumnBytes, in + x * r->inColumnBytes + 4, 2);
            std::memcpy(out + x * r->outColumnBytes + 4, in + x * r->inColumnBytes, 2);
        }
        return noErr;
    });
    ASSERT_EQ(Run("", d).outcome, eRunSucceeded);
    for (std::int32_t x = 0; x < 1200; ++x)
        for (int c = 0; c < 3; ++c) {
            const int from = x >= 100 && c != 1 ? 2 - c : c;
            ASSERT_EQ(ReadUnit(d, x, 1, c), ReadUnit(original, x, 1, from)) << x << " " << c;
            ASSERT_EQ(ReadUnit(d, x, 0, c), ReadUnit(original, x, 0, c));
        }
}

TEST_F(FilterSessionTest, RectanglesComeFromThe32BitFieldsOnlyWhenAgreed) {
    struct Case {
        const char* switches;
        bool ask32;
        const char* logged;
    };
    // The 32-bit rectangle is (0,0,1,3), the 16-bit one (0,0,1,2): the log shows which.
    const Case cases[] = {
        {"", true, "in 0 0 1 3 0 2 out 0 0 1 3 0 2 rate 65536 mask 65536 coords 32 result 0"},
        {"", false, "in 0 0 1 2 0 2 out 0 0 1 2 0 2 rate 65536 mask 65536 coords 16 result 0"},
        {"--coords16", true,
         "in 0 0 1 2 0 2 out 0 0 1 2 0 2 rate 65536 mask 65536 coords 16 result 0"},
        {"--no-big-document", true,
         "in 0 0 1 2 0 2 out 0 0 1 2 0 2 rate 65536 mask 65536 coords 16 result 0"},
    };
    for (const Case& c : cases) {
        std::remove(kLog);
        Document d = MakeGradientDocument(eColorRgb, 8, 4, 2);
        const bool ask32 = c.ask32;
        gBehaviour = Filter(
            [ask32](FilterRecord* r) -> std::int16_t {
                Ask(r, {0, 0, 1, 2}, {0, 0, 1, 2}, 2);
                if (r->bigDocumentData != nullptr) {
                    // Asking again in start changes nothing for a host that ignores it.
                    if (ask32)
                        r->bigDocumentData->PluginUsing32BitCoordinates = 1;
                    r->bigDocumentData->inRect32 = r->bigDocumentData->outRect32 = {0, 0, 1, 3};
                }
                return r->advanceState();
            },
            ask32);
        ASSERT_EQ(Run(std::string("--request-log ") + kLog + " " + c.switches, d).outcome,
                  eRunSucceeded)
            << c.switches;
        EXPECT_EQ(LogLines(), std::vector<std::string>{c.logged}) << c.switches;
    }
}

TEST_F(FilterSessionTest, RefusesRequestsOutsideTheDocumentWithoutDeliveringAnything) {
    struct Case {
        VRect in;
        std::int16_t hiPlane;
        OSErr expected;
    };
    const Case cases[] = {
        {{0, 0, 3, 5}, 2, noErr},    {{0, 0, 3, 6}, 2, paramErr}, {{-1, 0, 1, 1}, 2, paramErr},
        {{0, 0, 4, 1}, 2, paramErr}, {{0, 0, 1, 1}, 3, paramErr},
    };
    for (const Case& c : cases) {
        Document d = MakeGradientDocument(eColorRgb, 32, 5, 3);
        OSErr got = 1;
        bool delivered = true;
        gBehaviour = Filter([&](FilterRecord* r) -> std::int16_t {
            Ask(r, c.in, {0, 0, 0, 0}, c.hiPlane);
            got = r->advanceState();
            delivered = r->inData != nullptr;
            return noErr;
        });
        Run("", d);
        EXPECT_EQ(got, c.expected) << c.in.bottom << " " << c.in.right << " " << c.hiPlane;
        EXPECT_EQ(delivered, c.expected == noErr);
    }
}

TEST_F(FilterSessionTest, AbortAfterAndAdvanceErrorCountAdvanceStateCalls) {
    Document d = MakeGradientDocument(eColorGray, 8, 3, 6);
    std::vector<int> aborts;
    std::vector<OSErr> results;
    std::vector<bool> delivered;
    gBehaviour = Filter([&](FilterRecord* r) -> std::int16_t {
        aborts.push_back(r->abortProc());
        for (std::int32_t row = 0; row < 5; ++row) {
            Ask(r, {row, 0, row + 1, 3}, {row, 0, row + 1, 3}, 0);
            results.push_back(r->advanceState());
            delivered.push_back(r->inData != nullptr && r->outData != nullptr);
            aborts.push_back(r->abortProc());
            r->progressProc(row, 5);
        }
        return noErr;
    });
    const Outcome o = Run("--abort-after 3 --advance-error 2,-108", d);
    EXPECT_EQ(aborts, (std::vector<int>{0, 0, 0, 1, 1, 1}));
    EXPECT_EQ(results, (std::vector<OSErr>{0, -108, 0, 0, 0}));
    EXPECT_EQ(delivered, (std::vector<bool>{true, false, true, true, true}));
    EXPECT_NE(o.out.find("progress-calls 5"), std::string::npos);

    aborts.clear();
    Run("--abort-after 0", d);
    EXPECT_EQ(aborts.front(), 1) << "0 means at once";
}

TEST_F(FilterSessionTest, TheContinueProtocolGetsItsRectanglesDelivered) {
    Document d = MakeGradientDocument(eColorGray, 8, 7, 4);
    const Document original = d;
    gBehaviour = [](std::int16_t selector, void* block) -> std::int16_t {
        auto* r = static_cast<FilterRecord*>(block);
        if (selector == filterSelectorStart) {
            Ask(r, {0, 0, 1, 7}, {0, 0, 1, 7}, 0);
        } else if (selector == filterSelectorContinue) {
            if (r->inData == nullptr || r->outData == nullptr)
                return paramErr;
            auto* in = static_cast<std::uint8_t*>(r->inData);
            auto* out = static_cast<std::uint8_t*>(r->outData);
            for (int x = 0; x < 7; ++x)
                out[x] = static_cast<std::uint8_t>(255 - in[x]);
            const std::int16_t next = static_cast<std::int16_t>(r->outRect.top + 1);
            if (next == 4)
                Ask(r, {0, 0, 0, 0}, {0, 0, 0, 0}, 0);
            else
                Ask(r, {next, 0, static_cast<std::int32_t>(next + 1), 7},
                    {next, 0, static_cast<std::int32_t>(next + 1), 7}, 0);
        }
        return noErr;
    };
    const Outcome o = Run("", d);
    ASSERT_EQ(o.outcome, eRunSucceeded) << o.diagnostics;
    EXPECT_EQ(gSelectors, (std::vector<std::int16_t>{1, 2, 3, 4, 4, 4, 4, 5}));
    for (std::size_t i = 0; i < d.samples.size(); ++i)
        ASSERT_EQ(d.samples[i], 255 - original.samples[i]) << i;
}

TEST_F(FilterSessionTest, ARequestLeftThatTheHostCannotServeEndsTheRun) {
    Document d = MakeGradientDocument(eColorGray, 8, 4, 4);
    gBehaviour = [](std::int16_t selector, void* block) -> std::int16_t {
        if (selector == filterSelectorStart)
            Ask(static_cast<FilterRecord*>(block), {0, 0, 9, 9}, {0, 0, 0, 0}, 0);
        return noErr;
    };
    const Outcome o = Run("", d);
    EXPECT_EQ(o.outcome, eRunPluginFailed);
    EXPECT_EQ(gSelectors, (std::vector<std::int16_t>{1, 2, 3}));
    EXPECT_NE(o.diagnostics.find("cannot deliver (result -50)"), std::string::npos);
}

TEST_F(FilterSessionTest, APluginThatNeverEmptiesItsRectanglesIsStopped) {
    Document d = MakeGradientDocument(eColorGray, 8, 4, 4);
    gBehaviour = Filter(
        [](FilterRecord* r) -> std::int16_t {
            Ask(r, {0, 0, 1, 4}, {0, 0, 1, 4}, 0);
            return r->advanceState();
        },
        true, false);
    const Outcome o = Run("", d);
    EXPECT_EQ(o.outcome, eRunPluginFailed);
    EXPECT_EQ(gSelectors.size(), 3u + kMaxRepeatedRequests) << "no finish";
    EXPECT_NE(o.diagnostics.find("must empty inRect and outRect"), std::string::npos);
}

TEST(HostMemoryTest, HandlesBehaveAsAHostsDo) {
    const HandleProcs procs = MakeHostHandleProcs();
    EXPECT_EQ(procs.handleProcsVersion, 1);
    EXPECT_EQ(procs.numHandleProcs, 8);
    const int before = LiveHostHandles();
    Handle h = procs.newProc(16);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(LiveHostHandles(), before + 1);
    EXPECT_EQ(procs.getSizeProc(h), 16);
    Ptr p = procs.lockProc(h, 0);
    ASSERT_EQ(p, *h) << "a handle points at its block's address";
    EXPECT_EQ(static_cast<unsigned char>(p[15]), kNewHandlePattern) << "not cleared";
    EXPECT_EQ(LockedHostHandles(), 1);
    EXPECT_EQ(procs.setSizeProc(h, 64), memFullErr) << "a locked block cannot grow";
    EXPECT_EQ(procs.setSizeProc(h, 8), noErr);
    EXPECT_EQ(*h, p) << "nor move";
    procs.unlockProc(h);
    procs.unlockProc(h); // an extra unlock does no harm
    EXPECT_EQ(LockedHostHandles(), 0);
    EXPECT_EQ(procs.setSizeProc(h, 4096), noErr);
    EXPECT_EQ(procs.getSizeProc(h), 4096);
    EXPECT_EQ(procs.newProc(-1), nullptr);
    char stranger[8] = {};
    Handle unknown = reinterpret_cast<Handle>(stranger);
    procs.disposeProc(unknown);
    EXPECT_EQ(procs.lockProc(unknown, 0), nullptr);
    EXPECT_EQ(procs.getSizeProc(unknown), 0);
    procs.disposeProc(h);
    EXPECT_EQ(LiveHostHandles(), before);
}

TEST(HostMemoryTest, TheBasicSuiteKnowsNoSuitesButAllocates) {
    const SPBasicSuite basic = MakeHostBasicSuite();
    const void* suite = &basic;
    EXPECT_EQ(basic.AcquireSuite("Photoshop Handle Suite for Plug-ins", 2, &suite),
              kSuiteNotFoundError);
    EXPECT_EQ(suite, nullptr);
    EXPECT_TRUE(basic.IsEqual("abc", "abc"));
    EXPECT_FALSE(basic.IsEqual("abc", "abd"));
    void* block = nullptr;
    ASSERT_EQ(basic.AllocateBlock(10, &block), 0);
    ASSERT_NE(block, nullptr);
    ASSERT_EQ(basic.ReallocateBlock(block, 100, &block), 0);
    EXPECT_EQ(basic.FreeBlock(block), 0);
}

TEST(HostModeTest, RunAboutPassesPlatformDataAndTheBasicSuite) {
    HostProcess process;
    process.window = 77;
    bool platform = false, suite = false;
    std::intptr_t window = 0;
    gBehaviour = [&](std::int16_t selector, void* block) -> std::int16_t {
        auto* about = static_cast<AboutRecord*>(block);
        platform = about->platformData != nullptr;
        suite = about->sSPBasic != nullptr;
        window = platform ? static_cast<PlatformData*>(about->platformData)->hwnd : 0;
        return selector == filterSelectorAbout ? noErr : paramErr;
    };
    HostOptions options;
    std::string error;
    ASSERT_TRUE(ParseHostOptions({"--plugin", "x", "--about"}, options, error));
    std::ostringstream out;
    EXPECT_EQ(RunAbout(options, ScriptedPlugin, process, out), eRunSucceeded);
    EXPECT_EQ(out.str(), "filterhost: about result 0\n");
    EXPECT_TRUE(platform && suite);
    EXPECT_EQ(window, 77);
    ASSERT_TRUE(
        ParseHostOptions({"--plugin", "x", "--about", "--no-platform-data"}, options, error));
    RunAbout(options, ScriptedPlugin, process, out);
    EXPECT_FALSE(platform);
    gBehaviour = nullptr;
}

TEST(HostModeTest, FitsTheDocumentToTheOptions) {
    HostOptions options;
    std::string error;
    ASSERT_TRUE(
        ParseHostOptions({"--plugin", "x", "--input", "in.pgm", "--mode", "rgb"}, options, error));
    Document gray = MakeGradientDocument(eColorGray, 8, 4, 4);
    EXPECT_FALSE(FitDocumentToOptions(options, gray, error));
    EXPECT_NE(error.find("does not match"), std::string::npos);
    ASSERT_TRUE(ParseHostOptions(
        {"--plugin", "x", "--input", "in.pgm", "--depth", "16", "--planes", "2"}, options, error));
    ASSERT_TRUE(FitDocumentToOptions(options, gray, error)) << error;
    EXPECT_EQ(gray.depth, 16);
    EXPECT_EQ(gray.channels, 2);
    ASSERT_TRUE(ParseHostOptions({"--plugin", "x", "--input", "in.pgm", "--selection", "0,0,4,5"},
                                 options, error));
    EXPECT_FALSE(FitDocumentToOptions(options, gray, error));
    EXPECT_NE(error.find("outside"), std::string::npos);
}

} // namespace
