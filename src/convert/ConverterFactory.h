// Creation and release of the converter a transfer uses, owned by the state block.
#pragma once

#include "convert/ConvertKernels.h"
#include "core/PluginState.h"

#include <cstdint>

// Each destroys the converter the state holds, then creates the one for the document's
// format (export: host to exchange; import: exchange to host) without configuring it,
// computing with the given kernel set or, without one, with the fastest set this
// processor runs. True when the state then holds a converter; false for an unsupported
// document or a failed allocation. Throw EError for a missing state or FilterRecord.
bool CreateExportConverter(PluginState* state);
bool CreateExportConverter(PluginState* state, const ConvertKernels& kernels);
bool CreateImportConverter(PluginState* state);
bool CreateImportConverter(PluginState* state, const ConvertKernels& kernels);

// Destroys the state's converter, if any, and clears the field.
void ReleaseConverter(PluginState* state);

// Runs one transfer with the converter a factory creates: -50 when none can be created,
// else the transfer's result. The converter is destroyed before returning, also when an
// exception passes through, so none ever outlives its transfer.
std::int16_t RunWithConverter(PluginState* state, const ConvertKernels& kernels,
                              bool (*create)(PluginState*, const ConvertKernels&),
                              std::int16_t (*transfer)(PluginState*, IConvertBuffer&));
