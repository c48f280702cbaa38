// Small structure records and clipboard reads the tests share.
#pragma once

#include <windows.h>

#include <string>

#include "database/drawrec.h"

// One single bond from (-20, 0) to (20, 0), border on, label height 12, the
// given name; malloc'd, the caller frees it.
CSDRAWREC* OneBondRecord(const char* name = "");

// Puts hmf on the clipboard as a metafile picture (mapping mode, extents);
// the clipboard takes the picture over.
void PutPicture(HMETAFILE hmf, LONG mm, LONG xExt, LONG yExt);

// The clipboard's block of format, as many bytes as it holds; empty when the
// format is not there.
std::string ClipboardBlock(UINT format);
