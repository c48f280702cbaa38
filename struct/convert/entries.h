// Entry points of the import and conversion folder.
#pragma once

#include "core/export.h"

STRUCT_FUNCTION(ChemStrucMolCreate);  // "CSMolCreate"
