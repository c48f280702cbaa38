// The settings file struct.ini: where it is found, reading the drawing options,
// font, colours and defaults at start-up, writing them back, the list of
// structure databases, and help.
#pragma once

#include "core/common.h"

// Length of the path found, 0 (and an empty buffer) when there is none.
int GetSettingsPath(LPSTR buf, int size);
// The library module's directory followed by file (or "?" when it would not fit).
void GetModuleDirFile(LPCSTR file, LPSTR buf, int size);
void ReadSettings(STRUCT_DLL_INFO* info);
short WriteSettings(CCommandProcessor* pcp, STRUCT_DLL_INFO* info);
// The configured data-file paths, each NUL-terminated, ended by one more NUL,
// in a movable local block the caller frees; null when none is configured.
HLOCAL ReadDatabaseList(STRUCT_DLL_INFO* info);
short ShowHelp(CCpClient* client, int command, DWORD context);

// "R G B" or "R,G,B": components default to 255.
COLORREF ParseColorText(LPCSTR text);
