// Wrapping a payload into a new host value of one of the library's types.
// Each returns 0, or reports 535 and returns its status when the value cannot
// be made (the payload then stays with the caller).
#pragma once

#include "database/drawrec.h"
#include "server/common.h"

short MakeStructureObject(CSDRAWREC* rec, OBJ_BASECLASS** result, CCpClient* client);
short MakeWindowObject(void* window, OBJ_BASECLASS** result, CCpClient* client);
short MakeMetafileObject(void* payload, OBJ_BASECLASS** result, CCpClient* client);
