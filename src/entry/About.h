// The about selector: the about box on the host's window.
#pragma once

#include "host/HostRecords.h"

#include <cstdint>

// Shows the about box owned by the host window; -50 without platform data, else 0 (also
// when the box could not be shown). Throws EError for a null record.
std::int16_t DoAbout(AboutRecord* record);
