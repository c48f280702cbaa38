// The preview frame of the dialogs: control 201 filled black with the
// structure drawn into it, painted after the dialog's own painting.
#pragma once

#include <cmdproc.h>

#include "database/drawrec.h"

struct STRUCT_DLL_INFO;

#define IDC_PREVIEW_FRAME 201
// Posted by a dialog to itself after each paint; its handler draws the frame.
#define WM_DRAWPREVIEW (WM_USER + 10)

void DrawSamplePreview(CCommandProcessor* pcp, STRUCT_DLL_INFO* info, HWND hDlg, CSDRAWREC* rec);
