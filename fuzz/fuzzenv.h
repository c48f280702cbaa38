// What the harnesses share: a scratch directory for input written to files,
// and a command processor that drops every report.
#pragma once

#include <string>

// A file in the harness's own scratch directory (made on first use).
std::string ScratchFile(const char* name);
// Writes bytes to path, replacing it.
void WriteScratch(const std::string& path, const unsigned char* data, size_t size);
