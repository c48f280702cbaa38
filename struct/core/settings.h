// The settings file struct.ini, the lasting form of the client's state: where
// it is found, reading the drawing options, font, colours and defaults at
// start-up, writing them back, the list of structure databases, and help.
// Lookups read the list and dialogs save the options, so it sits below them.
#pragma once

#include <vector>

#include "core/common.h"

// Length of the path found, 0 (and an empty buffer) when there is none.
int GetSettingsPath(LPSTR buf, int size);
// The library module's directory followed by file (or "?" when it would not fit).
void GetModuleDirFile(LPCSTR file, LPSTR buf, int size);
// Every key has a default, so a missing or unreadable file still gives usable
// options; silent.
void ReadSettings(STRUCT_DLL_INFO* info);
// Writes every key (each write replaces the file whole); 550 reported, naming
// the file, when any write failed.
short WriteSettings(CCommandProcessor* pcp, STRUCT_DLL_INFO* info);
// The configured data-file paths, each NUL-terminated, ended by one more NUL,
// in a movable local block the caller frees; null (silent) when none is
// configured or memory is short.
HLOCAL ReadDatabaseList(STRUCT_DLL_INFO* info);
// Replaces the list with paths under the keys "1", "2", ... in one write of
// the file (an empty list removes the section); 550 reported, naming the
// file, when it fails, and the file then holds the list it held before.
short WriteDatabaseList(CCommandProcessor* pcp, const std::vector<CString>& paths);
// Hands the "HelpFile" setting (or none) and the context to the host; 0.
short ShowHelp(CCpClient* client, int command, DWORD context);

// "R G B" or "R,G,B": components default to 255.
COLORREF ParseColorText(LPCSTR text);
