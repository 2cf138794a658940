// The import: the processed file, checked against the header the export would have
// written, read segment by segment through the import converter into the host's output.
#pragma once

#include "convert/ConvertKernels.h"
#include "core/PluginState.h"
#include "exchange/FilterAccess.h"

#include <cstdint>

class IConvertBuffer;

// Closes a processed file left open, then opens processedFilePath for reading. 0, or -23
// when either fails or a symbolic link stands under the name (the descriptor is then -1).
std::int16_t OpenProcessedFile(PluginState* state);

// Creates the import converter, reads and compares the header, and delivers every batch
// in the export's order; destroys the converter. 0, or the first failure: -50
// (unsupported document, converter failure, plane mismatch, unreadable header, no
// advanceState, a batch larger than the host's row), -19 (another header, a file that
// ends early), the code of advanceState, -128 when the user cancels. Batches delivered
// before a failure stay delivered. The converter computes with the fastest kernel set
// this processor runs, or with the one given.
std::int16_t ImportDocument(PluginState* state);
std::int16_t ImportDocument(PluginState* state, const ConvertKernels& kernels);

// Reads the batch's bytes from the processed file into the converter's source buffer.
// 0, or -19 for a batch that does not fit or a file that ends first.
std::int16_t ReadFileBatch(PluginState* state, const PlaneRect* rect, IConvertBuffer* converter);

// Asks the host for the batch and converts the bytes read last straight into its output.
// 0; -50 without advanceState, when the batch does not fit the converter's buffer or the
// host's output row, or when the conversion fails; the code of advanceState.
std::int16_t DeliverHostBatch(PluginState* state, const PlaneRect* rect, IConvertBuffer* converter);

// Closes the processed file: 0, or -50 when the close fails. The descriptor is -1
// afterwards.
std::int16_t CloseProcessedFile(PluginState* state);
