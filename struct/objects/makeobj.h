// Wrapping a payload into a new host value of one of the library's types.
// Each returns 0, or reports 535 and returns its status when the value cannot
// be made (the payload then stays with the caller).
#pragma once

#include "core/common.h"
#include "database/drawrec.h"

short MakeStructureObject(CSDRAWREC* rec, OBJ_BASECLASS** result, CCpClient* client);
short MakeWindowObject(void* window, OBJ_BASECLASS** result, CCpClient* client);
short MakeMetafileObject(void* payload, OBJ_BASECLASS** result, CCpClient* client);

// "STRUC", "wSTRU" or "META" into the buffer p1 of p2 bytes, cut to fit
// (opcode 10 of every handler); always 0.
short CopyTypeName(LPCSTR name, intptr_t p1, intptr_t p2);
