// Entry points of the dialogs folder.
#pragma once

#include "core/export.h"

STRUCT_COMMAND(UserLibCmd);      // "CSAddStruct"
STRUCT_COMMAND(EditUserLibCmd);  // "CSEditLib"
STRUCT_COMMAND(DrawOptsCmd);     // "CSDrawOpts"
STRUCT_COMMAND(ChemStrucView);   // "CSView"
STRUCT_COMMAND(DBManageCmd);     // "CSLibs"
