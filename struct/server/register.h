// Registration of the library's object types, macro functions and macro
// commands with the host, in that order. Each group stops at its first
// refused row and returns its status; nothing registered is withdrawn.
#pragma once

#include "core/common.h"

short RegisterObjectTypes(CCpClient* client);
short RegisterFunctions(CCpClient* client);
short RegisterCommands(CCpClient* client);

// Type bytes of a plain command, first argument in the lowest byte, 0xFF after
// the last one when there are fewer than four.
DWORD PackArgTypes(const BYTE* types, int nArgs);
