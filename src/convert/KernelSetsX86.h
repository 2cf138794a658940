// The kernel sets written for x86 processors, built only for them.
#pragma once

#include "convert/ConvertKernels.h"

// AVX2 vector code: 8 samples per float operation, byte shuffles for the byte order and
// for taking a pixel's three channels apart.
const ConvertKernels& GetAvx2Kernels();
