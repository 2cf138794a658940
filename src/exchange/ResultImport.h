// The import: the processed file, checked against the header the export would have
// written, read a block at a time and delivered segment by segment through the import
// converter into the host's output.
#pragma once

#include "convert/ConvertKernels.h"
#include "core/PluginState.h"
#include "exchange/FilterAccess.h"

#include <cstdint>
#include <memory>

class IConvertBuffer;

// Closes a processed file left open, then opens processedFilePath for reading. 0, or -23
// when either fails or a symbolic link stands under the name (the descriptor is then -1).
std::int16_t OpenProcessedFile(PluginState* state);

// Creates the import converter, reads and compares the header, and delivers every batch
// in the export's order; destroys the converter. 0, or the first failure: -50
// (unsupported document, converter or read block allocation failure, plane mismatch,
// unreadable header, no advanceState, a batch larger than the host's row), -19 (another
// header, a file that ends early), the code of advanceState, -128 when the user cancels.
// Batches delivered before a failure stay delivered. The converter computes with the
// fastest kernel set this processor runs, or with the one given.
std::int16_t ImportDocument(PluginState* state);
std::int16_t ImportDocument(PluginState* state, const ConvertKernels& kernels);

// The raster bytes read ahead of the batches: reads of up to kImportBlockBytes, of
// which each batch takes its bytes in turn.
constexpr std::uint32_t kImportBlockBytes = 256 * 1024;

struct ImportBlock {
    std::unique_ptr<unsigned char[]> bytes; // kImportBlockBytes
    std::uint32_t start;                    // the next batch's first byte
    std::uint32_t end;                      // after the last byte read
    std::uint64_t unread;                   // raster bytes not read yet
};

// Allocates the block, empty, for a raster of `rasterBytes`. False when it cannot be had.
bool OpenImportBlock(ImportBlock& block, std::uint64_t rasterBytes);

// Makes the batch's bytes ready at the block's start, reading on from the processed file
// when the block holds fewer. 0, or -19 for a batch that does not fit the block or a file
// that ends first. Throws EError for null arguments or a block not opened.
std::int16_t ReadFileBatch(PluginState* state, const PlaneRect* rect, IConvertBuffer* converter,
                           ImportBlock& block);

// Asks the host for the batch and converts its bytes, ready at the block's start, straight
// into its output; the block moves on past them. 0; -50 without advanceState, when the
// block holds fewer bytes than the batch, when the batch does not fit the converter or the
// host's output row, or when the conversion fails; the code of advanceState.
std::int16_t DeliverHostBatch(PluginState* state, const PlaneRect* rect, IConvertBuffer* converter,
                              ImportBlock& block);

// Closes the processed file: 0, or -50 when the close fails. The descriptor is -1
// afterwards.
std::int16_t CloseProcessedFile(PluginState* state);
