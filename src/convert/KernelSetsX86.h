// The kernel sets written for x86 processors, built only for them.
#pragma once

#include "convert/ConvertKernels.h"

// AVX2 vector code: 8 samples per float operation, byte shuffles for the byte order and
// for taking a pixel's three channels apart.
const ConvertKernels& GetAvx2Kernels();

// The routines written for AVX-512 (Foundation and byte and word instructions), which the
// AVX-512 set holds in place of the AVX2 set's own: the gray imports of 8- and 16-bit
// samples, 32 pixels at a time. Another weight than the third, or a batch shorter than 32
// pixels, goes to the AVX2 routine.
void ImportGray8Avx512(void* dest, const void* source, std::uint32_t pixels, float weight);
void ImportGray16Avx512(void* dest, const void* source, std::uint32_t pixels, float weight);
