// Entry points of the library-building tools: the subset of a database by a
// list of IDs and the two maintenance commands.
#pragma once

#include "core/export.h"

STRUCT_COMMAND(SubsetCmd);     // "CSSubset"
STRUCT_COMMAND(PackCmd);       // "CSPack"
STRUCT_COMMAND(IndexPackCmd);  // "CSIPack"
