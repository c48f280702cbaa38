// Entry points of the structure objects folder: the "STRUC" handler, the
// lookup functions, the mode, and the number, text and object forms of
// "CSCOPY".
#pragma once

#include "core/export.h"

STRUCT_HANDLER(ChemStrucObjOpCall);

STRUCT_FUNCTION(ChemStrucCreateInt);  // "CSCREATE" by number
STRUCT_FUNCTION(ChemStrucCreateStr);  // "CSCREATE" by CAS text
STRUCT_FUNCTION(ChemStrucExistsInt);  // "CSEXISTS" by number
STRUCT_FUNCTION(ChemStrucExistsStr);  // "CSEXISTS" by CAS text
STRUCT_FUNCTION(ChemStrucGetID);      // "CSGetID"
STRUCT_FUNCTION(CopyFuncInt);         // "CSCOPY" by number
STRUCT_FUNCTION(CopyFuncStr);         // "CSCOPY" by CAS text
STRUCT_FUNCTION(CopyFuncObj);         // "CSCOPY" of a structure object

STRUCT_COMMAND(SetModeCmd);  // "CSSetMode"
