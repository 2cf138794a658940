// The text of the about box.
#pragma once

#include <string>

// The title line naming the module's architecture, the host line and the maker's notice,
// in the Windows ANSI code page.
std::string AboutText();
