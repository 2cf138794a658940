// Whether a text can stand in a document written in the system's narrow encoding and be
// read back by an XML reader as the same text, and which encoding the document declares.
#pragma once

#include <string>

// True when `text` can be the content of an element (the writer escapes & < >) and read
// back unchanged; `encoding` then receives what the document must declare: "" for plain
// ASCII text and for UTF-8 (the design's undeclared header), else the name of the ANSI
// code page. False for control characters other than the tab (a carriage return too,
// which a reader turns into a line feed), for bytes that are not characters of the
// narrow encoding, and for non-ASCII text where that encoding has no agreed name.
bool GetXmlEncoding(const std::string& text, std::string& encoding);
