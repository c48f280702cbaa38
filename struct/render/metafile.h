// A structure leaves the library as a Windows metafile: on disk, or on the
// clipboard with a line of display text and a private copy of its record.
#pragma once

#include <cmdproc.h>

#include "database/drawrec.h"

struct STRUCT_DLL_INFO;

// Draws rec (in its own colours) into a metafile of size (0, 0, width, height)
// logical units, measured against hwnd's screen context. With a file name the
// metafile is written there; without one the clipboard is emptied for hwnd
// and receives CF_DSPTEXT, CF_METAFILEPICT (50 mm high) and "ZQCHEMSTRUC".
// 0, also when nothing could be made (no context, no metafile) or the picture
// has no height (nothing goes to the clipboard then); 551 reported when the
// clipboard cannot be opened. rec is normalised by the drawing.
short MakeStructureMetafile(CCommandProcessor* pcp, STRUCT_DLL_INFO* info, HWND hwnd,
                            LPCSTR fileName, CSDRAWREC* rec, const RECT* size);
// Opens and empties the clipboard for owner and puts text (may be null) on it
// as CF_DSPTEXT; the clipboard stays open for the caller. 551 reported when
// it cannot be opened (nothing is then left open).
short OpenClipboardWithText(CCommandProcessor* pcp, HWND owner, LPCSTR text);
// The METAFILEPICT extents for a picture of that size: 50 mm high. The size
// must have a height.
void PictureExtents(const RECT* size, LONG* xExt, LONG* yExt);

// (0, 0, width, height) of rec's bounds; a record never measured (all-zero
// bounds, as a fresh MOL import has) is measured first.
RECT PictureSizeOf(CSDRAWREC* rec);
// Loads the structure id from the configured libraries and copies it to the
// clipboard as MakeStructureMetafile does; the lookup's status (reported by
// it) when the structure is not found.
short CopyStructureById(CCommandProcessor* pcp, STRUCT_DLL_INFO* info, HWND owner, LONG id);
