// An 8-bit PNG preview of a document's colour channels.
#pragma once

#include "Document.h"

#include <string>

// 16-bit samples are scaled from 0..32768 to 0..255; 32-bit samples are clamped to 0..1
// and given a display gamma of 2.2, since a float document holds linear values. On
// failure returns false with a message.
bool WritePngPreview(const std::string& path, const Document& document, std::string& error);
