// The plug-in's string table: every text it loads by string id, sorted by id
// (ids in resource.h). Handed to the platform as part of the module's resources.
#pragma once

#include <afxwin.h>

#include <cstddef>

extern const RES_STRING g_StructStrings[];
extern const size_t g_nStructStrings;
