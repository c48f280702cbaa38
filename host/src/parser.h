// Parses a whole macro script into statements. Nothing of a script runs unless
// all of it parses, so mistakes on its last line do not leave half its work
// done.
#pragma once

#include <string>

#include "ast.h"

namespace host {

// name labels the messages ("name:line: text"). Returns false with the first
// error in error.
bool ParseProgram(const std::string& name, const std::string& text, Program& out,
                  std::string& error);

// Names are compared without regard to case; this is their common spelling.
std::string Upper(const std::string& s);

}  // namespace host
