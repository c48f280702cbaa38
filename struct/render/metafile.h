// A structure leaves the library as a Windows metafile: on disk, or on the
// clipboard with a line of display text and a private copy of its record.
#pragma once

#include <cmdproc.h>

#include "database/drawrec.h"

struct STRUCT_DLL_INFO;

// size: (0, 0, width, height) of the picture in logical units. Without a file
// the clipboard receives CF_DSPTEXT, CF_METAFILEPICT and "ZQCHEMSTRUC".
short MakeStructureMetafile(CCommandProcessor* pcp, STRUCT_DLL_INFO* info, HWND hwnd,
                            LPCSTR fileName, CSDRAWREC* rec, const RECT* size);
// Opens and empties the clipboard for owner and puts text on it as
// CF_DSPTEXT; the clipboard stays open for the caller.
short OpenClipboardWithText(CCommandProcessor* pcp, HWND owner, LPCSTR text);
// The METAFILEPICT extents for a picture of that size: 50 mm high.
void PictureExtents(const RECT* size, LONG* xExt, LONG* yExt);

// Loads the structure id from the configured libraries and copies it to the
// clipboard as MakeStructureMetafile does.
short CopyStructureById(CCommandProcessor* pcp, STRUCT_DLL_INFO* info, HWND owner, LONG id);
