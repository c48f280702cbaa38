// The open-file prompt shared by MOL import and the database list dialog.
#pragma once

#include "core/common.h"

// Asks for an existing file with the filter text idFilter of the string table
// (its last character separates the parts) and the title idFilter + 1. TRUE
// with the chosen path, lower-cased, in pathOut (MAX_PATH bytes; may be null);
// FALSE when the user cancels, pathOut untouched. Reports nothing. The filter
// passes through szScratch2.
BOOL SelectFileDialog(STRUCT_DLL_INFO* info, HWND hwndOwner, UINT idFilter, UINT idTitle,
                      LPSTR pathOut, LPCSTR initialDir);
