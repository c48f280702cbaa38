// Progress on the host's status line for the long database operations, and
// the common driver of the maintenance commands with its completion line.
#pragma once

#include "server/common.h"

// The shape of every progress callback: a title, a count done (0: none) and
// the share done in tenths of a percent.
typedef void (*PROGRESSPROC)(CCpClient* client, LPCSTR title, int count, int permille);

void ReportToolProgress(CCpClient* client, LPCSTR title, int count, int permille);

// The work of a maintenance command: its name text (empty at the start) goes
// into the completion line.
typedef short (*TOOLWORK)(OBJ_BASECLASS** args, CCpClient* client, STRUCT_DLL_INFO* info,
                          char* name, int cbName);
short RunToolCommand(CCpClient* client, OBJ_BASECLASS** args, UINT idTitle, BOOL bCompletion,
                     TOOLWORK work);
// The completion text for an elapsed time in milliseconds.
CString CompletionText(LPCSTR name, DWORD elapsedMs);
