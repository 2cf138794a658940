// The test host's command line: every switch's spelling and values, and the refusals.
#include "HostOptions.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

HostOptions Parse(const std::string& line) {
    HostOptions options;
    std::string error;
    EXPECT_TRUE(ParseHostOptions(Words(line), options, error)) << line << ": " << error;
    return options;
}

TEST(HostOptionsTest, DefaultsPlayAnOrdinaryHost) {
    const HostOptions o = Parse("--plugin m.8bf --input in.ppm");
    EXPECT_EQ(o.action, eActionFilter);
    EXPECT_EQ(o.plugin, "m.8bf");
    EXPECT_EQ(o.input, "in.ppm");
    EXPECT_TRUE(o.advanceState && o.handleProcs && o.bigDocument && o.platformData);
    EXPECT_FALSE(o.coords16 || o.nullWindow || o.selectionGiven || o.layerPlanesGiven ||
                 o.printWindow);
    EXPECT_EQ(o.handleProcsVersion, 1);
    EXPECT_EQ(o.handleProcsCount, 8);
    EXPECT_EQ(o.abortAfter, -1);
    EXPECT_EQ(o.advanceErrorCall, 0);
    EXPECT_EQ(o.runs, 1);
    EXPECT_EQ(o.planes, 0);
    EXPECT_EQ(o.depth, 0);
}

TEST(HostOptionsTest, RunSwitchesCollectPerRunSettings) {
    HostOptions o = Parse("--plugin m --make 2x2 --runs 3 --faults-in-run 2 "
                          "--run-env 2,MODE=copy --run-env 3,EMPTY= --count-open-files");
    EXPECT_EQ(o.faultRun, 2);
    ASSERT_EQ(o.runEnvironment.size(), 2u);
    EXPECT_EQ(o.runEnvironment[0], std::make_pair(2, std::string("MODE=copy")));
    EXPECT_EQ(o.runEnvironment[1], std::make_pair(3, std::string("EMPTY=")));
    EXPECT_TRUE(o.countOpenFiles);
}

TEST(HostOptionsTest, EverySwitchSetsWhatItSays) {
    HostOptions o = Parse("--plugin m --make 1500x3 --mode gray --depth 32 --output o.pfm "
                          "--preview p.png --no-advance-state --handle-procs 2,7 "
                          "--no-big-document --no-basic-suite --coords16 --abort-after 4 "
                          "--advance-error 3,-108 "
                          "--planes 2 --layer-planes 1,0 --selection 1,2,3,4 --runs 5 "
                          "--request-log r.txt --no-platform-data --null-window "
                          "--window-timer 50 --print-window --repeat-slot 4294967295 "
                          "--foreign-lock memory");
    EXPECT_TRUE(o.make);
    EXPECT_EQ(o.makeWidth, 1500);
    EXPECT_EQ(o.makeHeight, 3);
    EXPECT_TRUE(o.colorGiven);
    EXPECT_EQ(o.color, eColorGray);
    EXPECT_EQ(o.depth, 32);
    EXPECT_EQ(o.output, "o.pfm");
    EXPECT_EQ(o.preview, "p.png");
    EXPECT_FALSE(o.advanceState);
    EXPECT_EQ(o.handleProcsVersion, 2);
    EXPECT_EQ(o.handleProcsCount, 7);
    EXPECT_FALSE(o.bigDocument);
    EXPECT_FALSE(o.basicSuite);
    EXPECT_TRUE(o.coords16);
    EXPECT_EQ(o.abortAfter, 4);
    EXPECT_EQ(o.advanceErrorCall, 3);
    EXPECT_EQ(o.advanceErrorCode, -108);
    EXPECT_EQ(o.planes, 2);
    EXPECT_EQ(o.inLayerPlanes, 1);
    EXPECT_EQ(o.outLayerPlanes, 0);
    EXPECT_EQ(o.selection.top, 1);
    EXPECT_EQ(o.selection.left, 2);
    EXPECT_EQ(o.selection.bottom, 3);
    EXPECT_EQ(o.selection.right, 4);
    EXPECT_EQ(o.runs, 5);
    EXPECT_EQ(o.requestLog, "r.txt");
    EXPECT_FALSE(o.platformData);
    EXPECT_TRUE(o.nullWindow);
    EXPECT_EQ(o.windowTimerMs, 50);
    EXPECT_TRUE(o.printWindow);
    EXPECT_TRUE(o.repeatGiven);
    EXPECT_EQ(o.repeatSlot, 4294967295u);
    EXPECT_EQ(o.foreignLock, eForeignMemory);

    o = Parse("--plugin m --input x.pgm --mode cmyk --handle-procs none --abort-after=0");
    EXPECT_EQ(o.modeOverride, eOverrideCmyk);
    EXPECT_FALSE(o.colorGiven);
    EXPECT_FALSE(o.handleProcs);
    EXPECT_EQ(o.abortAfter, 0);
    EXPECT_EQ(Parse("--plugin m --make 2x2 --mode lab").modeOverride, eOverrideLab);
    EXPECT_EQ(Parse("--plugin m --about").action, eActionAbout);
    EXPECT_EQ(Parse("--plugin m --info").action, eActionInfo);
    EXPECT_EQ(Parse("--input x --help --bogus").action, eActionHelp) << "help wins at once";
}

TEST(HostOptionsTest, RefusesBadSwitchesValuesAndCombinations) {
    struct Case {
        const char* line;
        const char* message; // a part of the message
    };
    const Case cases[] = {
        {"--plugin m --input x --frobnicate", "unknown switch --frobnicate"},
        {"--plugin m --input", "--input needs a value"},
        {"--input x", "--plugin MODULE is required"},
        {"--plugin m", "exactly one of --input"},
        {"--plugin m --input x --make 2x2", "exactly one of --input"},
        {"--plugin m --about --input x", "take no document"},
        {"--plugin m --about --info", "only one of --about and --info"},
        {"--plugin m --make 0x5", "bad value for --make"},
        {"--plugin m --make 5x", "bad value for --make"},
        {"--plugin m --make 5x5x5", "bad value for --make"},
        {"--plugin m --make 2x2 --mode hsl", "bad value for --mode"},
        {"--plugin m --make 2x2 --depth 12", "bad value for --depth"},
        {"--plugin m --make 2x2 --handle-procs 1", "bad value for --handle-procs"},
        {"--plugin m --make 2x2 --handle-procs 1,9", "bad value for --handle-procs"},
        {"--plugin m --make 2x2 --handle-procs 1,x", "bad value for --handle-procs"},
        {"--plugin m --make 2x2 --abort-after -1", "bad value for --abort-after"},
        {"--plugin m --make 2x2 --advance-error 0,-50", "bad value for --advance-error"},
        {"--plugin m --make 2x2 --advance-error 1,40000", "bad value for --advance-error"},
        {"--plugin m --make 2x2 --planes 0", "bad value for --planes"},
        {"--plugin m --make 2x2 --planes 9", "bad value for --planes"},
        {"--plugin m --make 2x2 --selection 1,2,3", "bad value for --selection"},
        {"--plugin m --make 2x2 --selection 2,0,1,1", "bad value for --selection"},
        {"--plugin m --make 2x2 --runs 0", "bad value for --runs"},
        {"--plugin m --make 2x2 --runs 1e3", "bad value for --runs"},
        {"--plugin m --make 2x2 --window-timer 0", "bad value for --window-timer"},
        {"--plugin m --make 2x2 --coords16=yes", "--coords16 takes no value"},
        {"--plugin m --make 2x2 --runs 99999999999999", "bad value for --runs"},
        {"--plugin m --make 2x2 --faults-in-run 0", "bad value for --faults-in-run"},
        {"--plugin m --make 2x2 --run-env 2", "bad value for --run-env"},
        {"--plugin m --make 2x2 --run-env 0,A=b", "bad value for --run-env"},
        {"--plugin m --make 2x2 --run-env 1,=b", "bad value for --run-env"},
        {"--plugin m --make 2x2 --run-env 1,NOVALUE", "bad value for --run-env"},
        {"--plugin m --make 2x2 --host-profile photoshop", "bad value for --host-profile"},
        {"--plugin m --make 2x2 --host-profile gimp --depth 16", "serves 8-bit documents only"},
        {"--plugin m --make 2x2 --depth 32 --host-profile pspihost", "8-bit documents only"},
        {"--plugin m --make 2x2 --host-profile paintnet --mode gray", "serves RGB documents"},
        {"--plugin m --make 2x2 --repeat-slot 4294967296", "bad value for --repeat-slot"},
        {"--plugin m --make 2x2 --repeat-slot -1", "bad value for --repeat-slot"},
        {"--plugin m --make 2x2 --foreign-lock maybe", "bad value for --foreign-lock"},
    };
    for (const Case& c : cases) {
        HostOptions options;
        std::string error;
        EXPECT_FALSE(ParseHostOptions(Words(c.line), options, error)) << c.line;
        EXPECT_NE(error.find(c.message), std::string::npos) << c.line << ": " << error;
    }
}

TEST(HostOptionsTest, HelpListsEverySwitch) {
    const std::string usage = HostUsage();
    for (const char* name : {"--plugin",
                             "--input",
                             "--make",
                             "--mode",
                             "--depth",
                             "--output",
                             "--preview",
                             "--about",
                             "--info",
                             "--help",
                             "--no-advance-state",
                             "--handle-procs",
                             "--no-big-document",
                             "--no-basic-suite",
                             "--coords16",
                             "--abort-after",
                             "--advance-error",
                             "--planes",
                             "--layer-planes",
                             "--selection",
                             "--runs",
                             "--request-log",
                             "--no-platform-data",
                             "--null-window",
                             "--window-timer",
                             "--print-window",
                             "--host-profile",
                             "--repeat-slot",
                             "--foreign-lock"})
        EXPECT_NE(usage.find(std::string("  ") + name), std::string::npos) << name;
    for (const char* profile : {"gimp", "paintnet", "pspihost", "bigdoc"})
        EXPECT_NE(usage.find(std::string("\n  ") + profile + "\n"), std::string::npos) << profile;
}

// Each profile plays its host through the ordinary switches and the behaviours beside
// them; a switch after the profile changes what it set, one before it does not.
TEST(HostOptionsTest, ProfilesPlayTheirHosts) {
    struct Case {
        const char* profile;
        bool window, bigDocument, basicSuite, slot32, reload, freshSlot, finish;
        int planes;
        ELoopTest loop;
    };
    const Case cases[] = {
        {"gimp", false, false, false, true, false, false, false, 0, eLoopInOrOut},
        {"paintnet", true, false, true, false, true, false, true, 4, eLoopInOutOrMask},
        {"pspihost", true, false, false, false, false, true, true, 0, eLoopRightNotZero},
        {"bigdoc", true, true, true, false, false, false, true, 0, eLoopInOrOut},
    };
    for (const Case& c : cases) {
        const HostOptions o =
            Parse(std::string("--plugin m --make 2x2 --host-profile ") + c.profile);
        const HostBehaviour& b = o.behaviour;
        EXPECT_EQ(b.profile, c.profile);
        EXPECT_EQ(!o.nullWindow, c.window) << c.profile;
        EXPECT_EQ(o.bigDocument, c.bigDocument) << c.profile;
        EXPECT_EQ(o.basicSuite, c.basicSuite) << c.profile;
        EXPECT_EQ(b.slot32, c.slot32) << c.profile;
        EXPECT_EQ(b.reloadEachRun && b.disposeSlotAfterRun, c.reload) << c.profile;
        EXPECT_EQ(b.freshSlotEachRun && b.parametersEveryRun, c.freshSlot) << c.profile;
        EXPECT_EQ(b.finishAfterSuccess, c.finish) << c.profile;
        EXPECT_EQ(o.planes, c.planes) << c.profile;
        EXPECT_EQ(b.loop, c.loop) << c.profile;
        EXPECT_TRUE(b.lateStore) << c.profile;
    }
    EXPECT_EQ(Parse("--plugin m --make 2x2 --host-profile gimp --planes 3").planes, 3);
    EXPECT_EQ(Parse("--plugin m --make 2x2 --planes 3 --host-profile paintnet").planes, 4);
    EXPECT_TRUE(Parse("--plugin m --make 2x2 --host-profile bigdoc --coords16").coords16);
    EXPECT_TRUE(Parse("--plugin m --make 2x2").behaviour.profile.empty());
}

} // namespace
