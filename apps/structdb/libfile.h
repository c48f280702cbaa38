// Walking a structure library's files for structdb: every record with its
// offset and decoded contents, the index entries, and the checks. The data
// file is read record by record and problems are listed as they are found, so
// a library of any size (or a damaged one) takes memory for its index only.
#pragma once

#include <cstdio>
#include <string>

// Problems beyond this many are counted, not listed.
constexpr long kMaxListedProblems = 100;

// Prints every record decoded (problems on stderr); returns the number of
// problems (records that do not decode and damage to the files), saturated.
int DumpLibrary(const std::string& path, FILE* out);
// Prints one line per problem; returns the count, saturated.
int CheckLibrary(const std::string& path, FILE* out);
