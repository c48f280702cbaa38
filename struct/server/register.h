// Registration of the library's object types, macro functions and macro
// commands with the host, in that order. Each group stops at its first
// refused row and returns its status; nothing registered is withdrawn.
#pragma once

#include "core/common.h"

// The host is C and knows nothing of C++ exceptions: every entry and handler
// is registered through these guards, which turn anything thrown (a standard
// container out of memory) into the report of a memory shortage, 514.
short ReportThrown(CCpClient* client);
template <FunctionEntry F>
short GuardedFunction(CCpClient* client, OBJ_BASECLASS** args, OBJ_BASECLASS** result) {
  try {
    return F(client, args, result);
  } catch (...) {
    return ReportThrown(client);
  }
}
template <CommandEntry F>
short GuardedCommand(CCpClient* client, OBJ_BASECLASS** args) {
  try {
    return F(client, args);
  } catch (...) {
    return ReportThrown(client);
  }
}
template <ObjOpCall F>
short GuardedHandler(OBJ_BASECLASS* value, unsigned short opcode, intptr_t p1, intptr_t p2,
                     CCpClient* client) {
  try {
    return F(value, opcode, p1, p2, client);
  } catch (...) {
    return ReportThrown(client);
  }
}

short RegisterObjectTypes(CCpClient* client);
short RegisterFunctions(CCpClient* client);
short RegisterCommands(CCpClient* client);

// Type bytes of a plain command, first argument in the lowest byte, 0xFF after
// the last one when there are fewer than four.
DWORD PackArgTypes(const BYTE* types, int nArgs);
