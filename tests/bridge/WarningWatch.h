// The warning boxes a start of the test host showed: on Windows seen, read and closed
// while the host runs; on Linux, where the module records their texts on standard error,
// read from the host's output afterwards.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct SeenWarning {
    std::string text;
    bool ownedByHostWindow = false; // on Linux there is no window: always true
    bool ownerless = false;         // a box owned by no window; on Linux always false
};

// Calls `runHost`, which runs the test host with --print-window, its output going to
// `outputPath`, until the host has ended; returns the warnings it showed meanwhile, in
// order.
std::vector<SeenWarning> WatchWarnings(const std::function<void()>& runHost,
                                       const std::string& outputPath);
