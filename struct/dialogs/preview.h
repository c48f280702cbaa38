// The preview frame of the dialogs: the template's frame control
// (IDC_PREVIEW_FRAME) filled black with the structure drawn into it, painted
// after the dialog's own painting.
#pragma once

#include <cmdproc.h>

#include "database/drawrec.h"

struct STRUCT_DLL_INFO;

// Posted by a dialog to itself after each paint; its handler draws the frame.
#define WM_DRAWPREVIEW (WM_USER + 10)

// Silent: a dialog without the frame, or without a device context, is left
// as it is; rec may be null (an empty frame). 541 may be reported by the
// drawing.
void DrawSamplePreview(CCommandProcessor* pcp, STRUCT_DLL_INFO* info, HWND hDlg, CSDRAWREC* rec);
