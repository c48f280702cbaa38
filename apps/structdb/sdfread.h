// Reading the structure inputs of "structdb build": SD files (molblocks
// separated by "$$$$" lines, each followed by its "> <NAME>" data items) and
// MOL files. Every molblock goes through the MOL reader, one at a time, so
// the memory taken does not grow with the input.
#pragma once

#include <string>

#include "buildrun.h"

// True for a path read as one MOL file (".mol" in any case); any other is
// read as an SD file, and a MOL file read so is an SD file of one structure.
bool IsMolPath(const std::string& path);

// Hands every structure of the SD file at path to run, numbered from 1;
// bytesBefore is the input done before this file (for the progress).
void ReadSdFile(CBuildRun& run, const std::string& path, long long bytesBefore);
// The MOL file at path as structure 1 of its file.
void ReadMolInput(CBuildRun& run, const std::string& path);
