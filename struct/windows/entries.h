// Entry points of the structure windows folder: the "wSTRU" handler, the
// window functions and commands, and "CSCOPY" of a window.
#pragma once

#include "core/export.h"

STRUCT_HANDLER(ChemStrucDrwOpCall);

STRUCT_FUNCTION(ChemStrucWindow);         // "CreateWindow"
STRUCT_FUNCTION(ChemStrucGetWindowText);  // "GetWindowText$"
STRUCT_FUNCTION(CopyFuncWnd);             // "CSCOPY" of a window

STRUCT_COMMAND(ChemStrucSetWindowText);  // "SetWindowText"
STRUCT_COMMAND(ChemStrucSetWindowLoc);   // "SETWINDOWLOC" of a window
STRUCT_COMMAND(SetWindowLocStr);         // "SETWINDOWLOC" by title
STRUCT_COMMAND(ChemStrucShowWindow);     // "ShowWindow"
