// Entry points of the import and conversion folder.
#pragma once

#include "core/export.h"

STRUCT_FUNCTION(ChemStrucMolCreate);  // "CSMolCreate"
STRUCT_COMMAND(ClipboardConvertCmd);  // "ClipCvt"
STRUCT_COMMAND(DumpMetaFileCmd);      // "MFDump"
STRUCT_COMMAND(DumpMDLSKCmd);         // "MDLSKDump"
