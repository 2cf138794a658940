// The warnings of the Linux port: every line of the host's output that neither the host
// nor the stand-in program wrote.
#include "WarningWatch.h"

#include "TestSystem.h"

#include <sstream>

std::vector<SeenWarning> WatchWarnings(const std::function<void()>& runHost,
                                       const std::string& outputPath) {
    runHost();
    std::vector<SeenWarning> warnings;
    std::istringstream lines(ReadFileBytes(outputPath));
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || line.rfind("filterhost: ", 0) == 0 ||
            line.rfind("Lumetra.exe: ", 0) == 0)
            continue;
        warnings.push_back({line, true});
    }
    return warnings;
}
