// A complete setting for whole filter runs: a settings file naming the folder of the
// stand-in program, a private temporary folder (with a blank in its name), and the test
// host started as a process on documents written for the case.
#pragma once

#include "BridgeFixtures.h"
#include "Document.h"
#include "WarningWatch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

// What one start of the test host printed and returned.
struct HostRun {
    int exitCode = -1;
    std::string output;
    std::vector<SeenWarning> warnings; // the module's warning boxes, closed by the test
    // The result codes of every call of the given selector, in order ("start", ...).
    std::vector<int> Results(const std::string& selector) const;
    // The open-file counts printed by --count-open-files, run 0 (before the first) first.
    std::vector<int> OpenFiles() const;
};

class RunTest : public ::testing::Test {
protected:
    void SetUp() override;

    // Starts filterhost with the product module and `arguments`, with `environment`
    // ("NAME=value") added for it and the programs it starts; through `prefix` (a program
    // and its switches, such as one that changes the user) when given.
    HostRun Host(const std::vector<std::string>& arguments,
                 const std::vector<std::string>& environment = {},
                 const std::vector<std::string>& prefix = {});

    // A path in the test's scratch folder.
    std::string File(const std::string& name) const { return scratch.Sub(name); }

    // Writes `document` in its natural format (PPM, PGM or PFM) and returns the path.
    std::string WriteDocument(const Document& document, const std::string& name) const;
    Document ReadDocument(const std::string& path) const;

    ScratchFolder scratch{"run"};
    std::atomic<int> hostRuns{0}; // each start of the host has its own output file
    std::string temp;             // the temporary folder the product uses, with its separator
    std::unique_ptr<TempFolderOverride> tempOverride;
    std::unique_ptr<SettingsProfile> profile;
};

// The 16-bit exchange value of a host value, and the host value of an exchange value:
// both directions truncate in single precision.
std::uint16_t Export16(std::uint16_t host);
std::uint16_t Import16(std::uint16_t exchange);

// A document whose samples cover what the conversion must keep or change: the ends of the
// 16-bit range and 16384, floats outside 0..1 and infinite ones. `seed` varies the pattern.
Document PatternDocument(EColorMode color, int depth, std::int32_t width, std::int32_t height,
                         int seed = 0);

std::uint16_t Sample16(const Document& d, std::size_t index);

// A 16-bit document after a run of the stand-in in copy mode that delivered its first
// `copiedPixels` pixels (in raster order, which is the order of the batches; more than
// the document holds means all).
Document CopiedPixels(const Document& before, std::size_t copiedPixels);

// The document after a run in invert mode.
Document Inverted(const Document& before);

// Index of the first sample where two documents of the same layout differ, or -1.
long long FirstDifference(const Document& a, const Document& b);
