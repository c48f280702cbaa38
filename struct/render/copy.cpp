// A structure onto the clipboard: by identifier from the configured
// libraries, or a record in hand, at the size its bounds give.
#include <cstdlib>

#include "database/lookup.h"
#include "render/geometry.h"
#include "render/metafile.h"

RECT PictureSizeOf(CSDRAWREC* rec) {
  const RECT& b = rec->rcBounds;
  if (b.left == 0 && b.top == 0 && b.right == 0 && b.bottom == 0) ComputeStructureBounds(rec);
  return RECT{0, 0, Held(std::llabs(static_cast<long long>(b.right) - b.left)),
              Held(std::llabs(static_cast<long long>(b.bottom) - b.top))};
}

short CopyStructureById(CCommandProcessor* pcp, STRUCT_DLL_INFO* info, HWND owner, LONG id) {
  CSDRAWREC* rec = nullptr;
  short status = LoadStructure(pcp, info, id, &rec);
  if (status == 0 && rec) {
    RECT size = PictureSizeOf(rec);
    status = MakeStructureMetafile(pcp, info, owner, nullptr, rec, &size);
  }
  std::free(rec);
  return status;
}
