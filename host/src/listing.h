// The --list output: what the plug-in registered, one line each in the order
// it registered them.
#pragma once

#include <ostream>

#include "registry.h"

namespace host {

// type NAME ID
// function NAME(T1, T2)     "function NAME()" without arguments
// command NAME T1, T2       "command NAME" without arguments
// Each T is "number", "string" or an object type's name.
void WriteListing(const Registry& reg, std::ostream& out);

}  // namespace host
