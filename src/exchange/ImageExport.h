// The export: the whole document, row by row and segment by segment, from the host
// through the export converter into the export file.
#pragma once

#include "convert/ConvertKernels.h"
#include "core/PluginState.h"
#include "exchange/FilterAccess.h"

#include <cstdint>

// The size of the export's write block: the raster reaches the file in writes of this many
// bytes, each ending on a multiple of it in the file (the first and the last may be
// shorter). The block, with room for one more batch, is allocated once per export.
constexpr std::uint32_t kExportBlockBytes = 256 * 1024;

// Creates the export converter, writes the header and every batch of the document (the
// selection plays no part), and destroys the converter. 0, or the first failure: -50
// (unsupported document, converter or block allocation failure, plane mismatch, no
// advanceState), the code of advanceState, -20 for a failed write, -128 when the user
// cancels. The batches are collected in a block and written a block at a time; whatever
// stops the export, the header and every batch converted before the stop are written
// (as far as the file system takes them) and stay in the file. The converter computes with the
// fastest kernel set this processor runs, or with the one given.
std::int16_t ExportDocument(PluginState* state);
std::int16_t ExportDocument(PluginState* state, const ConvertKernels& kernels);

// Asks the host for the batch (input and output rectangle and planes alike) at full
// resolution. On success `data` and `rowBytes` describe the host's input pixels. 0, -50
// without advanceState, or advanceState's code. Throws EError for null arguments.
std::int16_t FetchHostBatch(PluginState* state, const PlaneRect* rect, const void** data,
                            std::uint32_t* rowBytes);

// Converts `pixels` pixels straight from `data` (of which `*bytes` may be read) into the
// state's converter and points `data` and `bytes` at the converted batch inside the
// converter. 0, or -50. Throws EError for null arguments or 0 pixels.
std::int16_t ConvertHostBatch(PluginState* state, const void** data, std::uint32_t* bytes,
                              std::uint32_t pixels);

// Converts `pixels` pixels straight from `data` (of which `bytes` may be read) into `dest`
// (of which `destBytes` may be written) through the state's converter. 0, or -50 when the
// batch does not fit either side or the conversion fails. Throws EError for null
// arguments, no converter or 0 pixels.
std::int16_t ConvertHostBatchInto(PluginState* state, const void* data, std::uint32_t bytes,
                                  std::uint32_t pixels, void* dest, std::uint32_t destBytes);

// Closes the export file: 0, or -50 when the close fails. The descriptor is -1 afterwards.
std::int16_t CloseExportFile(PluginState* state);
