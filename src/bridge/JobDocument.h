// The job document "Data.lif": the request the external program reads, naming the
// exported image and the name under which the processed image is expected.
#pragma once

#include "core/PluginState.h"

#include <cstdint>

// Writes the 13-line document into the working folder (looked up or created, never
// emptied) and stores its full path in jobFilePath. A folder outside plain ASCII makes
// the first line declare the system's encoding. Returns 0, or -50 when the folder, a file
// name or the document cannot be had or written completely, or when the folder cannot be
// written so that a reader gets it back unchanged; jobFilePath is left
// as it was when the document cannot be created. Throws EError for a state without a
// FilterRecord.
std::int16_t WriteJobDocument(PluginState* state);
