#include "support/records.h"

#include <cstdlib>
#include <cstring>

CSDRAWREC* OneBondRecord(const char* name) {
  const size_t cb = CSDRAWREC_HEADER + 1 + 16;
  auto* rec = static_cast<CSDRAWREC*>(std::calloc(cb, 1));
  rec->cbTotal = cb;
  rec->nBonds = 1;
  rec->offBondTypes = CSDRAWREC_HEADER;
  rec->offPoints = CSDRAWREC_HEADER + 1;
  rec->offLabels = static_cast<WORD>(cb);
  rec->iFirstLabel = rec->iFirstCircle = 2;
  SetRecPoint(rec, 0, POINT{-20, 0});
  SetRecPoint(rec, 1, POINT{20, 0});
  rec->drawOpts.bBorder = 1;
  rec->drawOpts.lFontHeight = 12;
  std::strncpy(rec->szName, name, CS_NAME_MAX);
  return rec;
}

std::string ClipboardBlock(UINT format) {
  std::string out;
  if (!OpenClipboard(nullptr)) return out;
  if (HANDLE h = GetClipboardData(format)) {
    out.assign(static_cast<const char*>(GlobalLock(h)), GlobalSize(h));
    GlobalUnlock(h);
  }
  CloseClipboard();
  return out;
}

void PutPicture(HMETAFILE hmf, LONG mm, LONG xExt, LONG yExt) {
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, sizeof(METAFILEPICT));
  *static_cast<METAFILEPICT*>(GlobalLock(h)) = METAFILEPICT{mm, xExt, yExt, hmf};
  GlobalUnlock(h);
  OpenClipboard(nullptr);
  EmptyClipboard();
  SetClipboardData(CF_METAFILEPICT, h);
  CloseClipboard();
}
