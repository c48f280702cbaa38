// "META" values: a picture (a Windows metafile) taken from the clipboard,
// shared by reference count among the values made from it, and drawn into a
// placement of a plot on screen and on printers.
#pragma once

#include "core/common.h"

struct METAFILEDATA {
  WORD nRefs;         // META values sharing the payload
  RECT rcPlace;       // in the plot's data units: left x, bottom y, right x, top y
  CString strSource;  // always "Clipboard"
  METAFILEPICT mfp;   // mapping mode 8, the clipboard's extents, a private metafile copy
};

inline METAFILEDATA* PayloadOf(OBJ_BASECLASS* value) {
  return value ? static_cast<METAFILEDATA*>(value->pWord2) : nullptr;
}

// A new payload (nRefs 1) holding a copy of pict's metafile; null (silent)
// when memory or the copy fails.
METAFILEDATA* NewMetafilePayload(const METAFILEPICT& pict, LPCSTR source);
// One sharer fewer; the last one deletes the metafile and the payload.
void ReleaseMetafilePayload(METAFILEDATA* data);
