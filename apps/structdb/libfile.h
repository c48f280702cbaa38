// Walking a structure library's files for structdb: every record with its
// offset and decoded contents, the index entries, and the checks.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "database/lookup.h"

struct LibRecord {
  long number;
  long offset;
  std::vector<unsigned char> body;
};

// Reads both files whole; false with a reason when the data file is missing.
bool LoadLibraryFiles(const std::string& path, std::vector<LibRecord>& records,
                      std::vector<INDEXREC>& index, bool& haveIndex, std::string& why,
                      std::vector<std::string>& problems);
// Prints every record decoded; returns the number of records that do not decode.
int DumpLibrary(const std::string& path, FILE* out);
// Prints one line per problem; returns the count.
int CheckLibrary(const std::string& path, FILE* out);
