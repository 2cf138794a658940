// What the fuzz targets share: a private folder per fuzzing process, whole-file writes,
// and the one way a target reports a violated property.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// A folder of this process's own, made on first use under the caller's TMPDIR (or /tmp)
// and removed with everything in it when the process ends. Nothing a target does leaves
// it, so fuzzing never meets the working folder of a real run.
const std::string& PrivateFolder();

// Replaces `path` by a new file with exactly these bytes; aborts when that fails, since
// the target would then test nothing.
void WriteWholeFile(const std::string& path, const std::uint8_t* data, std::size_t size);

// Reports a broken property and aborts, so that libFuzzer keeps the input.
[[noreturn]] void Violation(const char* what);
