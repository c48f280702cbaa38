// Entry points of the structure objects folder: the "STRUC" and "META"
// handlers, the lookup functions, the mode, the number, text and object forms
// of "CSCOPY", pictures from the clipboard, attaching to plots, hit tests.
#pragma once

#include "core/export.h"

STRUCT_HANDLER(ChemStrucObjOpCall);
STRUCT_HANDLER(MetaFileObjOpCall);

STRUCT_FUNCTION(ChemStrucCreateInt);  // "CSCREATE" by number
STRUCT_FUNCTION(ChemStrucCreateStr);  // "CSCREATE" by CAS text
STRUCT_FUNCTION(ChemStrucExistsInt);  // "CSEXISTS" by number
STRUCT_FUNCTION(ChemStrucExistsStr);  // "CSEXISTS" by CAS text
STRUCT_FUNCTION(ChemStrucGetID);      // "CSGetID"
STRUCT_FUNCTION(CopyFuncInt);         // "CSCOPY" by number
STRUCT_FUNCTION(CopyFuncStr);         // "CSCOPY" by CAS text
STRUCT_FUNCTION(CopyFuncObj);         // "CSCOPY" of a structure object
STRUCT_FUNCTION(ChemStrucMFCreate);   // "CSMFCreate"
STRUCT_FUNCTION(ChemStrucHitTest);    // "CSTestHit"

STRUCT_COMMAND(SetModeCmd);         // "CSSetMode"
STRUCT_COMMAND(ChemStrucAttach);    // "CSAttach"
STRUCT_COMMAND(ChemStrucMFAttach);  // "CSMFATTACH" (both forms)
