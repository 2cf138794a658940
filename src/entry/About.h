// The about box, the one warning message and the host-capability check that shows it.
#pragma once

#include "host/HostRecords.h"

#include <cstdint>

// Shows the about box owned by the host window; -50 without platform data, else 0.
// Throws EError for a null record.
std::int16_t DoAbout(AboutRecord* record);
