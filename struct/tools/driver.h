// The common driver of the maintenance commands: busy cursor, the work, and
// the completion line on status channel 0 when the work succeeds.
#pragma once

#include "core/progress.h"

// The work of a maintenance command: its name text (empty at the start) goes
// into the completion line. It reports its own errors.
typedef short (*TOOLWORK)(OBJ_BASECLASS** args, CCpClient* client, STRUCT_DLL_INFO* info,
                          char* name, int cbName);

// The work's status, unchanged; no completion line when it is not 0.
short RunToolCommand(CCpClient* client, OBJ_BASECLASS** args, UINT idTitle, BOOL bCompletion,
                     TOOLWORK work);
