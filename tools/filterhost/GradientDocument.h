// A document made in memory for tests and benchmarks, so that they need no large files.
#pragma once

#include "Document.h"

// A gradient with visible structure in every channel: red rises from left to right, green
// from top to bottom, blue along the diagonal with a faint checker; gray combines the
// three. Every value lies within 0..1 (32-bit included). Throws std::bad_alloc like
// MakeDocument.
Document MakeGradientDocument(EColorMode color, int depth, std::int32_t width, std::int32_t height);
