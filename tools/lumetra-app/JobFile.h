// The job document the plug-in hands to the program: where the image to process lies and
// where the result must be left.
#pragma once

#include <string>

struct JobPaths {
    std::string input;  // ImportPath joined with Image0000
    std::string output; // ExportPath joined with ExportImage
};

// The text of the first element `name` whose start tag and end tag stand on one line,
// with the entities &amp; &lt; &gt; &quot; &apos; decoded. False when there is none.
bool FindElementText(const std::string& document, const std::string& name, std::string& text);

// Replaces the five predefined entities; anything else stays as it is.
std::string DecodeEntities(const std::string& text);

// Joins a folder and a file name with `separator`, adding it only when the folder does
// not already end with it (or with '/', which Windows accepts too). An empty folder
// gives the name alone.
std::string JoinJobPath(const std::string& folder, const std::string& name, char separator);

// Reads the four elements. False with a message naming the first missing one.
bool ReadJobPaths(const std::string& document, char separator, JobPaths& paths, std::string& error);

// The job document's path from the program's arguments: argv[1], or, when the plug-in's
// unquoted path was split at its blanks, all arguments from argv[1] joined by single
// blanks. Empty when there is no argument.
std::string JobPathFromArguments(int argc, char** argv);
