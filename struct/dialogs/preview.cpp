// The preview frame: black, with the structure fitted into it.
#include "dialogs/preview.h"

#include "core/common.h"
#include "render/draw.h"
#include "resources/dialogs.h"

void DrawSamplePreview(CCommandProcessor* pcp, STRUCT_DLL_INFO* info, HWND hDlg, CSDRAWREC* rec) {
  HWND hFrame = GetDlgItem(hDlg, IDC_PREVIEW_FRAME);
  if (!hFrame) return;
  HDC hdc = GetDC(hDlg);
  if (!hdc) return;
  RECT rc;
  GetWindowRect(hFrame, &rc);
  POINT tl{rc.left, rc.top}, br{rc.right, rc.bottom};
  ScreenToClient(hDlg, &tl);
  ScreenToClient(hDlg, &br);
  rc = RECT{tl.x, tl.y, br.x, br.y};
  if (info->hbrBlack) {
    HGDIOBJ old = SelectObject(hdc, info->hbrBlack);
    Rectangle(hdc, rc.left, rc.top, rc.right, rc.bottom);
    SelectObject(hdc, old);
  } else {
    Rectangle(hdc, rc.left, rc.top, rc.right, rc.bottom);
  }
  if (rec) DrawStructure(pcp, rec, hdc, hdc, &rc, 0);
  ReleaseDC(hDlg, hdc);
  ValidateRect(hDlg, &rc);
}
