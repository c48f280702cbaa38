// Metafiles of structures, on disk and on the clipboard.
#include "render/metafile.h"

#include <cstdlib>
#include <cstring>

#include "core/app.h"
#include "core/common.h"
#include "render/draw.h"
#include "render/geometry.h"
#include "resources/resource.h"

namespace {

HGLOBAL NewBlock(const void* data, size_t cb) {
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, cb);
  if (!h) return nullptr;
  if (void* p = GlobalLock(h)) {
    std::memcpy(p, data, cb);
    GlobalUnlock(h);
    return h;
  }
  GlobalFree(h);
  return nullptr;
}

}  // namespace

void PictureExtents(const RECT* size, LONG* xExt, LONG* yExt) {
  const long long q = 5000 / (static_cast<long long>(size->bottom) - size->top);
  *xExt = Held(std::llabs(static_cast<long long>(size->right) - size->left) * q);
  *yExt = 5000;
}

short OpenClipboardWithText(CCommandProcessor* pcp, HWND owner, LPCSTR text) {
  HGLOBAL hText = nullptr;
  if (text) {
    const size_t cb = std::strlen(text) + 1;
    hText = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, cb);
    if (hText) {
      if (char* p = static_cast<char*>(GlobalLock(hText))) {
        CopyText(p, text, cb);
        GlobalUnlock(hText);
      }
    }
  }
  if (!OpenClipboard(owner)) {
    if (hText) GlobalFree(hText);
    return ReportError(pcp, IDS_ERR_SETCLIPBOARD);
  }
  EmptyClipboard();
  if (hText && !SetClipboardData(CF_DSPTEXT, hText)) GlobalFree(hText);
  return 0;
}

short MakeStructureMetafile(CCommandProcessor* pcp, STRUCT_DLL_INFO* /*info*/, HWND hwnd,
                            LPCSTR fileName, CSDRAWREC* rec, const RECT* size) {
  HDC hdcRef = GetDC(hwnd);
  if (!hdcRef) return 0;
  HDC hdcMeta = CreateMetaFile(fileName);
  if (!hdcMeta) {
    ReleaseDC(hwnd, hdcRef);
    return 0;
  }
  SetWindowExtEx(hdcMeta, size->right, size->bottom, nullptr);
  DrawStructure(pcp, rec, hdcMeta, hdcRef, size, 1);
  HMETAFILE hmf = CloseMetaFile(hdcMeta);
  if (!hmf || fileName) {
    if (hmf) DeleteMetaFile(hmf);  // the file stays; only the handle goes
    ReleaseDC(hwnd, hdcRef);
    return 0;
  }
  // A picture without height has no extents to give: nothing goes to the
  // clipboard.
  if (size->bottom - size->top == 0) {
    DeleteMetaFile(hmf);
    ReleaseDC(hwnd, hdcRef);
    return 0;
  }

  char fmt[128];
  LoadStringText(IDS_CLIP_DISPLAYTEXT, fmt, sizeof fmt);
  const std::string text = hostutil::FormatStr(fmt, rec->szName);
  HGLOBAL hRecord = NewBlock(rec, rec->cbTotal);
  METAFILEPICT pict{MM_ANISOTROPIC, 0, 0, hmf};
  PictureExtents(size, &pict.xExt, &pict.yExt);
  HGLOBAL hPict = NewBlock(&pict, sizeof pict);
  if (!hPict) {
    DeleteMetaFile(hmf);
    if (hRecord) GlobalFree(hRecord);
    ReleaseDC(hwnd, hdcRef);
    return 0;
  }
  short status = OpenClipboardWithText(pcp, hwnd, text.c_str());
  if (status) {
    DeleteMetaFile(hmf);
    GlobalFree(hPict);
    if (hRecord) GlobalFree(hRecord);
    ReleaseDC(hwnd, hdcRef);
    return status;
  }
  if (!SetClipboardData(CF_METAFILEPICT, hPict)) {
    DeleteMetaFile(hmf);
    GlobalFree(hPict);
  }
  if (hRecord && !SetClipboardData(GetStructApp().m_cfChemStruc, hRecord)) GlobalFree(hRecord);
  CloseClipboard();
  ReleaseDC(hwnd, hdcRef);
  return 0;
}
