// The third-party hosts the test host plays from one switch, and what each of them does
// differently from an ordinary host.
#pragma once

#include "HostOptions.h"

#include <string>
#include <utility>
#include <vector>

// Sets in `options` everything the named host does: gimp, paintnet, pspihost or bigdoc.
// Switches given after the profile change what it set. False for an unknown name.
bool ApplyHostProfile(const std::string& name, HostOptions& options);

// For --help: each profile's name and the behaviours it plays.
std::vector<std::pair<std::string, std::string>> HostProfileTexts();
